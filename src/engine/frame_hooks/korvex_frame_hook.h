/* Frame-hook modules for Korvex, the interface a module implements.
 *
 * A module is a shared object (built with -shared -fPIC) that the transcoder option
 *   vhook "MODULE ARG1 ARG2 ..."
 * loads with dlopen(MODULE, RTLD_NOW | RTLD_LOCAL). The option is split at runs of spaces and
 * tabs, so the module's path cannot contain blanks; a path with a "/" names a file, a bare name
 * is looked up along the system's library search path. The module exports the three functions
 * below. Every decoded picture of the task passes through korvex_frame_hook_process, before it
 * is scaled and encoded; the module may change the pixels in place. */
#ifndef KORVEX_FRAME_HOOK_H_
#define KORVEX_FRAME_HOOK_H_

#include <stdint.h>

/* Raised when a function below changes, so a module can check at build time which interface
 * it is compiled against. */
#define KORVEX_FRAME_HOOK_VERSION 1

/* Keeps the entry points exported when a module hides its other symbols. */
#define KORVEX_FRAME_HOOK_EXPORT __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Called once, when the module is loaded. argv[0] is the module file as given in the option,
 * argv[1..argc-1] are the words that follow it and argv[argc] is NULL; the strings stay valid
 * until korvex_frame_hook_release. The module stores what it needs in *context (which starts as
 * NULL) and returns 0. Any other result refuses the option: the module must then have freed
 * what it allocated, because korvex_frame_hook_release is not called. */
KORVEX_FRAME_HOOK_EXPORT int korvex_frame_hook_configure(void** context, int argc, char* argv[]);

/* Called for every picture, in decoding order, from the task's worker thread. data[] and
 * linesize[] are the planes of an AVFrame of the FFmpeg version Korvex is built with, pix_fmt
 * is its AVPixelFormat and pts its presentation time stamp. The module may change the bytes of
 * the planes (width x height pixels, rows linesize bytes apart) but not their size or format;
 * changes to the data[] and linesize[] arrays themselves are ignored. */
KORVEX_FRAME_HOOK_EXPORT void korvex_frame_hook_process(void* context, uint8_t* data[4],
                                                        int linesize[4], int pix_fmt, int width,
                                                        int height, int64_t pts);

/* Called once when the task ends, before the module is unloaded; frees the context. */
KORVEX_FRAME_HOOK_EXPORT void korvex_frame_hook_release(void* context);

#ifdef __cplusplus
}
#endif

#endif /* KORVEX_FRAME_HOOK_H_ */
