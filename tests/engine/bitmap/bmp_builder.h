// Writes BMP files of every layout the reader takes, from raw pixel values, so that tests and
// the fuzz seeds can state exactly which bytes a file holds.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/bitmap/bitmap24.h"

namespace korvex::engine::testing {

struct BmpLayout {
  // 12 (the OS/2 core header), 40 (info header), 52, 56 (V2, V3), 108 (V4) or 124 (V5).
  uint32_t header_bytes = 40;
  int bits = 24;
  bool top_down = false;
  uint32_t compression = 0;  // 0 uncompressed, 3 bit fields
  // Red, green, blue: written after a 40-byte header when compressed with bit fields, and
  // always inside the headers of 52 bytes and more.
  std::array<uint32_t, 3> masks{};
  std::vector<Rgb> palette{};  // written as 4-byte entries, or 3-byte ones after a core header
  uint32_t colours_used = 0;   // the info header's count of palette colours (0: all)
};

// A BMP file of `rows`, top first, each value a palette index (1 to 8 bits per pixel), a
// colour 0xRRGGBB (24 bits) or the pixel's whole 16- or 32-bit value.
std::vector<uint8_t> BuildBmp(const BmpLayout& layout,
                              const std::vector<std::vector<uint32_t>>& rows);

// Little-endian values in a built file, for making it malformed.
void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value);
void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value);

}  // namespace korvex::engine::testing
