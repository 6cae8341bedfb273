// Reading BMP files: every depth, header and row order the reader takes, built byte by byte
// from known pixels, and the files it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bitmap_test_util.h"
#include "bmp_builder.h"
#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/bmp_file.h"
#include "support/temp_environment.h"

namespace korvex::engine {
namespace {

using testing::BmpLayout;
using testing::BuildBmp;
using testing::kBlack;
using testing::kBlue;
using testing::kGreen;
using testing::kRed;
using testing::kWhite;
using testing::kYellow;
using testing::Picture;
using testing::Put16;
using testing::Put32;
using testing::WriteBytes;

constexpr uint32_t kBitFields = 3;

// The picture of most cases: 3 x 2 pixels, so that 24-bit rows need padding.
const std::vector<Rgb> kSixColours = {kRed, kGreen, kBlue, kWhite, kBlack, kYellow};

struct ReadCase {
  std::string name;
  BmpLayout layout;
  std::vector<std::vector<uint32_t>> rows;  // raw pixel values, top row first
  Bitmap24 expected;
  size_t cut_tail = 0;  // bytes removed from the end of the built file
};

std::vector<Rgb> Grey256() {
  std::vector<Rgb> palette;
  for (int i = 0; i < 256; ++i) {
    palette.push_back(Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7});
  }
  return palette;
}

std::vector<ReadCase> ReadCases() {
  const Bitmap24 six = Picture(3, kSixColours);
  const std::vector<std::vector<uint32_t>> six_indices = {{0, 1, 2}, {3, 4, 5}};
  const Rgb dark{10, 20, 30};
  const Rgb light{200, 100, 50};
  const Bitmap24 ten_wide =
      Picture(10, {light, dark,  dark, light, light, dark, light, dark,  light, light,
                   dark,  light, dark, dark,  light, dark, light, light, dark,  dark});
  const std::vector<std::vector<uint32_t>> ten_wide_indices = {{1, 0, 0, 1, 1, 0, 1, 0, 1, 1},
                                                               {0, 1, 0, 0, 1, 0, 1, 1, 0, 0}};
  const Rgb index_128{128, 127, 7};
  const Rgb index_1{1, 254, 7};
  return {
      {"24 bits, bottom-up",
       {.bits = 24},
       {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0xFFFF00}},
       six},
      {"24 bits, top-down",
       {.bits = 24, .top_down = true},
       {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0xFFFF00}},
       six},
      {"24 bits, the last row's padding missing",
       {.bits = 24},
       {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0xFFFF00}},
       six,
       3},
      {"32 bits, unused top byte",
       {.bits = 32},
       {{0xABFF0000, 0xAB00FF00, 0xAB0000FF}, {0x00FFFFFF, 0xFF000000, 0x12FFFF00}},
       six},
      {"16 bits, default 5-5-5 with the top bit unused",
       {.bits = 16},
       {{0x7C00, 0x03E0, 0x001F}, {0x7FFF, 0x8000, 0x7FE0}},
       six},
      {"16 bits, 5-6-5 bit fields",
       {.bits = 16, .compression = kBitFields, .masks = {0xF800, 0x07E0, 0x001F}},
       {{0xF800, 0x07E0, 0x001F}, {0xFFFF, 0x0000, 0xFFE0}},
       six},
      {"16 bits, 4-4-4 bit fields in the high bits, top-down",
       {.bits = 16, .top_down = true, .compression = kBitFields, .masks = {0xF000, 0x0F00, 0x00F0}},
       {{0xF00A, 0x0F00, 0x00F0}, {0xFFF5, 0x0005, 0xFF00}},
       six},
      {"32 bits, red-green-blue byte order bit fields",
       {.bits = 32, .compression = kBitFields, .masks = {0x0000FF, 0x00FF00, 0xFF0000}},
       {{0x0000FF, 0x00FF00, 0xFF0000}, {0xFFFFFF, 0x000000, 0x00FFFF}},
       six},
      {"32 bits, 10-10-10 bit fields",
       {.bits = 32, .compression = kBitFields, .masks = {0x3FF00000, 0x000FFC00, 0x000003FF}},
       {{0x3FF00000, 0x000FFC00, 0x000003FF}, {0x3FFFFFFF, 0xC0000000, 0x3FFFFC00}},
       six},
      {"32 bits, V4 header bit fields, top-down",
       {.header_bytes = 108,
        .bits = 32,
        .top_down = true,
        .compression = kBitFields,
        .masks = {0x0000FF00, 0x00FF0000, 0xFF000000}},
       {{0x0000FF00, 0x00FF0000, 0xFF000000}, {0xFFFFFF00, 0x0000007F, 0x00FFFF00}},
       six},
      {"32 bits, V5 header masks ignored without bit fields",
       {.header_bytes = 124, .bits = 32, .masks = {0x0000FF, 0x00FF00, 0xFF0000}},
       {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0xFFFF00}},
       six},
      {"16 bits, V3 header bit fields",
       {.header_bytes = 56, .bits = 16, .compression = kBitFields, .masks = {0xF800, 0x07E0, 0x1F}},
       {{0xF800, 0x07E0, 0x001F}, {0xFFFF, 0x0000, 0xFFE0}},
       six},
      {"8 bits, short palette",
       {.bits = 8, .palette = kSixColours, .colours_used = 6},
       six_indices,
       six},
      {"8 bits, full palette, top-down",
       {.bits = 8, .top_down = true, .palette = Grey256()},
       {{0, 128, 255}, {1, 254, 128}},
       Picture(3, {{0, 255, 7}, index_128, {255, 0, 7}, index_1, {254, 1, 7}, index_128})},
      {"4 bits, short palette, odd width",
       {.bits = 4, .palette = kSixColours, .colours_used = 6},
       six_indices,
       six},
      {"1 bit, rows across a byte boundary",
       {.bits = 1, .palette = {dark, light}},
       ten_wide_indices,
       ten_wide},
      {"1 bit, top-down",
       {.bits = 1, .top_down = true, .palette = {dark, light}},
       ten_wide_indices,
       ten_wide},
      {"OS/2 header, 24 bits",
       {.header_bytes = 12, .bits = 24},
       {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0x000000, 0xFFFF00}},
       six},
      {"OS/2 header, 8 bits, palette as long as the space before the pixels",
       {.header_bytes = 12, .bits = 8, .palette = kSixColours},
       six_indices,
       six},
  };
}

