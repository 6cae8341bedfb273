/* A module that forgot korvex_frame_hook_release: loading it must fail, although the other two
 * entry points would work. */
#include "engine/frame_hooks/korvex_frame_hook.h"

int korvex_frame_hook_configure(void** context, int argc, char* argv[]) {
  (void)argv;
  *context = 0;
  return argc > 0 ? 0 : 1;
}

void korvex_frame_hook_process(void* context, uint8_t* data[4], int linesize[4], int pix_fmt,
                               int width, int height, int64_t pts) {
  (void)context;
  (void)pix_fmt;
  (void)pts;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) data[0][y * linesize[0] + x] = 0;
  }
}
