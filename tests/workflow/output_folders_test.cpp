#include "workflow/output_folders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/text.h"
#include "support/fake_dialogs.h"
#include "support/temp_environment.h"
#include "workflow/global_object.h"

namespace korvex::workflow {
namespace {

namespace fs = std::filesystem;

class OutputFoldersTest : public testing::TempEnvironment {
 protected:
  std::string IniPath() const { return AppData() + "/korvexavimovconverter.ini"; }
  std::string DefaultFolder() const { return Home() + "/Videos/videoconverter"; }
  std::string Fallback() const { return Home() + "/videoconverter"; }
};

TEST_F(OutputFoldersTest, FirstStartReplacesTheMissingDefaultByTheHomeFallback) {
  AppSettings settings(IniPath());
  EXPECT_EQ(CheckFolderAtStartUp(settings, FolderSetting::kOutput), Fallback());
  EXPECT_EQ(CheckFolderAtStartUp(settings, FolderSetting::kSnapshot), Fallback());
  EXPECT_EQ(settings.Folder(FolderSetting::kOutput), Fallback());
  EXPECT_EQ(settings.Folder(FolderSetting::kSnapshot), Fallback());
  EXPECT_FALSE(fs::exists(Fallback())) << "the check does not create the folder";
}

TEST_F(OutputFoldersTest, StartUpKeepsAWritableDefaultFolderWithoutWriting) {
  fs::create_directories(DefaultFolder());
  AppSettings settings(IniPath());
  EXPECT_EQ(CheckFolderAtStartUp(settings, FolderSetting::kOutput), DefaultFolder());
  EXPECT_FALSE(fs::exists(IniPath()));
}

TEST_F(OutputFoldersTest, NeededFolderIsCreatedWithEveryMissingLevel) {
  AppSettings settings(IniPath());
  settings.SetFolder(FolderSetting::kOutput, Home() + "/a/b/c");
  testing::FakeDialogs dialogs;
  EXPECT_EQ(EnsureFolderExists(settings, dialogs, FolderSetting::kOutput), Home() + "/a/b/c");
  EXPECT_TRUE(fs::is_directory(Home() + "/a/b/c"));
  EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(OutputFoldersTest, FolderThatCannotBeCreatedFallsBackToTheDefaultWithAWarning) {
  WriteFile(Home() + "/blocker", "a file where a folder should be");
  const std::string impossible = Home() + "/blocker/out";
  AppSettings settings(IniPath());
  settings.SetFolder(FolderSetting::kSnapshot, impossible);
  testing::FakeDialogs dialogs;
  EXPECT_EQ(EnsureFolderExists(settings, dialogs, FolderSetting::kSnapshot), DefaultFolder());
  ASSERT_EQ(dialogs.messages.size(), 1u);
  EXPECT_EQ(dialogs.messages[0].caption, "Warning");
  EXPECT_EQ(dialogs.messages[0].text, "Cannot create output directory:" + impossible +
                                          ".It will create default directory " + DefaultFolder() +
                                          "!");
  EXPECT_EQ(dialogs.messages[0].buttons, platform::DialogButtons::Ok);
  EXPECT_TRUE(fs::is_directory(DefaultFolder()));
  EXPECT_EQ(settings.Folder(FolderSetting::kSnapshot), DefaultFolder());
  EXPECT_EQ(settings.Ini().ReadString("settings", "OutPutDir", "unset"), "unset");
}

TEST_F(OutputFoldersTest, ChoosingAFolder) {
  const std::string writable = Home() + "/chosen";
  fs::create_directories(writable);
  const std::string user(platform::Trim(TGlobalObject::LoginName()));
  struct Case {
    std::string chosen;
    std::string shown;
    std::optional<std::string> result;
    std::string message;  // empty: no message
  };
  const Case cases[] = {
      {"", "/shown", std::nullopt, ""},
      {"/shown", "/shown", std::nullopt, ""},
      {"/ab", "/shown", std::nullopt, "The path /ab is not a valid directory."},
      {"/tmp", "/shown", "/tmp", ""},
      {writable, "/shown", writable, ""},
      {"/proc/sys", "/shown", Fallback(),
       "You login as " + user + " .You don't have permission to write to directory:/proc/sys"},
      {Home() + "/missing", "/shown", Fallback(),
       "You login as " + user + " .You don't have permission to write to directory:" + Home() +
           "/missing"},
  };
  for (const Case& c : cases) {
    fs::remove(IniPath());
    AppSettings settings(IniPath());
    testing::FakeDialogs dialogs;
    EXPECT_EQ(ApplyChosenFolder(settings, dialogs, FolderSetting::kOutput, c.chosen, c.shown),
              c.result)
        << c.chosen;
    if (c.message.empty()) {
      EXPECT_TRUE(dialogs.messages.empty()) << c.chosen;
    } else {
      ASSERT_EQ(dialogs.messages.size(), 1u) << c.chosen;
      EXPECT_EQ(dialogs.messages[0].caption, "Warning");
      EXPECT_EQ(dialogs.messages[0].text, c.message);
    }
    EXPECT_EQ(settings.Ini().ReadString("settings", "OutPutDir", "unchanged"),
              c.result.value_or("unchanged"))
        << c.chosen;
  }
}

TEST_F(OutputFoldersTest, BrowseStartsAtTheStoredFolderAndAppliesTheAnswer) {
  AppSettings settings(IniPath());
  settings.SetFolder(FolderSetting::kOutput, "/stored/folder");
  testing::FakeDialogs dialogs;
  dialogs.folder_replies.push_back(Home());
  EXPECT_EQ(BrowseForFolder(settings, dialogs, FolderSetting::kOutput, "/stored/folder"), Home());
  ASSERT_EQ(dialogs.folder_initials.size(), 1u);
  EXPECT_EQ(dialogs.folder_initials[0], "/stored/folder");
  EXPECT_EQ(settings.Folder(FolderSetting::kOutput), Home());
  // Cancelled: nothing changes.
  EXPECT_EQ(BrowseForFolder(settings, dialogs, FolderSetting::kOutput, Home()), std::nullopt);
}

TEST_F(OutputFoldersTest, OpeningNeedsAShownTextLongerThanTwoCharacters) {
  AppSettings settings(IniPath());
  settings.SetFolder(FolderSetting::kOutput, "/stored/folder");
  std::vector<std::string> opened;
  auto open = [&](const std::string& folder) {
    opened.push_back(folder);
    return true;
  };
  EXPECT_FALSE(OpenFolderSetting(settings, FolderSetting::kOutput, "/a", open));
  EXPECT_TRUE(opened.empty());
  EXPECT_TRUE(OpenFolderSetting(settings, FolderSetting::kOutput, "/ab", open));
  EXPECT_EQ(opened, std::vector<std::string>{"/stored/folder"});
}

}  // namespace
}  // namespace korvex::workflow
