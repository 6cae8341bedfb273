// Each vector path of AdjustPicture against the scalar path, which is the reference.
#include "workflow/effects/picture_adjust_paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "bitmap_test_util.h"
#include "engine/bitmap/bitmap24.h"
#include "frame_bytes.h"
#include "workflow/effects/cpu_vector_support.h"

namespace korvex::workflow {
namespace {

using engine::Bitmap24;
using engine::testing::NoisePicture;
using testing::FirstByteDifference;

struct PicturePath {
  const char* name;
  bool (*supported)();
  void (*adjust)(Bitmap24&, const PictureCurves&);
};

void PrintTo(const PicturePath& path, std::ostream* out) { *out << path.name; }

class PicturePathTest : public ::testing::TestWithParam<PicturePath> {
 protected:
  void SetUp() override {
    if (!GetParam().supported()) GTEST_SKIP() << "the processor lacks " << GetParam().name;
  }

  // Where the path's result first differs from the scalar path's; empty when it does not.
  static std::string DifferenceFromScalar(const Bitmap24& frame, const PictureCurves& curves) {
    Bitmap24 expected = frame;
    AdjustPictureScalar(expected, curves);
    Bitmap24 actual = frame;
    GetParam().adjust(actual, curves);
    return FirstByteDifference(actual, expected);
  }
};

// Widths around the vector lengths (16, 32 and 64 pixels) leave every size of row tail, and
// several rows show that a tail stays within its own row.
TEST_P(PicturePathTest, EveryWidthMatchesScalar) {
  struct Settings {
    int brightness;
    int contrast;
    int saturation;
  };
  for (int width : {1, 2, 3, 5, 17, 63, 64, 65, 641, 1920}) {
    const Bitmap24 frame = NoisePicture(width, 3, static_cast<uint32_t>(width));
    for (const Settings& s :
         {Settings{200, 20, 300}, Settings{400, -50, 0}, Settings{128, 99, 510}}) {
      EXPECT_EQ(
          DifferenceFromScalar(frame, MakePictureCurves(s.brightness, s.contrast, s.saturation)),
          "")
          << "width " << width << ", brightness " << s.brightness << ", contrast " << s.contrast
          << ", saturation " << s.saturation;
    }
  }
}

TEST_P(PicturePathTest, EverySettingMatchesScalar) {
  // 97 pixels: whole vectors and a tail on every path.
  const Bitmap24 frame = NoisePicture(97, 3, 7);
  for (int brightness : {0, 1, 128, 255, 256, 400, 510}) {
    for (int contrast : {-100, -50, 0, 50, 99, 100}) {
      for (int saturation : {0, 1, 255, 256, 510}) {
        ASSERT_EQ(DifferenceFromScalar(frame, MakePictureCurves(brightness, contrast, saturation)),
                  "")
            << "brightness " << brightness << ", contrast " << contrast << ", saturation "
            << saturation;
      }
    }
  }
}

// One pixel for every grey value g and every channel value c that a pixel can have together
// (some with each remainder of the channel sum by 3), as its first channel.
Bitmap24 EveryGreyAndChannel() {
  std::vector<uint8_t> bytes;
  for (int grey = 0; grey < 256; ++grey) {
    for (int c = 0; c < 256; ++c) {
      for (int step = 0; step < 3; ++step) {
        const int remainder = (c + step) % 3;
        const int others = 3 * grey + remainder - c;
        if (others < 0 || others > 510) continue;
        const int second = std::min(others, 255);
        bytes.insert(bytes.end(), {static_cast<uint8_t>(c), static_cast<uint8_t>(second),
                                   static_cast<uint8_t>(others - second)});
        break;
      }
    }
  }
  const int width = 256;
  const int pixels = static_cast<int>(bytes.size() / 3);
  Bitmap24 frame(width, (pixels + width - 1) / width);
  for (int i = 0; i < pixels; ++i) {
    std::copy_n(&bytes[3 * i], 3, frame.Row(i / width) + 3 * (i % width));
  }
  return frame;
}

// The vector paths compute the grey value and the saturation scale with 16-bit multiplies
// instead of tables; with brightness 256 and contrast 0 the light table keeps every value, so
// any slip in that arithmetic shows in the result. Every factor of the dialog's range, then
// a sweep up to the largest.
TEST_P(PicturePathTest, SaturationArithmeticMatchesScalarForEveryGreyAndChannel) {
  const Bitmap24 frame = EveryGreyAndChannel();
  std::vector<int> factors;
  for (int s = 0; s <= 520; ++s) factors.push_back(s);
  for (int s = 521; s < 65535; s += 509) factors.push_back(s);
  factors.push_back(65535);
  for (int saturation : factors) {
    ASSERT_EQ(DifferenceFromScalar(frame, MakePictureCurves(256, 0, saturation)), "")
        << "saturation " << saturation;
  }
}

INSTANTIATE_TEST_SUITE_P(
    VectorPaths, PicturePathTest,
    ::testing::Values(PicturePath{"Avx2", CpuHasAvx2, AdjustPictureAvx2},
                      PicturePath{"Avx512Vbmi", CpuHasAvx512Vbmi, AdjustPictureAvx512Vbmi}),
    [](const ::testing::TestParamInfo<PicturePath>& info) { return info.param.name; });

}  // namespace
}  // namespace korvex::workflow
