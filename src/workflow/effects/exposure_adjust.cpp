#include "workflow/effects/exposure_adjust.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace korvex::workflow {

namespace {

using ByteTable = std::array<uint8_t, 256>;

// Each value moves by a share e / 256 of its distance to 255 (or, for a negative exposure,
// by -e / 256 of that distance downwards), e = 256 * (1 - exp(-value * exposure / 16384))
// rounded to the nearest, halves to even.
ByteTable ExposureCurve(int exposure) {
  const double x = exposure;
  ByteTable curve;
  for (int i = 0; i < 256; ++i) {
    // A strongly negative exposure makes e huge; past -2^40 every value lands on 0 anyway,
    // and the bound keeps the 64-bit product below from overflowing.
    const double share = std::nearbyint(256.0 * (1.0 - std::exp(-i * x / 16384.0)));
    const int64_t e = static_cast<int64_t>(std::clamp(share, -1099511627776.0, 256.0));
    const int64_t shift = e * (255 - i);
    const int64_t value = x >= 0 ? i + (shift >> 8) : i - ((-shift) >> 8);
    curve[i] = static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
  }
  return curve;
}

// The curve applied to both bytes of a 16-bit word, indexed by the word as it lies in memory.
// One look-up then maps two bytes: half the look-ups of the byte table.
std::vector<uint16_t> PairTable(const ByteTable& curve) {
  std::vector<uint16_t> pairs(65536);
  for (int first = 0; first < 256; ++first) {
    for (int second = 0; second < 256; ++second) {
      const uint8_t in[2] = {static_cast<uint8_t>(first), static_cast<uint8_t>(second)};
      const uint8_t out[2] = {curve[first], curve[second]};
      uint16_t word = 0;
      uint16_t mapped = 0;
      std::memcpy(&word, in, 2);
      std::memcpy(&mapped, out, 2);
      pairs[word] = mapped;
    }
  }
  return pairs;
}

}  // namespace

void AdjustExposure(engine::Bitmap24& frame, int exposure) {
  const ByteTable curve = ExposureCurve(exposure);
  const std::vector<uint16_t> pairs = PairTable(curve);
  const int row_bytes = frame.Width() * 3;
  for (int y = 0; y < frame.Height(); ++y) {
    uint8_t* value = frame.Row(y);
    int i = 0;
    for (; i + 2 <= row_bytes; i += 2) {
      uint16_t word;
      std::memcpy(&word, value + i, 2);
      word = pairs[word];
      std::memcpy(value + i, &word, 2);
    }
    if (i < row_bytes) value[i] = curve[value[i]];
  }
}

}  // namespace korvex::workflow
