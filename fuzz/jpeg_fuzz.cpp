// The JPEG reader takes the splash picture, and libjpeg's errors go through our error
// manager. For any bytes it either refuses them with a BitmapError (never ends the process,
// never leaks: the sanitizers watch) or returns a bitmap within the size limit whose rows fit
// its bytes; a small one written as a JPEG reads back at the same size.
#include <cstddef>
#include <cstdint>
#include <span>

#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/jpeg_file.h"
#include "fuzz_check.h"

namespace {

using korvex::engine::Bitmap24;
using korvex::engine::BitmapError;
using korvex::engine::DecodeJpeg;
using korvex::engine::EncodeJpeg;
using korvex::engine::kMaxBitmapSide;
using korvex::engine::Stride24;

// Larger pictures are only decoded: encoding them again would slow the run down.
constexpr size_t kMaxPixelsToEncode = 256 * 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Bitmap24 bitmap;
  try {
    bitmap = DecodeJpeg(std::span<const uint8_t>(data, size));
  } catch (const BitmapError&) {
    return 0;
  }
  const auto pixels = static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitmap.Height());
  KORVEX_FUZZ_CHECK(pixels > 0);
  KORVEX_FUZZ_CHECK(bitmap.Width() <= kMaxBitmapSide && bitmap.Height() <= kMaxBitmapSide);
  KORVEX_FUZZ_CHECK(bitmap.Stride() == Stride24(bitmap.Width()));
  KORVEX_FUZZ_CHECK(bitmap.SizeBytes() ==
                    static_cast<size_t>(bitmap.Stride()) * static_cast<size_t>(bitmap.Height()));

  if (pixels <= kMaxPixelsToEncode) {
    const Bitmap24 again = DecodeJpeg(EncodeJpeg(bitmap, 75));
    KORVEX_FUZZ_CHECK(again.Width() == bitmap.Width() && again.Height() == bitmap.Height());
  }
  return 0;
}
