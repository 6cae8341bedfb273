#include "engine/media_file_io.h"

#include <gtest/gtest.h>

#include "engine/engine_texts.h"
#include "engine/file_names.h"
#include "support/temp_environment.h"

namespace korvex::engine {
namespace {

TEST(FileNames, OnlyNonAsciiLocalNamesBecomeUnicodeUrls) {
  const std::pair<const char*, const char*> cases[] = {
      {"/media/clip one.avi", "/media/clip one.avi"},
      {"/media/Füße.avi", "unicode:utf8:/media/Füße.avi"},
      {"http://host/Füße.avi", "http://host/Füße.avi"},
      {"UDP://host:1234", "UDP://host:1234"},
      {"unicode:utf8:/a/ü.avi", "unicode:utf8:/a/ü.avi"},
      {"ftp:Füße.avi", "unicode:utf8:ftp:Füße.avi"},
      {"", ""},
  };
  for (const auto& [name, expected] : cases) {
    EXPECT_EQ(FileNameToLibrary(name), expected) << name;
    EXPECT_EQ(FileNameFromLibrary(FileNameToLibrary(name)),
              std::string(name).rfind("unicode:utf8:", 0) == 0 ? std::string(name).substr(13)
                                                               : std::string(name));
  }
  EXPECT_EQ(FileNameFromLibrary("unicode:utf8:"), "unicode:utf8:");
  EXPECT_TRUE(HasLibraryProtocol("pipe:0"));
  EXPECT_FALSE(HasLibraryProtocol("clip:1.avi"));
  EXPECT_FALSE(HasLibraryProtocol(":x"));
}

class MediaFileIoTest : public korvex::testing::TempEnvironment {};

// Names the library's own file protocol would misread (a ':' looks like a protocol) or that a
// shell would split all open through our file access.
TEST_F(MediaFileIoTest, AnyLocalNameOpensForReadingAndWriting) {
  for (const char* name :
       {"a b.avi", "it's \"quoted\".avi", "Füße ñ.avi", "-leading.avi", "clip:1.avi"}) {
    const std::string path = Root() + "/" + name;
    FileIoPtr writer;
    ASSERT_EQ(OpenFileIo(FileNameToLibrary(path), FileAccess::kWrite, writer), 0) << name;
    avio_write(writer.get(), reinterpret_cast<const unsigned char*>("0123456789"), 10);
    writer.reset();
    EXPECT_EQ(ReadFile(path), "0123456789") << name;

    FileIoPtr reader;
    ASSERT_EQ(OpenFileIo(FileNameToLibrary(path), FileAccess::kRead, reader), 0) << name;
    EXPECT_EQ(avio_size(reader.get()), 10);
    EXPECT_EQ(avio_seek(reader.get(), 4, SEEK_SET), 4);
    unsigned char bytes[16] = {};
    EXPECT_EQ(avio_read(reader.get(), bytes, sizeof bytes), 6);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), 6), "456789");
    EXPECT_EQ(avio_read(reader.get(), bytes, sizeof bytes), AVERROR_EOF);
  }
}

TEST_F(MediaFileIoTest, MissingFilesAndFoldersAreRefused) {
  FileIoPtr io;
  const int missing = OpenFileIo(Root() + "/missing.avi", FileAccess::kRead, io);
  EXPECT_EQ(missing, -2);
  EXPECT_EQ(ErrorText("missing.avi", missing), "missing.avi: No such file or directory");
  EXPECT_EQ(OpenFileIo(Root(), FileAccess::kRead, io), AVERROR(EISDIR));
  EXPECT_FALSE(io);

  InputContextPtr input;
  EXPECT_EQ(OpenInputContext(Root() + "/Füße.avi", nullptr, nullptr, input), -2);
  EXPECT_FALSE(input);
}

TEST_F(MediaFileIoTest, WritingTruncatesAndSeeksBack) {
  const std::string path = Root() + "/out.bin";
  WriteFile(path, "old contents that are longer");
  FileIoPtr io;
  ASSERT_EQ(OpenFileIo(path, FileAccess::kWrite, io), 0);
  avio_write(io.get(), reinterpret_cast<const unsigned char*>("new file"), 8);
  EXPECT_EQ(avio_seek(io.get(), 0, SEEK_SET), 0);
  avio_write(io.get(), reinterpret_cast<const unsigned char*>("N"), 1);
  io.reset();
  EXPECT_EQ(ReadFile(path), "New file");
}

}  // namespace
}  // namespace korvex::engine
