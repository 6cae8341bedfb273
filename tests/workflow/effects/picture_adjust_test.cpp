#include "workflow/effects/picture_adjust.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

#include "bitmap_test_util.h"
#include "engine/bitmap/bitmap24.h"

namespace korvex::workflow {
namespace {

using engine::Bitmap24;
using engine::testing::NoisePicture;

// One row in which each channel runs through every value 0..255, in a different order per
// channel so that the pixels are coloured.
Bitmap24 AllValues() {
  Bitmap24 frame(256, 1);
  for (int x = 0; x < 256; ++x) {
    uint8_t* pixel = frame.Row(0) + 3 * x;
    pixel[0] = static_cast<uint8_t>(x);
    pixel[1] = static_cast<uint8_t>(255 - x);
    pixel[2] = static_cast<uint8_t>(x * 7);
  }
  return frame;
}

// The value a grey pixel of `value` ends with.
int GreyAfter(int value, int brightness, int contrast, int saturation) {
  Bitmap24 frame(1, 1);
  const auto v = static_cast<uint8_t>(value);
  frame.SetPixel(0, 0, v, v, v);
  AdjustPicture(frame, brightness, contrast, saturation);
  return frame.Pixel(0, 0).g;
}

TEST(AdjustPictureTest, IdentitySettingsKeepEveryValue) {
  // Brightness 256 scales by exactly 1; saturation 255 and 256 both keep each channel.
  for (int saturation : {255, 256}) {
    Bitmap24 frame = AllValues();
    AdjustPicture(frame, 256, 0, saturation);
    EXPECT_EQ(frame, AllValues()) << "saturation " << saturation;
  }
}

TEST(AdjustPictureTest, Brightness255LowersValuesFromTwoUpByOne) {
  Bitmap24 frame = AllValues();
  AdjustPicture(frame, 255, 0, 255);
  const Bitmap24 original = AllValues();
  for (int i = 0; i < 256 * 3; ++i) {
    const int before = original.Row(0)[i];
    EXPECT_EQ(frame.Row(0)[i], before < 2 ? before : before - 1) << "value " << before;
  }
}

struct CurveCase {
  int brightness;
  int contrast;
  int value;
  int expected;
};

void PrintTo(const CurveCase& c, std::ostream* out) {
  *out << "brightness " << c.brightness << ", contrast " << c.contrast << ", value " << c.value;
}

class PictureCurveTest : public ::testing::TestWithParam<CurveCase> {};

TEST_P(PictureCurveTest, GreyValueFollowsBrightnessThenContrast) {
  const CurveCase& c = GetParam();
  EXPECT_EQ(GreyAfter(c.value, c.brightness, c.contrast, 255), c.expected);
}

// Expected values worked out by hand from k = 1 / cos(C pi / 200) for C > 0 and
// k = cos(0.015708 C) otherwise, about the pivot 170.
INSTANTIATE_TEST_SUITE_P(
    Spots, PictureCurveTest,
    ::testing::Values(CurveCase{256, 50, 0, 0}, CurveCase{256, 50, 100, 71},
                      CurveCase{256, 50, 200, 212}, CurveCase{256, 50, 170, 170},
                      CurveCase{256, -50, 0, 50}, CurveCase{256, -50, 100, 121},
                      CurveCase{256, -50, 255, 230}, CurveCase{256, 30, 150, 148},
                      CurveCase{256, 99, 169, 106}, CurveCase{256, 99, 171, 234},
                      // Halving first: 200 -> 100, then the curve of 50.
                      CurveCase{128, 50, 200, 71},
                      // Doubling past 255 saturates before the curve.
                      CurveCase{512, 0, 200, 255}));

TEST(AdjustPictureTest, Contrast100ActsAs99) {
  Bitmap24 at_100 = NoisePicture(64, 16, 1);
  Bitmap24 at_99 = at_100;
  AdjustPicture(at_100, 256, 100, 255);
  AdjustPicture(at_99, 256, 99, 255);
  EXPECT_EQ(at_100, at_99);
  EXPECT_NE(at_100, NoisePicture(64, 16, 1));
}

TEST(AdjustPictureTest, ContrastMinus100FlattensEverythingTo170) {
  Bitmap24 frame = AllValues();
  AdjustPicture(frame, 256, -100, 255);
  for (int i = 0; i < 256 * 3; ++i) ASSERT_EQ(frame.Row(0)[i], 170) << "byte " << i;
}

TEST(AdjustPictureTest, SaturationZeroGivesEachPixelItsGreyValue) {
  for (int saturation : {0, -40}) {
    Bitmap24 frame = NoisePicture(64, 16, 2);
    const Bitmap24 original = frame;
    AdjustPicture(frame, 256, 0, saturation);
    for (int y = 0; y < frame.Height(); ++y) {
      for (int x = 0; x < frame.Width(); ++x) {
        const engine::Rgb p = original.Pixel(x, y);
        const auto grey = static_cast<uint8_t>((p.r + p.g + p.b) / 3);
        ASSERT_EQ(frame.Pixel(x, y), (engine::Rgb{grey, grey, grey}))
            << "pixel " << x << ", " << y << " saturation " << saturation;
      }
    }
  }
}

TEST(AdjustPictureTest, SaturationMovesChannelsAwayFromGreyAndClamps) {
  // Saturation 512 scales by (m + 1) * 2: grey 60 -> base 60 - 122 = -62, then each channel
  // adds 2 (c + 1). Bytes are blue, green, red.
  struct Case {
    std::vector<uint8_t> before;
    std::vector<uint8_t> after;
  };
  for (const Case& c : {Case{{100, 50, 30}, {140, 40, 0}},
                        // grey 90: base -92; 250 -> 410 clamps to 255, 10 -> -70 clamps to 0.
                        Case{{250, 10, 10}, {255, 0, 0}}}) {
    Bitmap24 frame(1, 1);
    std::copy(c.before.begin(), c.before.end(), frame.Row(0));
    AdjustPicture(frame, 256, 0, 512);
    EXPECT_EQ(std::vector<uint8_t>(frame.Row(0), frame.Row(0) + 3), c.after);
  }
}

}  // namespace
}  // namespace korvex::workflow
