#include "workflow/effects/exposure_adjust.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

#include "engine/bitmap/bitmap24.h"

namespace korvex::workflow {
namespace {

using engine::Bitmap24;

struct ExposureCase {
  int exposure;
  int value;
  int expected;
};

void PrintTo(const ExposureCase& c, std::ostream* out) {
  *out << "exposure " << c.exposure << ", value " << c.value;
}

class ExposureCurveTest : public ::testing::TestWithParam<ExposureCase> {};

// Three pixels a row make an odd number of bytes, so the last byte of each row is mapped
// on its own.
TEST_P(ExposureCurveTest, EveryChannelFollowsTheCurve) {
  const ExposureCase& c = GetParam();
  const auto v = static_cast<uint8_t>(c.value);
  const auto e = static_cast<uint8_t>(c.expected);
  Bitmap24 frame(3, 2);
  for (int y = 0; y < 2; ++y) {
    frame.SetPixel(0, y, v, v, v);
    frame.SetPixel(1, y, 0, 255, v);
    frame.SetPixel(2, y, v, v, v);
  }
  AdjustExposure(frame, c.exposure);
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(frame.Pixel(0, y), (engine::Rgb{e, e, e}));
    // The ends of the scale never move.
    EXPECT_EQ(frame.Pixel(1, y), (engine::Rgb{0, 255, e}));
    EXPECT_EQ(frame.Pixel(2, y), (engine::Rgb{e, e, e}));
  }
}

// Expected values from e = nearest-even(256 (1 - exp(-i x / 16384))), E = i + (e (255 - i) >> 8)
// for x >= 0 and i - (-e (255 - i) >> 8) below 0, worked out apart from the code.
INSTANTIATE_TEST_SUITE_P(
    Spots, ExposureCurveTest,
    ::testing::Values(ExposureCase{0, 100, 100}, ExposureCase{50, 1, 1}, ExposureCase{50, 64, 97},
                      ExposureCase{50, 100, 140}, ExposureCase{50, 128, 169},
                      ExposureCase{50, 200, 225}, ExposureCase{50, 254, 254},
                      ExposureCase{-50, 1, 1}, ExposureCase{-50, 64, 23},
                      ExposureCase{-50, 100, 45}, ExposureCase{-50, 128, 68},
                      ExposureCase{-50, 200, 154}, ExposureCase{-50, 254, 253},
                      ExposureCase{1000, 1, 15}, ExposureCase{1000, 100, 254},
                      ExposureCase{-1000, 254, 0},
                      // So strong that exp() overflows: everything but 255 goes to 0.
                      ExposureCase{-2000000000, 254, 0}, ExposureCase{2000000000, 1, 255}));

}  // namespace
}  // namespace korvex::workflow
