// The exposure path for processors without the vector instructions: every two bytes of the
// frame cost one look-up in a table of byte pairs.
#include <cstdint>
#include <cstring>
#include <vector>

#include "workflow/effects/exposure_adjust_paths.h"

namespace korvex::workflow {

namespace {

// The curve applied to both bytes of a 16-bit word, indexed by the word as it lies in memory.
// One look-up then maps two bytes: half the look-ups of the byte table.
std::vector<uint16_t> PairTable(const ByteCurve& curve) {
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

void AdjustExposureScalar(engine::Bitmap24& frame, const ByteCurve& curve) {
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
