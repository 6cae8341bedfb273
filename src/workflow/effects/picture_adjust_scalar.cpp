// The picture path for processors without the vector instructions: the saturation scale and
// the light table are combined into one 64 KiB table by grey value and channel, so every pixel
// costs four look-ups.
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "workflow/effects/picture_adjust_paths.h"

namespace korvex::workflow {

namespace {

// The saturation scale of every value: (value + 1) * saturation / 256.
std::array<int32_t, 256> SaturationTable(uint32_t saturation) {
  const auto factor = static_cast<int32_t>(saturation);
  std::array<int32_t, 256> table;
  for (int m = 0; m < 256; ++m) table[m] = static_cast<uint16_t>(((m + 1) * factor) >> 8);
  return table;
}

// The final value of a channel c in a pixel of grey value g, at [g * 256 + c]. A channel
// becomes g minus the saturation scale of g plus its own scale, so the grey level stays and
// the channels' distance from it follows the saturation; then brightness and contrast apply.
std::vector<uint8_t> ChannelTable(const std::array<int32_t, 256>& scale, const ByteCurve& light) {
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

void AdjustPictureScalar(engine::Bitmap24& frame, const PictureCurves& curves) {
  const std::vector<uint8_t> channels =
      ChannelTable(SaturationTable(curves.saturation), curves.light);
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
