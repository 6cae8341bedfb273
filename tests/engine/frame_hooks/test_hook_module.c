/* A frame-hook module for the tests. Its arguments are
 *   LOG_FILE invert      inverts every byte of the three planes of a yuv420p picture
 *   LOG_FILE add AMOUNT  adds AMOUNT to them (modulo 256)
 *   LOG_FILE fail        refuses the configuration
 * and it appends one line per call to LOG_FILE, so the tests see which calls arrived, with
 * which values and in which order, after the module is gone. */
#include <libavutil/pixfmt.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "engine/frame_hooks/korvex_frame_hook.h"

typedef struct {
  char* log_path;
  char tag[64]; /* the words after the log file, naming the module's calls in the log */
  int invert;
  int amount;
} HookContext;

static void AppendLine(const char* log_path, const char* line) {
  FILE* log = fopen(log_path, "a");
  if (!log) return;
  fprintf(log, "%s\n", line);
  fclose(log);
}

/* "configure|argv[0]|argv[1]|...": the bars show where the words were split. */
static void LogConfigure(const char* log_path, int argc, char* argv[]) {
  char line[4096] = "configure";
  for (int i = 0; i < argc; ++i) {
    strncat(line, "|", sizeof line - strlen(line) - 1);
    strncat(line, argv[i], sizeof line - strlen(line) - 1);
  }
  AppendLine(log_path, line);
}

int korvex_frame_hook_configure(void** context, int argc, char* argv[]) {
  if (argc < 3 || argv[argc] != NULL) return 1;
  LogConfigure(argv[1], argc, argv);
  const int invert = strcmp(argv[2], "invert") == 0;
  const int add = strcmp(argv[2], "add") == 0 && argc == 4;
  if (!invert && !add) return 1;

  HookContext* hook = calloc(1, sizeof *hook);
  if (!hook) return 1;
  hook->log_path = strdup(argv[1]);
  if (!hook->log_path) {
    free(hook);
    return 1;
  }
  snprintf(hook->tag, sizeof hook->tag, "%s%s%s", argv[2], add ? " " : "", add ? argv[3] : "");
  hook->invert = invert;
  hook->amount = add ? atoi(argv[3]) : 0;
  *context = hook;
  return 0;
}

static void ChangePlane(const HookContext* hook, uint8_t* plane, int linesize, int width,
                        int height) {
  for (int y = 0; y < height; ++y) {
    uint8_t* row = plane + y * linesize;
    for (int x = 0; x < width; ++x) {
      row[x] = (uint8_t)(hook->invert ? 255 - row[x] : row[x] + hook->amount);
    }
  }
}

void korvex_frame_hook_process(void* context, uint8_t* data[4], int linesize[4], int pix_fmt,
                               int width, int height, int64_t pts) {
  const HookContext* hook = context;
  char line[256];
  snprintf(line, sizeof line, "process %s fmt=%d %dx%d pts=%lld", hook->tag, pix_fmt, width, height,
           (long long)pts);
  AppendLine(hook->log_path, line);
  if (pix_fmt != AV_PIX_FMT_YUV420P) return;
  ChangePlane(hook, data[0], linesize[0], width, height);
  ChangePlane(hook, data[1], linesize[1], (width + 1) / 2, (height + 1) / 2);
  ChangePlane(hook, data[2], linesize[2], (width + 1) / 2, (height + 1) / 2);
}

void korvex_frame_hook_release(void* context) {
  HookContext* hook = context;
  char line[96];
  snprintf(line, sizeof line, "release %s", hook->tag);
  AppendLine(hook->log_path, line);
  free(hook->log_path);
  free(hook);
}
