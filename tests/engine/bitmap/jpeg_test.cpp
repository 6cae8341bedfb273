// JPEG files: round trips within the losses of the quality, greyscale and progressive files
// written by libjpeg itself, and the files the reader refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

// After <cstdio>: jpeglib.h uses FILE and size_t without declaring them.
#include <jpeglib.h>

#include "bitmap_test_util.h"
#include "bmp_builder.h"
#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/jpeg_file.h"
#include "support/temp_environment.h"

namespace korvex::engine {
namespace {

using testing::NoisePicture;
using testing::ReadBytes;
using testing::WriteBytes;

// Smooth colours with a little texture, as in a video frame.
Bitmap24 Frame(int width, int height) {
  Bitmap24 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      bitmap.SetPixel(x, y, static_cast<uint8_t>(255 * x / (width - 1)),
                      static_cast<uint8_t>(255 * y / (height - 1)),
                      static_cast<uint8_t>(128 + 60 * std::sin(x * 0.3) * std::cos(y * 0.2)));
    }
  }
  return bitmap;
}

struct Difference {
  double mean = 0;
  int max = 0;
};

Difference Compare(const Bitmap24& a, const Bitmap24& b) {
  Difference d;
  long total = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int i = 0; i < a.Width() * 3; ++i) {
      const int diff = std::abs(a.Row(y)[i] - b.Row(y)[i]);
      total += diff;
      d.max = std::max(d.max, diff);
    }
  }
  d.mean = static_cast<double>(total) / (a.Width() * a.Height() * 3);
  return d;
}

// A JPEG written by libjpeg directly, for the colour spaces and modes our writer does not
// make. `samples` holds `components` bytes per pixel, rows top first.
std::vector<uint8_t> LibjpegFile(int width, int height, int components, J_COLOR_SPACE space,
                                 const std::vector<uint8_t>& samples, bool progressive) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  for (int y = 0; y < height; ++y) {
    JSAMPROW row = const_cast<uint8_t*>(samples.data() + y * width * components);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

std::vector<uint8_t> GreyRamp(int width, int height) {
  std::vector<uint8_t> samples;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) samples.push_back(static_cast<uint8_t>(x * 255 / (width - 1)));
  }
  return samples;
}

TEST(JpegTest, QualityNinetyRoundTripStaysCloseToThePicture) {
  const Bitmap24 picture = Frame(64, 48);
  const Bitmap24 decoded = DecodeJpeg(EncodeJpeg(picture, 90));
  ASSERT_EQ(decoded.Width(), 64);
  ASSERT_EQ(decoded.Height(), 48);
  const Difference d = Compare(picture, decoded);
  EXPECT_LT(d.mean, 2.0);
  EXPECT_LE(d.max, 20);
}

TEST(JpegTest, ChannelsKeepTheirOrder) {
  for (const Rgb colour : {Rgb{230, 20, 20}, Rgb{20, 230, 20}, Rgb{20, 20, 230}}) {
    Bitmap24 picture(16, 16);
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) picture.SetPixel(x, y, colour.r, colour.g, colour.b);
    }
    const Rgb decoded = DecodeJpeg(EncodeJpeg(picture, 90)).Pixel(8, 8);
    EXPECT_NEAR(decoded.r, colour.r, 4);
    EXPECT_NEAR(decoded.g, colour.g, 4);
    EXPECT_NEAR(decoded.b, colour.b, 4);
  }
}

TEST(JpegTest, FilesShrinkWithTheQualityAndQualityIsClamped) {
  const Bitmap24 picture = Frame(96, 64);
  size_t previous = SIZE_MAX;
  for (int quality : {100, 90, 60, 30, 10, 1}) {
    SCOPED_TRACE("quality " + std::to_string(quality));
    const size_t size = EncodeJpeg(picture, quality).size();
    EXPECT_LT(size, previous);
    previous = size;
  }
  EXPECT_EQ(EncodeJpeg(picture, 0), EncodeJpeg(picture, 1));
  EXPECT_EQ(EncodeJpeg(picture, -40), EncodeJpeg(picture, 1));
  EXPECT_EQ(EncodeJpeg(picture, 101), EncodeJpeg(picture, 100));
}

