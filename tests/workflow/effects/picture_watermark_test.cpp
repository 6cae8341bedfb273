#include "workflow/effects/picture_watermark.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bitmap_test_util.h"
#include "bmp_builder.h"
#include "engine/bitmap/bitmap24.h"
#include "engine/bitmap/bmp_file.h"
#include "support/temp_environment.h"
#include "workflow/effects/bitmap_blend.h"
#include "workflow/watermark_entry.h"

namespace korvex::workflow {
namespace {

using engine::Bitmap24;
using engine::testing::BmpLayout;
using engine::testing::BuildBmp;
using engine::testing::kBlue;
using engine::testing::kGreen;
using engine::testing::kRed;
using engine::testing::kWhite;
using engine::testing::NoisePicture;
using engine::testing::Picture;
using engine::testing::WriteBytes;

class PictureWatermarkTest : public korvex::testing::TempEnvironment {
 protected:
  TWmRec PictureMark(const std::string& file) const {
    TWmRec mark;
    mark.WmKind = kPictureWatermark;
    mark.ImageFile = file;
    mark.ImageLeft = 13;
    mark.ImageTop = -1;
    // Not used for drawing: the picture keeps its own size.
    mark.ImageWidth = 40;
    mark.ImageHeight = 40;
    mark.ImageAlpha = 160;
    return mark;
  }

  const Bitmap24 frame_ = NoisePicture(16, 8, 21);
  WatermarkPictures pictures_;
};

TEST_F(PictureWatermarkTest, TrueColourBmpIsBlendedAtItsOwnSize) {
  const Bitmap24 picture = NoisePicture(5, 3, 22);
  const std::string file = Root() + "/logo.bmp";
  engine::WriteBmpFile(picture, file);

  Bitmap24 frame = frame_;
  DrawPictureWatermark(frame, PictureMark(file), pictures_);
  Bitmap24 expected = frame_;
  BlendBitmap(expected, picture, 13, -1, 160);
  EXPECT_EQ(frame, expected);
  EXPECT_NE(frame, frame_);
}

TEST_F(PictureWatermarkTest, PaletteAndThirtyTwoBitBmpsAreBlendedAsTheirColours) {
  BmpLayout palette_layout;
  palette_layout.bits = 8;
  palette_layout.palette = {kRed, kGreen, kBlue, kWhite};
  palette_layout.colours_used = 4;
  BmpLayout wide_layout;
  wide_layout.bits = 32;
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"palette.bmp", BuildBmp(palette_layout, {{0, 1, 2}, {3, 0, 1}})},
      // 0xAARRGGBB; the alpha byte is dropped.
      {"argb.bmp", BuildBmp(wide_layout, {{0x80FF0000, 0xFF00FF00, 0x000000FF},
                                          {0x00FFFFFF, 0x12FF0000, 0x0000FF00}})},
  };
  const Bitmap24 colours = Picture(3, {kRed, kGreen, kBlue, kWhite, kRed, kGreen});
  for (const Case& c : cases) {
    const std::string file = Root() + "/" + c.name;
    WriteBytes(file, c.bytes);
    Bitmap24 frame = frame_;
    DrawPictureWatermark(frame, PictureMark(file), pictures_);
    Bitmap24 expected = frame_;
    BlendBitmap(expected, colours, 13, -1, 160);
    EXPECT_EQ(frame, expected) << c.name;
  }
}

TEST_F(PictureWatermarkTest, EachPictureIsReadOnceForTheConversion) {
  const Bitmap24 picture = NoisePicture(5, 3, 23);
  const std::string file = Root() + "/once.bmp";
  engine::WriteBmpFile(picture, file);
  Bitmap24 first = frame_;
  DrawPictureWatermark(first, PictureMark(file), pictures_);
  ASSERT_EQ(std::remove(file.c_str()), 0);

  Bitmap24 later = frame_;
  DrawPictureWatermark(later, PictureMark(file), pictures_);
  EXPECT_EQ(later, first);
  EXPECT_NE(later, frame_);
}

TEST_F(PictureWatermarkTest, UnreadablePictureDrawsNothing) {
  const std::string broken = Root() + "/broken.bmp";
  WriteBytes(broken, {'B', 'M', 1, 2, 3});
  for (const std::string& file : {Root() + "/missing.bmp", broken, Root()}) {
    Bitmap24 frame = frame_;
    EXPECT_NO_THROW(DrawPictureWatermark(frame, PictureMark(file), pictures_)) << file;
    EXPECT_EQ(frame, frame_) << file;
  }
}

}  // namespace
}  // namespace korvex::workflow
