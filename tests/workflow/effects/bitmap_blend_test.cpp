#include "workflow/effects/bitmap_blend.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <string>

#include "bitmap_test_util.h"
#include "engine/bitmap/bitmap24.h"

namespace korvex::workflow {
namespace {

using engine::Bitmap24;
using engine::testing::NoisePicture;

// The blend worked out pixel by pixel over the whole frame: a frame pixel is covered when the
// picture pixel under it exists.
Bitmap24 BlendedByHand(const Bitmap24& frame, const Bitmap24& picture, int x, int y, int alpha) {
  Bitmap24 result = frame;
  for (int fy = 0; fy < frame.Height(); ++fy) {
    for (int fx = 0; fx < frame.Width(); ++fx) {
      const int64_t px = int64_t{fx} - x;
      const int64_t py = int64_t{fy} - y;
      if (px < 0 || py < 0 || px >= picture.Width() || py >= picture.Height()) continue;
      const uint8_t* p = picture.Row(static_cast<int>(py)) + 3 * px;
      uint8_t* f = result.Row(fy) + 3 * fx;
      for (int c = 0; c < 3; ++c)
        f[c] = static_cast<uint8_t>((f[c] * (256 - alpha) + p[c] * alpha) >> 8);
    }
  }
  return result;
}

struct PlaceCase {
  std::string name;
  int picture_width;
  int picture_height;
  int x;
  int y;
  bool touches_frame;
};

void PrintTo(const PlaceCase& c, std::ostream* out) {
  *out << c.picture_width << " x " << c.picture_height << " at " << c.x << ", " << c.y;
}

class BlendPlacementTest : public ::testing::TestWithParam<PlaceCase> {};

// A 21 x 5 frame (rows padded by 1 byte) and pictures placed across its edges.
TEST_P(BlendPlacementTest, OnlyTheCoveredPartChanges) {
  const PlaceCase& c = GetParam();
  const Bitmap24 frame = NoisePicture(21, 5, 11);
  const Bitmap24 picture = NoisePicture(c.picture_width, c.picture_height, 12);
  Bitmap24 blended = frame;
  BlendBitmap(blended, picture, c.x, c.y, 100);
  EXPECT_EQ(blended, BlendedByHand(frame, picture, c.x, c.y, 100));
  EXPECT_EQ(blended != frame, c.touches_frame);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, BlendPlacementTest,
    ::testing::Values(
        PlaceCase{"AtOrigin", 3, 2, 0, 0, true}, PlaceCase{"Inside", 3, 2, 2, 1, true},
        PlaceCase{"AcrossLeft", 3, 2, -2, 1, true}, PlaceCase{"AcrossTop", 3, 2, 2, -1, true},
        PlaceCase{"AcrossRight", 3, 2, 19, 1, true}, PlaceCase{"AcrossBottom", 3, 2, 2, 4, true},
        PlaceCase{"AcrossTopLeftCorner", 3, 2, -2, -1, true},
        PlaceCase{"AcrossBottomRightCorner", 3, 2, 20, 4, true},
        // Rows of 39 and 63 bytes: whole blocks of bytes and a rest.
        PlaceCase{"LongRowsAcrossLeft", 15, 3, -2, 1, true},
        PlaceCase{"WiderThanFrame", 30, 2, 0, 1, true},
        PlaceCase{"LargerOnEverySide", 25, 9, -2, -3, true},
        PlaceCase{"LeftOfFrame", 3, 2, -3, 1, false}, PlaceCase{"RightOfFrame", 3, 2, 21, 1, false},
        PlaceCase{"AboveFrame", 3, 2, 1, -2, false}, PlaceCase{"BelowFrame", 3, 2, 1, 5, false},
        PlaceCase{"FarBeyondIntRange", 3, 2, INT_MAX - 1, INT_MAX - 1, false},
        PlaceCase{"FarBefore", 3, 2, INT_MIN, INT_MIN, false},
        PlaceCase{"EmptyPicture", 0, 0, 1, 1, false}),
    [](const ::testing::TestParamInfo<PlaceCase>& info) { return info.param.name; });

TEST(BlendBitmapTest, AlphaSetsTheMix) {
  struct Case {
    int alpha;
    uint8_t expected;
  };
  // Frame 10, picture 200: (10 * (256 - a) + 200 * a) >> 8; 255 stops one step short of 200,
  // out-of-range alphas clamp to 0..255.
  for (const Case& c :
       {Case{0, 10}, Case{-5, 10}, Case{128, 105}, Case{255, 199}, Case{300, 199}}) {
    Bitmap24 frame(2, 2);
    Bitmap24 picture(2, 2);
    for (int i = 0; i < 6; ++i) {
      frame.Row(0)[i] = frame.Row(1)[i] = 10;
      picture.Row(0)[i] = picture.Row(1)[i] = 200;
    }
    BlendBitmap(frame, picture, 0, 0, c.alpha);
    for (int y = 0; y < 2; ++y) {
      for (int i = 0; i < 6; ++i) EXPECT_EQ(frame.Row(y)[i], c.expected) << "alpha " << c.alpha;
    }
  }
}

}  // namespace
}  // namespace korvex::workflow
