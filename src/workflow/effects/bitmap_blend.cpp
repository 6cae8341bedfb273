#include "workflow/effects/bitmap_blend.h"

#include <algorithm>
#include <cstdint>

namespace korvex::workflow {

namespace {

// 16-bit arithmetic is enough, since out * (256 - alpha) + in * alpha <= 255 * 256.
inline uint8_t Mix(uint8_t out, uint8_t in, uint16_t keep, uint16_t take) {
  return static_cast<uint8_t>(static_cast<uint16_t>(out * keep + in * take) >> 8);
}

// Blocks of a fixed size let the compiler mix many bytes at once even where it does not
// vectorise loops of unknown length (as at -O2); the rest of the row goes byte by byte.
constexpr int kBlockBytes = 32;

void BlendRow(uint8_t* __restrict out, const uint8_t* __restrict in, int bytes, int alpha) {
  const auto keep = static_cast<uint16_t>(256 - alpha);
  const auto take = static_cast<uint16_t>(alpha);
  int i = 0;
  for (; i + kBlockBytes <= bytes; i += kBlockBytes) {
    for (int k = 0; k < kBlockBytes; ++k) out[i + k] = Mix(out[i + k], in[i + k], keep, take);
  }
  for (; i < bytes; ++i) out[i] = Mix(out[i], in[i], keep, take);
}

}  // namespace

void BlendBitmap(engine::Bitmap24& frame, const engine::Bitmap24& picture, int x, int y,
                 int alpha) {
  alpha = std::clamp(alpha, 0, 255);
  if (alpha == 0) return;
  // The covered rectangle in frame coordinates; 64 bits, as x + width may pass INT_MAX.
  const int64_t left = std::max<int64_t>(x, 0);
  const int64_t top = std::max<int64_t>(y, 0);
  const int64_t right = std::min<int64_t>(int64_t{x} + picture.Width(), frame.Width());
  const int64_t bottom = std::min<int64_t>(int64_t{y} + picture.Height(), frame.Height());
  if (left >= right || top >= bottom) return;

  const int bytes = static_cast<int>(right - left) * 3;
  const int source_left = static_cast<int>(left - x);
  for (int row = static_cast<int>(top); row < bottom; ++row) {
    const uint8_t* in = picture.Row(static_cast<int>(row - int64_t{y})) + 3 * source_left;
    BlendRow(frame.Row(row) + 3 * left, in, bytes, alpha);
  }
}

}  // namespace korvex::workflow
