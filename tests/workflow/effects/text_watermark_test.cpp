#include "workflow/effects/text_watermark.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <thread>
#include <utility>

#include "bitmap_test_util.h"
#include "engine/bitmap/bitmap24.h"
#include "workflow/watermark_entry.h"

namespace korvex::workflow {
namespace {

using engine::Bitmap24;
using engine::Rgb;
using engine::testing::NoisePicture;

constexpr int kLeft = 20;
constexpr int kTop = 10;
constexpr int kWidth = 120;
constexpr int kHeight = 40;

// A text longer than the box is wide, so that the box must cut it.
TWmRec TextMark(uint32_t colour, bool opaque) {
  TWmRec mark;
  mark.WmText = "Korvex watermark";
  mark.WmFont.Name = "DejaVu Sans";
  mark.WmFont.Size = 20;
  mark.WmFont.Color = colour;
  mark.TextLeft = kLeft;
  mark.TextTop = kTop;
  mark.TextWidth = kWidth;
  mark.TextHeight = kHeight;
  mark.TextAlpha = 255;
  mark.OpaqueBack = opaque;
  return mark;
}

bool InBox(int x, int y) {
  return x >= kLeft && x < kLeft + kWidth && y >= kTop && y < kTop + kHeight;
}

Bitmap24 Plain(int width, int height, uint8_t value) {
  Bitmap24 frame(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) frame.SetPixel(x, y, value, value, value);
  }
  return frame;
}

struct Changes {
  int inside = 0;
  int outside = 0;
};

Changes CountChanges(const Bitmap24& before, const Bitmap24& after) {
  Changes changes;
  for (int y = 0; y < before.Height(); ++y) {
    for (int x = 0; x < before.Width(); ++x) {
      if (before.Pixel(x, y) == after.Pixel(x, y)) continue;
      ++(InBox(x, y) ? changes.inside : changes.outside);
    }
  }
  return changes;
}

TEST(TextWatermarkTest, OpaqueBoxCoversTheWholeBoxAndNothingElse) {
  const Bitmap24 before = Plain(200, 80, 128);
  Bitmap24 frame = before;
  TWmRec mark = TextMark(0x00FFFFFF, true);
  mark.BackColor = 0x00FF0000;  // blue
  DrawTextWatermark(frame, mark);

  const Changes changes = CountChanges(before, frame);
  EXPECT_EQ(changes.inside, kWidth * kHeight);
  EXPECT_EQ(changes.outside, 0);
  // The bottom-right corner is background: (128 + 255 * BackColor) >> 8 per channel.
  EXPECT_EQ(frame.Pixel(kLeft + kWidth - 1, kTop + kHeight - 1), (Rgb{0, 0, 254}));
  // White letters stand out from the blue: somewhere near the text's start red is high.
  int lettered = 0;
  for (int y = kTop; y < kTop + kHeight; ++y) {
    for (int x = kLeft; x < kLeft + kWidth; ++x) lettered += frame.Pixel(x, y).r > 128;
  }
  EXPECT_GT(lettered, 50);
}

TEST(TextWatermarkTest, TransparentBoxChangesOnlyTheLetters) {
  const Bitmap24 before = NoisePicture(200, 80, 3);
  Bitmap24 frame = before;
  DrawTextWatermark(frame, TextMark(0x00FFFFFF, false));

  const Changes changes = CountChanges(before, frame);
  EXPECT_GT(changes.inside, 50);
  EXPECT_LT(changes.inside, kWidth * kHeight / 2);
  EXPECT_EQ(changes.outside, 0);
}

TEST(TextWatermarkTest, TextColourLandsInItsChannel) {
  struct Case {
    uint32_t colour;  // 0x00BBGGRR
    int channel;      // 0 red, 1 green, 2 blue
  };
  for (const Case& c : {Case{0x000000FF, 0}, Case{0x0000FF00, 1}, Case{0x00FF0000, 2}}) {
    const Bitmap24 before = Plain(200, 80, 0);
    Bitmap24 frame = before;
    DrawTextWatermark(frame, TextMark(c.colour, false));
    int strongest = 0;
    int changed = 0;
    for (int y = kTop; y < kTop + kHeight; ++y) {
      for (int x = kLeft; x < kLeft + kWidth; ++x) {
        const Rgb p = frame.Pixel(x, y);
        const int values[3] = {p.r, p.g, p.b};
        if (values[0] + values[1] + values[2] == 0) continue;
        ++changed;
        strongest = std::max(strongest, values[c.channel]);
        for (int other = 0; other < 3; ++other) {
          if (other == c.channel) continue;
          ASSERT_LT(values[other], values[c.channel]) << c.colour << " at " << x << ", " << y;
        }
      }
    }
    EXPECT_GT(changed, 50) << c.colour;
    EXPECT_GE(strongest, 250) << c.colour;
  }
}

TEST(TextWatermarkTest, EachStyleChangesTheLetters) {
  Bitmap24 plain = Plain(200, 80, 0);
  DrawTextWatermark(plain, TextMark(0x00FFFFFF, false));
  for (uint32_t style : {fsBold, fsItalic, fsUnderline, fsStrikeOut}) {
    Bitmap24 styled = Plain(200, 80, 0);
    TWmRec mark = TextMark(0x00FFFFFF, false);
    mark.WmFont.Style = style;
    DrawTextWatermark(styled, mark);
    EXPECT_NE(styled, plain) << "style " << style;
  }
}

// A box hanging over the top-left corner draws the same letters as on a larger frame that
// shows the whole box: the text starts at the box's corner, not at the frame's.
TEST(TextWatermarkTest, BoxAcrossTheFrameEdgeIsCutNotMoved) {
  constexpr int kMargin = 30;
  const Bitmap24 small = NoisePicture(150, 60, 4);
  Bitmap24 large = NoisePicture(150 + kMargin, 60 + kMargin, 5);
  for (int y = 0; y < small.Height(); ++y) {
    std::copy(small.Row(y), small.Row(y) + 3 * small.Width(), large.Row(y + kMargin) + 3 * kMargin);
  }
  TWmRec mark = TextMark(0x0000FFFF, true);
  mark.TextAlpha = 200;
  mark.TextLeft = -20;
  mark.TextTop = -12;
  Bitmap24 cut = small;
  DrawTextWatermark(cut, mark);
  mark.TextLeft += kMargin;
  mark.TextTop += kMargin;
  DrawTextWatermark(large, mark);

  for (int y = 0; y < small.Height(); ++y) {
    for (int x = 0; x < small.Width(); ++x) {
      ASSERT_EQ(cut.Pixel(x, y), large.Pixel(x + kMargin, y + kMargin)) << x << ", " << y;
    }
  }
  EXPECT_NE(cut, small);
}

TEST(TextWatermarkTest, EmptyOrOffFrameBoxDrawsNothing) {
  const Bitmap24 before = NoisePicture(60, 30, 6);
  for (const auto& [left, width] : {std::pair{0, 0}, std::pair{-50, 50}, std::pair{60, 10}}) {
    Bitmap24 frame = before;
    TWmRec mark = TextMark(0x00FFFFFF, true);
    mark.TextLeft = left;
    mark.TextWidth = width;
    DrawTextWatermark(frame, mark);
    EXPECT_EQ(frame, before) << left << " " << width;
  }
}

TEST(TextWatermarkTest, WorkerThreadDrawsLikeTheMainThread) {
  Bitmap24 on_main = NoisePicture(200, 80, 7);
  Bitmap24 on_worker = on_main;
  const TWmRec mark = TextMark(0x0000FF00, false);
  DrawTextWatermark(on_main, mark);
  std::thread worker([&] { DrawTextWatermark(on_worker, mark); });
  worker.join();
  EXPECT_EQ(on_worker, on_main);
  EXPECT_NE(on_worker, NoisePicture(200, 80, 7));
}

}  // namespace
}  // namespace korvex::workflow
