// Writing BMP files: the exact bytes, round trips through the reader, and atomic files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "bitmap_test_util.h"
#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/bmp_file.h"
#include "support/temp_environment.h"

namespace korvex::engine {
namespace {

using testing::FolderNames;
using testing::kBlue;
using testing::kGreen;
using testing::kRed;
using testing::kWhite;
using testing::NoisePicture;
using testing::Picture;
using testing::ReadBytes;
using testing::WriteBytes;

TEST(BmpWriterTest, WritesTheInfoHeaderAndBottomUpRowsWithZeroPadding) {
  Bitmap24 bitmap = Picture(2, {kRed, kGreen, kBlue, kWhite});
  bitmap.Row(0)[6] = 0xEE;  // padding of the top row
  const std::vector<uint8_t> expected = {
      'B', 'M', 70,  0,   0,   0,   0, 0, 0, 0, 54, 0, 0, 0,  // file header: size, offset 54
      40,  0,   0,   0,                                       // info header
      2,   0,   0,   0,   2,   0,   0, 0,                     // 2 x 2, bottom-up
      1,   0,   24,  0,                                       // 1 plane, 24 bits per pixel
      0,   0,   0,   0,   16,  0,   0, 0,                     // uncompressed, 16 bytes of rows
      0,   0,   0,   0,   0,   0,   0, 0, 0, 0, 0,  0, 0, 0, 0, 0,  // resolution, palette: none
      255, 0,   0,   255, 255, 255, 0, 0,                           // bottom row: blue, white
      0,   0,   255, 0,   255, 0,   0, 0,                           // top row: red, green
  };
  EXPECT_EQ(EncodeBmp(bitmap), expected);
}

TEST(BmpWriterTest, WrittenPicturesReadBackUnchanged) {
  for (const auto& [width, height] : {std::pair{1, 1}, {2, 3}, {3, 2}, {4, 4}, {5, 1}, {7, 5}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const Bitmap24 picture = NoisePicture(width, height, static_cast<uint32_t>(width * height));
    EXPECT_EQ(DecodeBmp(EncodeBmp(picture)), picture);
  }
}

TEST(BmpWriterTest, EmptyBitmapsAreRefused) {
  EXPECT_THROW(EncodeBmp(Bitmap24()), BitmapError);
  try {
    EncodeBmp(Bitmap24(0, 4));
    ADD_FAILURE() << "no error";
  } catch (const BitmapError& error) {
    EXPECT_STREQ(error.what(),
                 "Cannot encode the BMP picture: the bitmap of 0 x 4 pixels is empty");
  }
}

class BmpFileTest : public korvex::testing::TempEnvironment {};

TEST_F(BmpFileTest, WriteReplacesTheFileAndLeavesNothingElse) {
  const std::string path = Root() + "/Snapshot_full.bmp";
  WriteBytes(path, std::vector<uint8_t>(5000, 'x'));
  const Bitmap24 picture = NoisePicture(9, 4, 1);
  WriteBmpFile(picture, path);
  EXPECT_EQ(ReadBmpFile(path), picture);
  EXPECT_EQ(ReadBytes(path), EncodeBmp(picture));
  EXPECT_EQ(FolderNames(Root()),
            (std::vector<std::string>{"Snapshot_full.bmp", "appdata", "home"}));
}

TEST_F(BmpFileTest, FailedWritesNameThePathAndLeaveNoPartialFile) {
  const Bitmap24 picture = NoisePicture(3, 3, 2);
  struct Case {
    std::string path;
    std::string reason;
  };
  std::filesystem::create_directory(Root() + "/taken.bmp");
  const std::vector<Case> cases = {
      {Root() + "/no such folder/Snapshot_full.bmp", "No such file or directory"},
      {Root() + "/taken.bmp", "Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      WriteBmpFile(picture, c.path);
      ADD_FAILURE() << "no error";
    } catch (const BitmapError& error) {
      EXPECT_EQ(std::string(error.what()), "Cannot write the picture " + c.path + ": " + c.reason);
    }
    EXPECT_EQ(FolderNames(Root()), (std::vector<std::string>{"appdata", "home", "taken.bmp"}));
    EXPECT_TRUE(FolderNames(Root() + "/taken.bmp").empty());
  }
}

}  // namespace
}  // namespace korvex::engine
