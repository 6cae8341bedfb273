#include "workflow/app_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_environment.h"
#include "workflow/format_profile.h"

namespace korvex::workflow {
namespace {

class AppSettingsTest : public testing::TempEnvironment {
 protected:
  std::string IniPath() const { return AppData() + "/korvexavimovconverter.ini"; }
};

TEST_F(AppSettingsTest, FirstStartWithoutIniReadsEveryDefault) {
  AppSettings settings(IniPath());
  EXPECT_EQ(settings.Folder(FolderSetting::kOutput), Home() + "/Videos/videoconverter");
  EXPECT_EQ(settings.Folder(FolderSetting::kSnapshot), Home() + "/Videos/videoconverter");
  EXPECT_EQ(settings.FormatName(), "Apple iPod Video MPEG-4 Movie (*.mp4)");
  EXPECT_EQ(settings.FormatName(kDialogDefaultFormatName), "iPod Video MPEG-4");
  EXPECT_EQ(settings.FormatCode(), 1);
  EXPECT_EQ(settings.Priority(), 1);
  EXPECT_EQ(settings.PlayerVolume(), 0);
  EXPECT_FALSE(settings.Mute());
  EXPECT_TRUE(settings.SnapFullSize());
  EXPECT_TRUE(settings.SnapSmallSize());
  EXPECT_TRUE(settings.SnapBmp());
  EXPECT_TRUE(settings.SnapJpg());
  EXPECT_EQ(settings.JpgQuality(), 30);
  for (int group = 0; group < 3; ++group) EXPECT_TRUE(settings.GroupCollapsed(group));
  EXPECT_FALSE(std::filesystem::exists(IniPath())) << "reading must not create the file";
}

TEST_F(AppSettingsTest, StoredVolumeOutsideItsRangeShowsAs64AndStaysStored) {
  struct Case {
    const char* stored;
    int shown;
  };
  for (const Case& c : {Case{"200", 64}, Case{"-1", 64}, Case{"129", 64}, Case{"128", 128},
                        Case{"0", 0}, Case{"37", 37}, Case{"loud", 0}}) {
    WriteFile(IniPath(), std::string("[settings]\nvolume=") + c.stored + "\n");
    AppSettings settings(IniPath());
    EXPECT_EQ(settings.PlayerVolume(), c.shown) << c.stored;
    EXPECT_EQ(settings.Ini().ReadString(kSettingsSection, "volume", ""), c.stored);
  }
  AppSettings settings(IniPath());
  settings.SetPlayerVolume(90);
  EXPECT_EQ(settings.PlayerVolume(), 90);
}

TEST_F(AppSettingsTest, WritesReachTheFileAtOnceAsDecimalText) {
  AppSettings settings(IniPath());
  settings.SetChosenFormat("AC-3 Audio Codec (*.ac3)", 206);
  settings.SetMute(true);
  settings.SetPriority(3);
  settings.SetGroupCollapsed(1, false);
  const std::string text = ReadFile(IniPath());
  EXPECT_NE(text.find("FormatName=AC-3 Audio Codec (*.ac3)"), std::string::npos) << text;
  EXPECT_NE(text.find("FormatCode=206"), std::string::npos) << text;
  EXPECT_NE(text.find("mute=1"), std::string::npos) << text;
  EXPECT_NE(text.find("[lstformat]"), std::string::npos) << text;

  AppSettings reader(IniPath());
  EXPECT_EQ(reader.FormatCode(), 206);
  EXPECT_TRUE(reader.Mute());
  EXPECT_EQ(reader.Priority(), 3);
  EXPECT_FALSE(reader.GroupCollapsed(1));
  EXPECT_TRUE(reader.GroupCollapsed(0));
}

TEST_F(AppSettingsTest, ProfileKeysWrittenByTheDialogAreFoundInAnyLetterCase) {
  // The settings dialog writes "paraZoom" and "snapOutPutDir"; others read "parazoom" and
  // "SnapOutPutDir".
  AppSettings settings(IniPath());
  settings.Ini().WriteString(FormatSectionName(103), "paraZoom", "pan");
  settings.Ini().WriteString(kSettingsSection, "snapOutPutDir", "/media/snaps");
  EXPECT_EQ(settings.Ini().ReadString("FORMATINFO103", "parazoom", "lbox"), "pan");
  EXPECT_EQ(settings.Folder(FolderSetting::kSnapshot), "/media/snaps");
  settings.Ini().WriteString("formatinfo103", "PARAZOOM", "full");
  EXPECT_EQ(ReadFile(IniPath()),
            "[formatInfo103]\nparaZoom=full\n\n[settings]\nsnapOutPutDir=/media/snaps\n");
}

}  // namespace
}  // namespace korvex::workflow