TEST(BmpReaderTest, ReadsEveryDepthHeaderAndRowOrder) {
  for (const ReadCase& c : ReadCases()) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = BuildBmp(c.layout, c.rows);
    bytes.resize(bytes.size() - c.cut_tail);
    EXPECT_EQ(DecodeBmp(bytes), c.expected);
  }
}

TEST(BmpReaderTest, NarrowAndWideChannelsScaleToTheNearestEightBitValue) {
  struct Case {
    std::string name;
    int bits;
    std::array<uint32_t, 3> masks;
    uint32_t pixel;
    Rgb expected;
  };
  const std::vector<Case> cases = {
      // 16/31 = 131.6, 32/63 = 129.5, 1/31 = 8.2 of 255
      {"5-6-5", 16, {0xF800, 0x07E0, 0x001F}, 16u << 11 | 32u << 5 | 1u, {132, 130, 8}},
      {"1-1-1", 16, {0x4, 0x2, 0x1}, 0b101, {255, 0, 255}},
      // 512/1023 = 127.6, 3/1023 = 0.75, 1022/1023 = 254.75 of 255
      {"10-10-10",
       32,
       {0x3FF00000, 0x000FFC00, 0x000003FF},
       512u << 20 | 3u << 10 | 1022u,
       {128, 1, 255}},
      {"no blue mask", 32, {0xFF0000, 0x00FF00, 0}, 0x123456, {0x12, 0x34, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const BmpLayout layout{.bits = c.bits, .compression = kBitFields, .masks = c.masks};
    EXPECT_EQ(DecodeBmp(BuildBmp(layout, {{c.pixel}})), Picture(1, {c.expected}));
  }
}

class BmpRefusalTest : public korvex::testing::TempEnvironment {
 protected:
  std::string Message(const std::vector<uint8_t>& bytes) {
    const std::string path = Root() + "/picture.bmp";
    WriteBytes(path, bytes);
    try {
      ReadBmpFile(path);
    } catch (const BitmapError& error) {
      return error.what();
    }
    return "no error";
  }
};

std::vector<uint8_t> Valid24() {
  return BuildBmp({.bits = 24}, {{0xFF0000, 0x00FF00, 0x0000FF}, {0xFFFFFF, 0, 0xFFFF00}});
}

std::vector<uint8_t> Valid8(std::vector<Rgb> palette, uint32_t colours_used) {
  return BuildBmp({.bits = 8, .palette = std::move(palette), .colours_used = colours_used},
                  {{0, 1, 2}, {3, 4, 5}});
}

template <typename Change>
std::vector<uint8_t> Changed(std::vector<uint8_t> bytes, Change change) {
  change(bytes);
  return bytes;
}

TEST_F(BmpRefusalTest, TruncatedOversizedAndMalformedFilesAreRefusedWithTheReason) {
  struct Case {
    std::string name;
    std::vector<uint8_t> bytes;
    std::string reason;
  };
  const std::vector<uint8_t> valid = Valid24();
  const std::vector<uint8_t> bit_fields =
      BuildBmp({.bits = 16, .compression = kBitFields, .masks = {0xF800, 0x07E0, 0x001F}}, {{0}});
  const std::string in_headers = "it is truncated: it ends inside its headers";
  const std::vector<Case> cases = {
      {"empty file", {}, in_headers},
      {"file header only", {valid.begin(), valid.begin() + 14}, in_headers},
      {"info header cut", {valid.begin(), valid.begin() + 40}, in_headers},
      {"bit-field masks cut", {bit_fields.begin(), bit_fields.begin() + 60}, in_headers},
      {"not a BMP", Changed(valid, [](auto& b) { b[1] = 'X'; }),
       "it is not a BMP picture (it does not start with \"BM\")"},
      {"unknown header size", Changed(valid, [](auto& b) { Put32(b, 14, 20); }),
       "its header of 20 bytes is not a BMP header this program reads"},
      {"zero planes", Changed(valid, [](auto& b) { Put16(b, 26, 0); }),
       "its header gives 0 colour planes instead of 1"},
      {"zero width", Changed(valid, [](auto& b) { Put32(b, 18, 0); }),
       "its size of 0 x 2 pixels is not a picture size"},
      {"negative width", Changed(valid, [](auto& b) { Put32(b, 18, static_cast<uint32_t>(-3)); }),
       "its size of -3 x 2 pixels is not a picture size"},
      {"zero height", Changed(valid, [](auto& b) { Put32(b, 22, 0); }),
       "its size of 3 x 0 pixels is not a picture size"},
      {"too wide", Changed(valid, [](auto& b) { Put32(b, 18, 16385); }),
       "its size of 16385 x 2 pixels is above the limit of 16384 pixels a side"},
      {"too high, top-down",
       Changed(valid, [](auto& b) { Put32(b, 22, static_cast<uint32_t>(-16385)); }),
       "its size of 3 x -16385 pixels is above the limit of 16384 pixels a side"},
      {"lowest height", Changed(valid, [](auto& b) { Put32(b, 22, 0x80000000); }),
       "its size of 3 x -2147483648 pixels is above the limit of 16384 pixels a side"},
      {"unsupported depth", Changed(valid, [](auto& b) { Put16(b, 28, 7); }),
       "its depth of 7 bits per pixel is not supported"},
      {"16 bits in an OS/2 file",
       Changed(BuildBmp({.header_bytes = 12, .bits = 24}, {{0}}),
               [](auto& b) { Put16(b, 24, 16); }),
       "its depth of 16 bits per pixel is not supported"},
      {"RLE8", Changed(Valid8(kSixColours, 6), [](auto& b) { Put32(b, 30, 1); }),
       "its RLE8 compression is not supported; save the picture uncompressed"},
      {"RLE4", Changed(Valid8(kSixColours, 6), [](auto& b) { Put32(b, 30, 2); }),
       "its RLE4 compression is not supported; save the picture uncompressed"},
      {"JPEG inside", Changed(valid, [](auto& b) { Put32(b, 30, 4); }),
       "it holds a JPEG picture, which BMP readers do not take"},
      {"unknown compression", Changed(valid, [](auto& b) { Put32(b, 30, 99); }),
       "its compression type 99 is not supported"},
      {"bit fields at 24 bits", Changed(valid, [](auto& b) { Put32(b, 30, kBitFields); }),
       "its bit-field compression needs 16 or 32 bits per pixel, not 24"},
      {"mask with a gap",
       BuildBmp({.bits = 16, .compression = kBitFields, .masks = {0xF00F, 0x07E0, 0x001F}}, {{0}}),
       "its red mask 0x0000F00F is not one run of bits"},
      {"mask beyond 16 bits",
       BuildBmp({.bits = 16, .compression = kBitFields, .masks = {0xF800, 0x07E0, 0x1F0000}},
                {{0}}),
       "its blue mask 0x001F0000 does not fit in 16 bits per pixel"},
      {"pixel offset inside the headers", Changed(valid, [](auto& b) { Put32(b, 10, 53); }),
       "its pixel data offset 53 lies inside its headers"},
      {"pixel offset beyond the end", Changed(valid, [](auto& b) { Put32(b, 10, 1000); }),
       "its pixel data offset 1000 lies beyond its end (78 bytes)"},
      {"a row missing",
       {valid.begin(), valid.end() - 12},
       "it is truncated: its 2 rows of 3 pixels need 21 bytes from offset 54, it has 12"},
      {"palette longer than the depth allows",
       Changed(Valid8(kSixColours, 6), [](auto& b) { Put32(b, 46, 257); }),
       "its palette of 257 colours is larger than the 256 of 8 bits per pixel"},
      {"palette running into the pixels",
       Changed(Valid8(kSixColours, 6), [](auto& b) { Put32(b, 46, 7); }),
       "its palette of 7 colours runs past the start of its pixel data at offset 78"},
      {"index beyond a short palette", Valid8({kRed, kGreen, kBlue, kWhite}, 4),
       "pixel (1, 1) uses colour 4 of a palette of 4 colours"},
      {"OS/2 file without room for a palette", BuildBmp({.header_bytes = 12, .bits = 8}, {{0}}),
       "it has no palette for its 8 bits per pixel"},
  };
  const std::string prefix = "Cannot read the picture " + Root() + "/picture.bmp: ";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Message(c.bytes), prefix + c.reason);
  }
}

TEST_F(BmpRefusalTest, MemoryAndMissingFilesSayWhereThePictureCameFrom) {
  try {
    DecodeBmp(std::vector<uint8_t>{'B', 'X'});
    ADD_FAILURE() << "no error";
  } catch (const BitmapError& error) {
    EXPECT_STREQ(error.what(),
                 "Cannot decode the BMP picture: it is not a BMP picture (it does not start with "
                 "\"BM\")");
  }
  const std::string missing = Root() + "/missing.bmp";
  try {
    ReadBmpFile(missing);
    ADD_FAILURE() << "no error";
  } catch (const BitmapError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot read the picture " + missing + ": No such file or directory");
  }
  try {
    ReadBmpFile(Root());
    ADD_FAILURE() << "no error";
  } catch (const BitmapError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot read the picture " + Root() + ": Is a directory");
  }
}

}  // namespace
}  // namespace korvex::engine