TEST(JpegTest, GreyscaleAndProgressiveFilesDecodeToBlueGreenRed) {
  const std::vector<uint8_t> ramp = GreyRamp(40, 8);
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const Bitmap24 decoded = DecodeJpeg(LibjpegFile(40, 8, 1, JCS_GRAYSCALE, ramp, progressive));
    ASSERT_EQ(decoded.Width(), 40);
    ASSERT_EQ(decoded.Height(), 8);
    for (int x = 0; x < 40; ++x) {
      const Rgb p = decoded.Pixel(x, 5);
      EXPECT_EQ(p.r, p.g);
      EXPECT_EQ(p.g, p.b);
      EXPECT_NEAR(p.r, ramp[x], 6);
    }
  }
}

TEST(JpegTest, EmptyBitmapsAreRefused) {
  try {
    EncodeJpeg(Bitmap24(3, 0), 50);
    ADD_FAILURE() << "no error";
  } catch (const BitmapError& error) {
    EXPECT_STREQ(error.what(),
                 "Cannot encode the JPEG picture: the bitmap of 3 x 0 pixels is empty");
  }
}

class JpegFileTest : public korvex::testing::TempEnvironment {
 protected:
  std::string Message(const std::vector<uint8_t>& bytes) {
    const std::string path = Root() + "/picture.jpg";
    WriteBytes(path, bytes);
    try {
      ReadJpegFile(path);
    } catch (const BitmapError& error) {
      return error.what();
    }
    return "no error";
  }
};

TEST_F(JpegFileTest, WrittenFilesReadBack) {
  const std::string path = Root() + "/Snapshot_small.jpg";
  const Bitmap24 picture = Frame(37, 21);
  WriteJpegFile(picture, path, 30);
  EXPECT_EQ(ReadBytes(path), EncodeJpeg(picture, 30));
  const Bitmap24 decoded = ReadJpegFile(path);
  EXPECT_EQ(decoded.Width(), 37);
  EXPECT_EQ(decoded.Height(), 21);
  EXPECT_LT(Compare(picture, decoded).mean, 6.0);

  const std::string folder = Root() + "/gone";
  try {
    WriteJpegFile(picture, folder + "/x.jpg", 30);
    ADD_FAILURE() << "no error";
  } catch (const BitmapError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot write the picture " + folder + "/x.jpg: No such file or directory");
  }
}

// The frame header (SOF0) of a baseline JPEG: its height and width follow its marker.
size_t FrameHeaderAt(const std::vector<uint8_t>& jpeg) {
  for (size_t i = 0; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) return i;
  }
  return 0;
}

TEST_F(JpegFileTest, DamagedOversizedAndForeignFilesAreRefusedWithTheReason) {
  const std::vector<uint8_t> jpeg = EncodeJpeg(NoisePicture(32, 32, 3), 80);
  std::vector<uint8_t> wide = jpeg;
  const size_t sof = FrameHeaderAt(wide);
  ASSERT_GT(sof, 0u);
  wide[sof + 7] = 16385 >> 8;  // width: after length, precision and height
  wide[sof + 8] = 16385 & 0xFF;
  const std::vector<uint8_t> progressive =
      LibjpegFile(40, 8, 1, JCS_GRAYSCALE, GreyRamp(40, 8), true);
  const std::vector<uint8_t> cmyk(16 * 16 * 4, 90);

  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"empty file", {}, "Empty input file"},
      {"a BMP", testing::BuildBmp({}, {{0}}), "Not a JPEG file: starts with 0x42 0x4d"},
      {"cut in the middle", {jpeg.begin(), jpeg.begin() + jpeg.size() / 2}, "it is truncated"},
      {"progressive, cut in the middle",
       {progressive.begin(), progressive.begin() + progressive.size() / 2},
       "it is truncated"},
      {"wider than the limit", wide,
       "its size of 16385 x 32 pixels is above the limit of 16384 pixels a side"},
      {"CMYK", LibjpegFile(16, 16, 4, JCS_CMYK, cmyk, false), "its CMYK colours are not supported"},
  };
  const std::string prefix = "Cannot read the picture " + Root() + "/picture.jpg: ";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Message(c.bytes), prefix + c.reason);
  }
  EXPECT_EQ(Message(jpeg), "no error");
}

TEST(JpegTest, MemoryPicturesSaySoInTheirErrors) {
  try {
    DecodeJpeg(std::vector<uint8_t>{0xFF, 0xD8, 0xFF});
    ADD_FAILURE() << "no error";
  } catch (const BitmapError& error) {
    EXPECT_STREQ(error.what(), "Cannot decode the JPEG picture: it is truncated");
  }
}

}  // namespace
}  // namespace korvex::engine
