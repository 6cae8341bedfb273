#include "controls/dither.h"

#include <gtest/gtest.h>

#include "controls/bevel.h"
#include "test_window.h"

namespace korvex::controls {
namespace {

TEST(DitherTest, OddPixelsAreSilverUnlessTheTrackIsSilver) {
  struct Case {
    QColor track;
    QColor odd;
  };
  const Case cases[] = {{Qt::white, kSilver}, {QColor(10, 20, 30), kSilver}, {kSilver, kGrey}};
  for (const Case& c : cases) {
    const QImage pattern = DitherPattern(c.track);
    ASSERT_EQ(pattern.size(), QSize(8, 8));
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        const QColor expected = (x + y) % 2 == 1 ? c.odd : c.track;
        ASSERT_EQ(ColourAt(pattern, {x, y}), Hex(expected)) << x << ", " << y;
      }
    }
  }
}

TEST(DitherTest, FloodFillCoversOnlyTheConnectedAreaOfTheSeedsColour) {
  // A 12 x 12 white picture cut by a black line at x = 5: only the left part is filled.
  QImage image(12, 12, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (int y = 0; y < 12; ++y) image.setPixel(5, y, QColor(Qt::black).rgb());
  // The pattern holds the target colour itself, which must not make the fill run forever.
  const QImage pattern = DitherPattern(Qt::white);
  FloodFillWithPattern(image, QPoint(2, 9), pattern);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      QColor expected = Qt::white;
      if (x == 5) expected = Qt::black;
      if (x < 5 && (x + y) % 2 == 1) expected = kSilver;
      ASSERT_EQ(ColourAt(image, {x, y}), Hex(expected)) << x << ", " << y;
    }
  }
  const QImage before = image;
  FloodFillWithPattern(image, QPoint(12, 0), pattern);  // outside: nothing happens
  EXPECT_EQ(image, before);
}

}  // namespace
}  // namespace korvex::controls
