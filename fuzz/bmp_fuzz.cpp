// The BMP reader takes watermark pictures that users choose, from any source. For any bytes
// it either refuses them with a BitmapError or returns a bitmap within the size limit that
// holds no more pixels than the bytes can describe; bytes after the picture change nothing;
// and the bitmap written as a BMP reads back with the same pixels.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/bmp_file.h"
#include "fuzz_check.h"

namespace {

using korvex::engine::Bitmap24;
using korvex::engine::BitmapError;
using korvex::engine::DecodeBmp;
using korvex::engine::EncodeBmp;
using korvex::engine::kMaxBitmapSide;
using korvex::engine::Stride24;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  Bitmap24 bitmap;
  try {
    bitmap = DecodeBmp(bytes);
  } catch (const BitmapError&) {
    return 0;
  }
  const auto width = static_cast<size_t>(bitmap.Width());
  const auto height = static_cast<size_t>(bitmap.Height());
  KORVEX_FUZZ_CHECK(width > 0 && height > 0);
  KORVEX_FUZZ_CHECK(bitmap.Width() <= kMaxBitmapSide && bitmap.Height() <= kMaxBitmapSide);
  KORVEX_FUZZ_CHECK(bitmap.Stride() == Stride24(bitmap.Width()));
  KORVEX_FUZZ_CHECK(bitmap.SizeBytes() == static_cast<size_t>(bitmap.Stride()) * height);
  // Every pixel takes at least one bit of the file.
  KORVEX_FUZZ_CHECK(width * height <= size * 8);

  std::vector<uint8_t> longer = bytes;
  longer.resize(size + 64, 0xA5);
  KORVEX_FUZZ_CHECK(DecodeBmp(longer) == bitmap);

  const std::vector<uint8_t> written = EncodeBmp(bitmap);
  KORVEX_FUZZ_CHECK(written.size() == 54 + bitmap.SizeBytes());
  KORVEX_FUZZ_CHECK(DecodeBmp(written) == bitmap);
  return 0;
}
