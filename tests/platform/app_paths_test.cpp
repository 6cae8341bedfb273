#include "platform/app_paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_environment.h"

namespace korvex::platform {
namespace {

class AppPathsTest : public testing::TempEnvironment {};

TEST_F(AppPathsTest, AppDataOverrideIsCreatedAndGetsTheDeliveredFormatIni) {
  const std::string delivered = DeliveredFormatIniPath();
  ASSERT_FALSE(delivered.empty()) << "no share/korvex/ beside " << ExecutableFolder();
  EXPECT_TRUE(delivered.ends_with("/share/korvex/korvexavimovformat.ini")) << delivered;
  const std::string delivered_text = ReadFile(delivered);
  ASSERT_FALSE(delivered_text.empty());

  for (const char* tail : {"/new/deeper", "/with-slash/"}) {
    const std::string folder = Root() + tail;
    SCOPED_TRACE(folder);
    ::setenv("KORVEX_APPDATA", folder.c_str(), 1);
    const std::string expected = folder.ends_with("/") ? folder : folder + "/";
    EXPECT_EQ(AppDataFolder(), expected);
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_EQ(ReadFile(expected + kFormatIniName), delivered_text);
  }
}

TEST_F(AppPathsTest, ExistingFormatIniIsNotOverwritten) {
  const std::string copy = AppData() + "/" + kFormatIniName;
  WriteFile(copy, "[Mine]\nedited=1\n");
  EXPECT_EQ(AppDataFolder(), AppData() + "/");
  EXPECT_EQ(ReadFile(copy), "[Mine]\nedited=1\n");
}

TEST_F(AppPathsTest, OutputFoldersLieInHome) {
  EXPECT_EQ(HomeFolder(), Home());
  EXPECT_EQ(DefaultOutputFolder(), Home() + "/Videos/videoconverter");
  EXPECT_EQ(FallbackOutputFolder(), Home() + "/videoconverter");

  ::unsetenv("HOME");
  const passwd* entry = ::getpwuid(::geteuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(HomeFolder(), entry->pw_dir);
}

TEST_F(AppPathsTest, CreateFolderTreeCreatesEveryMissingLevel) {
  const std::string deep = Root() + "/a/b c/d";
  EXPECT_TRUE(CreateFolderTree(deep));
  EXPECT_TRUE(FolderExists(Root() + "/a"));
  EXPECT_TRUE(FolderExists(deep));
  EXPECT_TRUE(CreateFolderTree(deep));
  EXPECT_TRUE(CreateFolderTree(Root() + "/e/f/"));
  EXPECT_TRUE(FolderExists(Root() + "/e/f"));

  WriteFile(Root() + "/file", "x");
  EXPECT_FALSE(FolderExists(Root() + "/file"));
  EXPECT_FALSE(CreateFolderTree(Root() + "/file/below"));
  EXPECT_FALSE(CreateFolderTree(""));
  EXPECT_FALSE(FolderExists(""));
}

}  // namespace
}  // namespace korvex::platform
