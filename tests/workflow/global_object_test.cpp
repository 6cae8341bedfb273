#include "workflow/global_object.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "support/temp_environment.h"

namespace korvex::workflow {
namespace {

class GlobalObjectTest : public testing::TempEnvironment {
 protected:
  void TearDown() override {
    FreeGlobalObject();
    TempEnvironment::TearDown();
  }
};

TEST_F(GlobalObjectTest, CreationPutsBothIniFilesInTheAppDataFolder) {
  TGlobalObject& global = CreateGlobalObject();
  EXPECT_EQ(GlobalObject(), &global);
  EXPECT_EQ(global.AppIniPath(), AppData() + "/korvexavimovconverter.ini");
  EXPECT_EQ(global.FormatIniPath(), AppData() + "/korvexavimovformat.ini");
  EXPECT_EQ(global.ProductTitle(), "Korvex AVI to MOV Converter");
  EXPECT_EQ(global.VersionText(), " ver 1.60 ");
  EXPECT_FALSE(global.HelpUrl().empty());
  EXPECT_FALSE(global.WebsiteUrl().empty());
  FreeGlobalObject();
  EXPECT_EQ(GlobalObject(), nullptr);
}

TEST_F(GlobalObjectTest, SettersKeepTheOldValueForEmptyOrShortValues) {
  TGlobalObject global;
  global.SetProductTitle("Title");
  global.SetProductTitle("");
  EXPECT_EQ(global.ProductTitle(), "Title");
  global.SetVersionText("");
  global.SetHelpUrl("");
  global.SetWebsiteUrl("");
  EXPECT_EQ(global.VersionText(), "");

  global.SetAppIniPath("/a/b.ini");
  global.SetAppIniPath("/ab");  // 3 characters: ignored
  EXPECT_EQ(global.AppIniPath(), "/a/b.ini");
  global.SetFormatIniPath("/abc");  // 4 characters: taken
  EXPECT_EQ(global.FormatIniPath(), "/abc");
  global.SetFormatIniPath("äöü");  // 3 letters, 6 bytes: ignored
  EXPECT_EQ(global.FormatIniPath(), "/abc");
}

TEST_F(GlobalObjectTest, FileVersionTextJoinsTheLastThreeNumbers) {
  EXPECT_EQ(TGlobalObject::FileVersionText({4, 8, 0, 16}), " 4.8016 ");
  EXPECT_EQ(std::string(kProductTitle) + TGlobalObject::FileVersionText({4, 8, 0, 16}),
            "Korvex AVI to MOV Converter 4.8016 ");
  EXPECT_EQ(TGlobalObject::FileVersionText(), " 1.600 ");
}

TEST_F(GlobalObjectTest, RightStrCountsLetters) {
  EXPECT_EQ(TGlobalObject::RightStr("videoconverter", 9), "converter");
  EXPECT_EQ(TGlobalObject::RightStr("abc", 10), "abc");
  EXPECT_EQ(TGlobalObject::RightStr("abc", 0), "");
  EXPECT_EQ(TGlobalObject::RightStr("Grüße", 3), "üße");
}

TEST_F(GlobalObjectTest, CanWriteFolderCreatesAndRemovesAProbeFile) {
  EXPECT_TRUE(TGlobalObject::CanWriteFolder(Home()));
  EXPECT_TRUE(std::filesystem::is_empty(Home()));
  EXPECT_FALSE(TGlobalObject::CanWriteFolder(Home() + "/missing"));
  WriteFile(Home() + "/plain-file", "x");
  EXPECT_FALSE(TGlobalObject::CanWriteFolder(Home() + "/plain-file"));
  EXPECT_FALSE(TGlobalObject::CanWriteFolder("/proc"));
}

TEST_F(GlobalObjectTest, LoginNameAndSpecialFolders) {
  EXPECT_FALSE(TGlobalObject::LoginName().empty());
  EXPECT_EQ(TGlobalObject::SpecialFolder(kCsidlCommonAppData), AppData() + "/");
  EXPECT_EQ(TGlobalObject::SpecialFolder(kCsidlProfile), Home() + "/");
  EXPECT_EQ(TGlobalObject::SpecialFolder(12345), "");
}

}  // namespace
}  // namespace korvex::workflow
