// Writing 24-bit bitmaps as BMP files: the file header and a 40-byte info header, then the
// rows bottom-up, each padded to a multiple of 4 bytes (which is the bitmap's own stride).
#include <cstring>

#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/bmp_file.h"
#include "engine/bitmap/picture_file.h"

namespace korvex::engine {

namespace {

constexpr uint32_t kHeadersBytes = 54;

void Put16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

std::vector<uint8_t> Encode(const Bitmap24& bitmap, const std::string& context) {
  if (bitmap.Empty()) {
    throw BitmapError(context + ": the bitmap of " + std::to_string(bitmap.Width()) + " x " +
                      std::to_string(bitmap.Height()) + " pixels is empty");
  }
  const auto pixel_bytes = static_cast<uint32_t>(bitmap.SizeBytes());
  std::vector<uint8_t> bytes(kHeadersBytes + pixel_bytes);
  uint8_t* header = bytes.data();
  header[0] = 'B';
  header[1] = 'M';
  Put32(header + 2, kHeadersBytes + pixel_bytes);
  Put32(header + 10, kHeadersBytes);
  Put32(header + 14, 40);
  Put32(header + 18, static_cast<uint32_t>(bitmap.Width()));
  Put32(header + 22, static_cast<uint32_t>(bitmap.Height()));  // positive: bottom-up
  Put16(header + 26, 1);                                       // planes
  Put16(header + 28, 24);                                      // bits per pixel
  Put32(header + 34, pixel_bytes);  // compression 0 (none), resolution and palette unset

  // The padding is written as zeros whatever the bitmap holds there.
  const size_t row_bytes = static_cast<size_t>(bitmap.Width()) * 3;
  uint8_t* row = header + kHeadersBytes;
  for (int y = bitmap.Height() - 1; y >= 0; --y, row += bitmap.Stride()) {
    std::memcpy(row, bitmap.Row(y), row_bytes);
  }
  return bytes;
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const Bitmap24& bitmap) {
  return Encode(bitmap, "Cannot encode the BMP picture");
}

void WriteBmpFile(const Bitmap24& bitmap, const std::string& path) {
  WritePictureFile(path, Encode(bitmap, "Cannot write the picture " + path));
}

}  // namespace korvex::engine
