#include "bmp_builder.h"

namespace korvex::engine::testing {

namespace {

void Append16(std::vector<uint8_t>& bytes, uint32_t value) {
  bytes.push_back(static_cast<uint8_t>(value));
  bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& bytes, uint32_t value) {
  Append16(bytes, value & 0xFFFF);
  Append16(bytes, value >> 16);
}

void AppendRow(std::vector<uint8_t>& bytes, int bits, const std::vector<uint32_t>& row) {
  const size_t start = bytes.size();
  if (bits <= 8) {
    // Indices from the high bits of each byte down.
    const size_t per_byte = 8 / bits;
    for (size_t x = 0; x < row.size(); ++x) {
      if (x % per_byte == 0) bytes.push_back(0);
      bytes.back() |= static_cast<uint8_t>(row[x] << (8 - bits * (x % per_byte + 1)));
    }
  } else {
    for (uint32_t value : row) {
      if (bits == 16) Append16(bytes, value);
      if (bits == 24) {
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
        bytes.push_back(static_cast<uint8_t>(value >> 16));
      }
      if (bits == 32) Append32(bytes, value);
    }
  }
  while ((bytes.size() - start) % 4 != 0) bytes.push_back(0);
}

}  // namespace

std::vector<uint8_t> BuildBmp(const BmpLayout& layout,
                              const std::vector<std::vector<uint32_t>>& rows) {
  const bool core = layout.header_bytes == 12;
  const bool masks_after_header = layout.header_bytes == 40 && layout.compression == 3;
  const size_t entry_bytes = core ? 3 : 4;
  const uint32_t pixel_offset =
      static_cast<uint32_t>(14 + layout.header_bytes + (masks_after_header ? 12 : 0) +
                            layout.palette.size() * entry_bytes);
  const auto width = static_cast<uint32_t>(rows.empty() ? 0 : rows[0].size());
  const auto height = static_cast<uint32_t>(rows.size());

  std::vector<uint8_t> bytes = {'B', 'M'};
  Append32(bytes, 0);  // file size, set at the end
  Append32(bytes, 0);
  Append32(bytes, pixel_offset);
  Append32(bytes, layout.header_bytes);
  if (core) {
    Append16(bytes, width);
    Append16(bytes, height);
    Append16(bytes, 1);
    Append16(bytes, static_cast<uint32_t>(layout.bits));
  } else {
    Append32(bytes, width);
    Append32(bytes,
             layout.top_down ? static_cast<uint32_t>(-static_cast<int32_t>(height)) : height);
    Append16(bytes, 1);
    Append16(bytes, static_cast<uint32_t>(layout.bits));
    Append32(bytes, layout.compression);
    Append32(bytes, 0);     // image size: may be 0 for uncompressed rows
    Append32(bytes, 2835);  // 72 dots per inch, across and down
    Append32(bytes, 2835);
    Append32(bytes, layout.colours_used);
    Append32(bytes, 0);
    if (layout.header_bytes > 40 || masks_after_header) {
      for (uint32_t mask : layout.masks) Append32(bytes, mask);
    }
    bytes.resize(14 + layout.header_bytes + (masks_after_header ? 12 : 0), 0);
  }
  for (const Rgb& colour : layout.palette) {
    bytes.push_back(colour.b);
    bytes.push_back(colour.g);
    bytes.push_back(colour.r);
    if (!core) bytes.push_back(0);
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    AppendRow(bytes, layout.bits, rows[layout.top_down ? i : rows.size() - 1 - i]);
  }
  Put32(bytes, 2, static_cast<uint32_t>(bytes.size()));
  return bytes;
}

void Put16(std::vector<uint8_t>& bytes, size_t at, uint16_t value) {
  bytes.at(at) = static_cast<uint8_t>(value);
  bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  Put16(bytes, at, static_cast<uint16_t>(value));
  Put16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace korvex::engine::testing
