#include "workflow/effects/picture_adjust.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace korvex::workflow {

namespace {

using ByteTable = std::array<uint8_t, 256>;

// The nearest byte, halves to even (the default rounding mode); NaN gives 0.
uint8_t RoundToByte(double value) {
  if (value >= 255.0) return 255;
  if (!(value > 0.0)) return 0;
  return static_cast<uint8_t>(std::nearbyint(value));
}

// The contrast curve, pivoting on 170.
ByteTable ContrastCurve(int contrast) {
  // 1 / cos(pi / 2) has no finite value: the top of the scale stops one step short.
  if (contrast == 100) contrast = 99;
  const double slope = contrast > 0 ? 1.0 / std::cos(contrast * std::numbers::pi / 200.0)
                                    : std::cos(contrast * 0.015708);
  ByteTable curve;
  for (int i = 0; i < 256; ++i) curve[i] = RoundToByte((i - 170) * slope + 170.0);
  return curve;
}

// Brightness scales each value by brightness / 256 first, then the contrast curve applies.
ByteTable LightTable(int brightness, const ByteTable& contrast_curve) {
  ByteTable table;
  for (int j = 0; j < 256; ++j) {
    // Integer division truncates toward zero, which the value 0 (j - 1 = -1) relies on.
    const int64_t scaled = (int64_t{brightness} * (j - 1) + 256) / 256;
    table[j] = contrast_curve[std::clamp<int64_t>(scaled, 0, 255)];
  }
  return table;
}

// The saturation scale of a value: (value + 1) * saturation / 256, at most 65535.
std::array<int32_t, 256> SaturationTable(int saturation) {
  const int32_t factor = std::clamp(saturation, 0, 65535);
  std::array<int32_t, 256> table;
  for (int m = 0; m < 256; ++m) table[m] = static_cast<uint16_t>(((m + 1) * factor) >> 8);
  return table;
}

// The final value of a channel c in a pixel of grey value g, at [g * 256 + c]. A channel
// becomes g minus the saturation scale of g plus its own scale, so the grey level stays and
// the channels' distance from it follows the saturation; then brightness and contrast apply.
std::vector<uint8_t> ChannelTable(const std::array<int32_t, 256>& scale, const ByteTable& light) {
  std::vector<uint8_t> table(256 * 256);
  for (int grey = 0; grey < 256; ++grey) {
    const int32_t base = grey - scale[grey];
    uint8_t* row = table.data() + grey * 256;
    for (int c = 0; c < 256; ++c) row[c] = light[std::clamp<int32_t>(base + scale[c], 0, 255)];
  }
  return table;
}

// Where the channel table's row of a pixel starts, by the sum of its three channels: the grey
// value sum / 3 times 256, without a division per pixel.
constexpr std::array<uint16_t, 766> kGreyRows = [] {
  std::array<uint16_t, 766> rows{};
  for (int sum = 0; sum < 766; ++sum) rows[sum] = static_cast<uint16_t>(sum / 3 * 256);
  return rows;
}();

}  // namespace

void AdjustPicture(engine::Bitmap24& frame, int brightness, int contrast, int saturation) {
  const std::vector<uint8_t> channels =
      ChannelTable(SaturationTable(saturation), LightTable(brightness, ContrastCurve(contrast)));
  const uint8_t* table = channels.data();
  const int width = frame.Width();
  for (int y = 0; y < frame.Height(); ++y) {
    uint8_t* pixel = frame.Row(y);
    for (int x = 0; x < width; ++x, pixel += 3) {
      const uint32_t c0 = pixel[0];
      const uint32_t c1 = pixel[1];
      const uint32_t c2 = pixel[2];
      const uint8_t* row = table + kGreyRows[c0 + c1 + c2];
      pixel[0] = row[c0];
      pixel[1] = row[c1];
      pixel[2] = row[c2];
    }
  }
}

}  // namespace korvex::workflow
