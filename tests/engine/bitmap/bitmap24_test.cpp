// The 24-bit bitmap: its memory layout, sizes, copies and the canvas lock.
#include "engine/bitmap/bitmap24.h"

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

#include "bitmap_test_util.h"
#include "engine/bitmap/bitmap_error.h"

namespace korvex::engine {
namespace {

using testing::kBlue;
using testing::kGreen;
using testing::kRed;
using testing::Picture;

TEST(Bitmap24Test, RowsArePaddedToFourBytesAndStartBlack) {
  struct Case {
    int width;
    int stride;
  };
  for (const Case& c : {Case{1, 4}, Case{2, 8}, Case{3, 12}, Case{4, 12}, Case{5, 16}}) {
    SCOPED_TRACE("width " + std::to_string(c.width));
    const Bitmap24 bitmap(c.width, 3);
    EXPECT_EQ(bitmap.Stride(), c.stride);
    EXPECT_EQ(bitmap.SizeBytes(), static_cast<size_t>(c.stride) * 3);
    EXPECT_EQ(bitmap.Data(), bitmap.Row(0));
    EXPECT_EQ(bitmap.Row(2) - bitmap.Row(1), c.stride);
    for (size_t i = 0; i < bitmap.SizeBytes(); ++i) ASSERT_EQ(bitmap.Data()[i], 0);
  }
}

TEST(Bitmap24Test, PixelsAreBlueGreenRedBytes) {
  Bitmap24 bitmap(2, 2);
  bitmap.SetPixel(1, 1, 10, 20, 30);
  const uint8_t* pixel = bitmap.Row(1) + 3;
  EXPECT_EQ(pixel[0], 30);
  EXPECT_EQ(pixel[1], 20);
  EXPECT_EQ(pixel[2], 10);
  EXPECT_EQ(bitmap.Pixel(1, 1), (Rgb{10, 20, 30}));
  EXPECT_THROW(bitmap.Pixel(2, 0), std::out_of_range);
  EXPECT_THROW(bitmap.SetPixel(0, -1, 0, 0, 0), std::out_of_range);
}

TEST(Bitmap24Test, EmptyBitmapsHaveNoBytes) {
  for (const auto& [width, height] : {std::pair{0, 0}, {0, 7}, {7, 0}}) {
    const Bitmap24 bitmap(width, height);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.SizeBytes(), 0u);
    EXPECT_EQ(bitmap.Data(), nullptr);
  }
  EXPECT_TRUE(Bitmap24().Empty());
  EXPECT_FALSE(Bitmap24(1, 1).Empty());
}

TEST(Bitmap24Test, SetSizeKeepsPixelsOnlyWhileTheSizeStays) {
  Bitmap24 bitmap = Picture(3, {kRed, kGreen, kBlue});
  const uint8_t* data = bitmap.Data();
  bitmap.SetSize(3, 1);
  EXPECT_EQ(bitmap, Picture(3, {kRed, kGreen, kBlue}));
  EXPECT_EQ(bitmap.Data(), data);

  bitmap.SetSize(1, 3);
  EXPECT_EQ(bitmap.Stride(), 4);
  EXPECT_EQ(bitmap, Bitmap24(1, 3));
}

TEST(Bitmap24Test, SidesOutsideTheLimitsAreRefused) {
  EXPECT_NO_THROW(Bitmap24(kMaxBitmapSide, 1));
  EXPECT_NO_THROW(Bitmap24(1, kMaxBitmapSide));
  for (const auto& [width, height] : {std::pair{-1, 1}, {1, -1}, {16385, 1}, {1, 16385}}) {
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    SCOPED_TRACE(size);
    try {
      Bitmap24 bitmap(width, height);
      ADD_FAILURE() << "no error";
    } catch (const BitmapError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot make a bitmap of " + size +
                                               " pixels: each side must lie between 0 and 16384");
    }
    Bitmap24 kept = Picture(1, {kRed});
    EXPECT_THROW(kept.SetSize(width, height), BitmapError);
    EXPECT_EQ(kept, Picture(1, {kRed}));
  }
}

TEST(Bitmap24Test, CopiesOwnTheirPixelsAndMovesEmptyTheSource) {
  Bitmap24 original = Picture(2, {kRed, kGreen});
  Bitmap24 copy(original);
  Bitmap24 assigned(5, 5);
  assigned = original;
  original.SetPixel(0, 0, 1, 2, 3);
  EXPECT_EQ(copy, Picture(2, {kRed, kGreen}));
  EXPECT_EQ(assigned, Picture(2, {kRed, kGreen}));

  Bitmap24 moved(std::move(copy));
  EXPECT_EQ(moved, Picture(2, {kRed, kGreen}));
  EXPECT_TRUE(copy.Empty());  // a moved-from bitmap is empty, and usable
  EXPECT_EQ(copy.Width(), 0);
  assigned = std::move(moved);
  EXPECT_EQ(assigned, Picture(2, {kRed, kGreen}));
  EXPECT_EQ(moved.SizeBytes(), 0u);
}

TEST(Bitmap24Test, CopyingUnderTheSourcesCanvasLockDoesNotTakeIt) {
  Bitmap24 frame = Picture(2, {kRed, kBlue});
  const std::lock_guard lock(frame.Canvas());
  Bitmap24 copy = frame;
  EXPECT_EQ(copy, frame);
  EXPECT_NE(&copy.Canvas(), &frame.Canvas());
  EXPECT_TRUE(copy.Canvas().try_lock());
  copy.Canvas().unlock();
}

TEST(Bitmap24Test, EqualityComparesPixelsButNotRowPadding) {
  Bitmap24 a = Picture(1, {kRed});
  Bitmap24 b = a;
  b.Row(0)[3] = 0xEE;  // the padding byte after the only pixel
  EXPECT_EQ(a, b);
  b.SetPixel(0, 0, 254, 0, 0);
  EXPECT_NE(a, b);
  EXPECT_NE(Bitmap24(1, 2), Bitmap24(2, 1));
}

}  // namespace
}  // namespace korvex::engine
