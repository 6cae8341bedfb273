#include "workflow/effects/frame_effects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <ostream>
#include <thread>

#include "bitmap_test_util.h"
#include "engine/bitmap/bitmap24.h"
#include "workflow/effects/exposure_adjust.h"
#include "workflow/effects/picture_adjust.h"
#include "workflow/watermark_entry.h"

namespace korvex::workflow {
namespace {

using engine::Bitmap24;
using engine::Rgb;
using engine::testing::NoisePicture;

// An opaque box of one colour at (left, top), 4 x 4 pixels, shown from second 5 to 10.
TWmRec Box(int left, int top, uint32_t colour) {
  TWmRec mark;
  mark.WmText = " ";
  mark.TextLeft = left;
  mark.TextTop = top;
  mark.TextWidth = 4;
  mark.TextHeight = 4;
  mark.TextAlpha = 255;
  mark.OpaqueBack = true;
  mark.BackColor = colour;
  mark.StartSec = 5;
  mark.EndSec = 10;
  return mark;
}

TEST(FrameEffectsTest, NeutralSettingsLeaveEveryByteAlone) {
  // Width 7 leaves 3 bytes of padding per row; they stay as well.
  Bitmap24 frame = NoisePicture(7, 5, 31);
  const Bitmap24 before = frame;
  ApplyFrameEffects(frame, FrameEffects{}, 7'000'000);
  EXPECT_EQ(std::memcmp(frame.Data(), before.Data(), frame.SizeBytes()), 0);
}

struct AdjustCase {
  int brightness;
  int contrast;
  int saturation;
  int exposure;
};

void PrintTo(const AdjustCase& c, std::ostream* out) {
  *out << "brightness " << c.brightness << ", contrast " << c.contrast << ", saturation "
       << c.saturation << ", exposure " << c.exposure;
}

class FrameAdjustTest : public ::testing::TestWithParam<AdjustCase> {};

// Any one setting off neutral runs its pass; the picture pass comes before the exposure.
TEST_P(FrameAdjustTest, RunsThePassesThatAreNotNeutral) {
  const AdjustCase& c = GetParam();
  const Bitmap24 before = NoisePicture(32, 8, 32);
  Bitmap24 frame = before;
  FrameEffects effects;
  effects.Brightness = c.brightness;
  effects.Contrast = c.contrast;
  effects.Saturation = c.saturation;
  effects.Exposure = c.exposure;
  ApplyFrameEffects(frame, effects, 0);

  Bitmap24 expected = before;
  if (c.brightness != 255 || c.contrast != 0 || c.saturation != 255) {
    AdjustPicture(expected, c.brightness, c.contrast, c.saturation);
  }
  if (c.exposure != 0) AdjustExposure(expected, c.exposure);
  EXPECT_EQ(frame, expected);
  EXPECT_NE(frame, before);
}

INSTANTIATE_TEST_SUITE_P(Settings, FrameAdjustTest,
                         ::testing::Values(AdjustCase{254, 0, 255, 0}, AdjustCase{255, 10, 255, 0},
                                           AdjustCase{255, 0, 200, 0}, AdjustCase{255, 0, 255, 30},
                                           AdjustCase{200, 40, 400, -60}));

TEST(FrameEffectsTest, WatermarkShowsThroughItsLastWholeSecond) {
  struct Case {
    int64_t pts_us;
    bool shown;
  };
  FrameEffects effects;
  effects.Watermarks = {Box(1, 1, 0x00FFFFFF)};
  for (const Case& c : {Case{4'999'999, false}, Case{5'000'000, true}, Case{10'999'999, true},
                        Case{11'000'000, false}, Case{-1, false}}) {
    Bitmap24 frame(8, 8);
    ApplyFrameEffects(frame, effects, c.pts_us);
    EXPECT_EQ(frame.Pixel(2, 2) != Rgb{}, c.shown) << c.pts_us;
  }
}

TEST(FrameEffectsTest, LaterWatermarksCoverEarlierOnes) {
  FrameEffects effects;
  effects.Watermarks = {Box(0, 0, 0x000000FF), Box(2, 2, 0x00FF0000)};
  Bitmap24 frame(8, 8);
  ApplyFrameEffects(frame, effects, 6'000'000);
  EXPECT_EQ(frame.Pixel(1, 1), (Rgb{254, 0, 0}));  // only the first, red
  EXPECT_EQ(frame.Pixel(3, 3), (Rgb{0, 0, 254}));  // both: the second, blue, on top
  EXPECT_EQ(frame.Pixel(5, 5), (Rgb{0, 0, 254}));  // only the second
}

TEST(FrameEffectsTest, EntriesWithoutContentForTheirKindDrawNothing) {
  TWmRec text_without_text = Box(0, 0, 0x00FFFFFF);
  text_without_text.WmText.clear();
  text_without_text.ImageFile = "/nonexistent.bmp";
  TWmRec picture_without_file = Box(0, 0, 0x00FFFFFF);
  picture_without_file.WmKind = kPictureWatermark;
  TWmRec unknown_kind = Box(0, 0, 0x00FFFFFF);
  unknown_kind.WmKind = 2;
  FrameEffects effects;
  effects.Watermarks = {text_without_text, picture_without_file, unknown_kind};
  Bitmap24 frame(8, 8);
  ApplyFrameEffects(frame, effects, 5'000'000);
  EXPECT_EQ(frame, Bitmap24(8, 8));
}

TEST(FrameEffectsTest, WaitsForTheCanvasLock) {
  Bitmap24 frame(8, 8);
  FrameEffects effects;
  effects.Watermarks = {Box(1, 1, 0x00FFFFFF)};
  std::atomic<bool> done = false;
  std::unique_lock<std::mutex> canvas(frame.Canvas());
  std::thread worker([&] {
    ApplyFrameEffects(frame, effects, 5'000'000);
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(done);
  canvas.unlock();
  worker.join();
  EXPECT_TRUE(done);
  EXPECT_NE(frame.Pixel(2, 2), Rgb{});
}

}  // namespace
}  // namespace korvex::workflow
