// The check of the fuzz targets: a violated property names itself and aborts, which libFuzzer
// reports as a crash and saves the input for.
#pragma once

#include <cstdio>
#include <cstdlib>

#define KORVEX_FUZZ_CHECK(condition)                                                          \
  do {                                                                                        \
    if (!(condition)) {                                                                       \
      std::fprintf(stderr, "%s:%d: property violated: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                           \
    }                                                                                         \
  } while (false)
