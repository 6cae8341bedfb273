// Each vector path of AdjustExposure against the scalar path, which is the reference.
#include "workflow/effects/exposure_adjust_paths.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>

#include "bitmap_test_util.h"
#include "engine/bitmap/bitmap24.h"
#include "frame_bytes.h"
#include "workflow/effects/cpu_vector_support.h"

namespace korvex::workflow {
namespace {

using engine::Bitmap24;
using engine::testing::NoisePicture;
using testing::FirstByteDifference;

struct ExposurePath {
  const char* name;
  bool (*supported)();
  void (*adjust)(Bitmap24&, const ByteCurve&);
};

void PrintTo(const ExposurePath& path, std::ostream* out) { *out << path.name; }

class ExposurePathTest : public ::testing::TestWithParam<ExposurePath> {
 protected:
  void SetUp() override {
    if (!GetParam().supported()) GTEST_SKIP() << "the processor lacks " << GetParam().name;
  }
};

// The vector paths map the frame as one run of bytes, so the widths decide where the row
// padding falls within a vector and how long the run's tail is; with 4 pixels a row there is
// no padding and the tail ends on pixels. The padding stays 0, as 0 stays 0 on every exposure
// curve.
TEST_P(ExposurePathTest, EveryWidthAndExposureMatchesScalar) {
  for (int width : {1, 2, 3, 4, 5, 17, 63, 64, 65, 641, 1920}) {
    const Bitmap24 frame = NoisePicture(width, 3, static_cast<uint32_t>(width));
    for (int exposure : {-200, -50, 1, 50, 200}) {
      const ByteCurve curve = ExposureCurve(exposure);
      Bitmap24 expected = frame;
      AdjustExposureScalar(expected, curve);
      Bitmap24 actual = frame;
      GetParam().adjust(actual, curve);
      EXPECT_EQ(FirstByteDifference(actual, expected), "")
          << "width " << width << ", exposure " << exposure;
    }
  }
}

// Exposure curves rise smoothly; a table of random bytes also catches a look-up that lands on
// a neighbouring entry or in the wrong half of the table.
TEST_P(ExposurePathTest, AnyCurveMatchesScalar) {
  std::mt19937 random(11);
  ByteCurve curve;
  for (uint8_t& entry : curve) entry = static_cast<uint8_t>(random());
  const Bitmap24 frame = NoisePicture(641, 5, 12);
  Bitmap24 expected = frame;
  AdjustExposureScalar(expected, curve);
  Bitmap24 actual = frame;
  GetParam().adjust(actual, curve);
  // The padding is left out: random bytes map the vector paths' padding away from 0.
  EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(
    VectorPaths, ExposurePathTest,
    ::testing::Values(ExposurePath{"Avx2", CpuHasAvx2, AdjustExposureAvx2},
                      ExposurePath{"Avx512Vbmi", CpuHasAvx512Vbmi, AdjustExposureAvx512Vbmi}),
    [](const ::testing::TestParamInfo<ExposurePath>& info) { return info.param.name; });

}  // namespace
}  // namespace korvex::workflow
