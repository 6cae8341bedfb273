#include "workflow/format_defaults.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/temp_environment.h"

namespace korvex::workflow {
namespace {

// The value a key ends with after all the writes; nullopt when it is not written.
std::optional<std::string> Written(const SectionWrites& writes, const std::string& key) {
  std::optional<std::string> value;
  for (const auto& [written_key, written_value] : writes) {
    if (written_key == key) value = written_value;
  }
  return value;
}

TEST(FormatDefaultsTest, DefaultThenOkOfTheDeliveredIPodProfile) {
  const platform::IniFile format_ini(KORVEX_DELIVERED_FORMAT_INI);
  const FormatProfile profile(format_ini, 1);
  const FormatChoices choices = FactoryDefaultChoices(profile);
  EXPECT_EQ(choices.video_size.index, 0);
  EXPECT_EQ(choices.video_size.text, "320x240");
  EXPECT_EQ(choices.zoom, 0);

  const SectionWrites expected = {
      {"Description", "iPod Video MPEG-4"},
      {"iVideoSize", "0"},
      {"iVideoBitRate", "4"},
      {"iVideoEncoder", "0"},
      {"iFrameRate", "0"},
      {"iSampleRate", "3"},
      {"iAudioBitRate", "3"},
      {"iChannel", "2"},
      {"iVolume", "3"},
      {"iAudioEncoder", "0"},
      {"paraVideoSize", "320x240"},
      {"paraVideoBitRate", "768"},
      {"paraFrameRate", "as source"},
      {"paraZoom", "full"},
      {"paraVideoEncoder", "mpeg4"},
      {"paraSampleRate", "44100"},
      {"paraAudioBitRate", "128"},
      {"paraChannel", "2"},
      {"paraVolume", "256"},
      {"paraAudioEncoder", "libfaac"},
  };
  EXPECT_EQ(ConfirmedSectionWrites(profile, "iPod Video MPEG-4", choices), expected);
}

// An audio format has no video lists: its video fields are empty and select nothing.
TEST(FormatDefaultsTest, DefaultsOfAnAudioFormatSelectNoVideoEntries) {
  const platform::IniFile format_ini(KORVEX_DELIVERED_FORMAT_INI);
  const FormatProfile profile(format_ini, 200);
  const SectionWrites writes =
      ConfirmedSectionWrites(profile, "MP3", FactoryDefaultChoices(profile));
  EXPECT_EQ(Written(writes, "iVideoSize"), "-1");
  EXPECT_EQ(Written(writes, "iVideoEncoder"), "-1");
  EXPECT_EQ(Written(writes, "paraVideoSize"), "");
  EXPECT_EQ(Written(writes, "paraFrameRate"), "");
  EXPECT_EQ(Written(writes, "paraVideoEncoder"), std::nullopt);
  EXPECT_EQ(Written(writes, "paraAudioEncoder"), "libmp3lame");
  EXPECT_EQ(Written(writes, "paraSampleRate"), "44100");
}

class FormatDefaultsIniTest : public testing::TempEnvironment {
 protected:
  std::string FormatIniPath() const { return AppData() + "/korvexavimovformat.ini"; }
  std::string AppIniPath() const { return AppData() + "/korvexavimovconverter.ini"; }
};

TEST_F(FormatDefaultsIniTest, IndexOutsideItsListSelectsNothing) {
  WriteFile(FormatIniPath(),
            "[formatInfo5]\nVolume=50%,100%\niVolume=2\nChannel=as source\niChannel=-1\n"
            "SampleRate=8000,16000\n");
  const platform::IniFile format_ini(FormatIniPath());
  const FormatChoices choices = FactoryDefaultChoices(FormatProfile(format_ini, 5));
  EXPECT_EQ(choices.volume.index, -1);
  EXPECT_EQ(choices.volume.text, "");
  EXPECT_EQ(choices.channel.index, -1);
  EXPECT_EQ(choices.sample_rate.index, 0) << "a missing index key means the first entry";
  EXPECT_EQ(choices.sample_rate.text, "8000");
}

TEST_F(FormatDefaultsIniTest, EntriesAndTheValuesOkStoresForThem) {
  WriteFile(FormatIniPath(), "[formatInfo5]\nFormat=mp4\n");
  const platform::IniFile format_ini(FormatIniPath());
  const FormatProfile profile(format_ini, 5);
  struct Case {
    FormatChoices choices;
    const char* key;
    std::optional<std::string> value;
  };
  auto with = [](auto setter) {
    FormatChoices choices;
    setter(choices);
    return choices;
  };
  const Case cases[] = {
      {with([](FormatChoices& c) {
         c.volume = {3, "100%"};
       }),
       "paraVolume", "256"},
      {with([](FormatChoices& c) {
         c.volume = {0, "25%"};
       }),
       "paraVolume", "64"},
      {with([](FormatChoices& c) {
         c.volume = {11, "400%"};
       }),
       "paraVolume", "1024"},
      {with([](FormatChoices& c) {
         c.volume = {8, "225%"};
       }),
       "paraVolume", std::nullopt},
      {with([](FormatChoices& c) {
         c.volume = {0, "loud%"};
       }),
       "paraVolume", std::nullopt},
      {with([](FormatChoices& c) {
         c.volume = {-1, "100%"};
       }),
       "paraVolume", std::nullopt},
      {with([](FormatChoices& c) {
         c.channel = {0, "as source"};
       }),
       "paraChannel", "as source"},
      {with([](FormatChoices& c) {
         c.channel = {1, "mono 1 channel"};
       }),
       "paraChannel", "1"},
      {with([](FormatChoices& c) {
         c.channel = {2, "stereo 2 channels"};
       }),
       "paraChannel", "2"},
      {with([](FormatChoices& c) {
         c.channel = {2, "Stereo 2 channels"};
       }),
       "paraChannel", std::nullopt},
      {with([](FormatChoices& c) { c.zoom = 2; }), "paraZoom", "pan"},
      {with([](FormatChoices& c) { c.zoom = 3; }), "paraZoom", "center"},
      {with([](FormatChoices& c) { c.zoom = -1; }), "paraZoom", std::nullopt},
      {with([](FormatChoices& c) {
         c.video_encoder = {1, "XVID"};
       }),
       "paraVideoEncoder", "libxvid"},
      {with([](FormatChoices& c) {
         c.video_encoder = {0, "VP9"};
       }),
       "paraVideoEncoder", std::nullopt},
      {with([](FormatChoices& c) {
         c.audio_encoder = {0, "libamr_nb"};
       }),
       "paraAudioEncoder", "libopencore_amrnb"},
      {with([](FormatChoices& c) {
         c.audio_encoder = {0, "Opus"};
       }),
       "paraAudioEncoder", std::nullopt},
      {with([](FormatChoices& c) {
         c.video_size = {-1, "641x480"};
       }),
       "paraVideoSize", "641x480"},
      {with([](FormatChoices& c) {
         c.video_size = {-1, "641x480"};
       }),
       "iVideoSize", "-1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(Written(ConfirmedSectionWrites(profile, "", c.choices), c.key), c.value);
  }
}

TEST_F(FormatDefaultsIniTest, GsmForcesEightKilohertzMono) {
  WriteFile(FormatIniPath(), "[formatInfo5]\nFormat=mp4\n");
  const platform::IniFile format_ini(FormatIniPath());
  FormatChoices choices;
  choices.sample_rate = {-1, "48000"};
  choices.channel = {2, "stereo 2 channels"};
  choices.audio_encoder = {0, "GSM"};
  const SectionWrites writes = ConfirmedSectionWrites(FormatProfile(format_ini, 5), "", choices);
  EXPECT_EQ(Written(writes, "paraAudioEncoder"), "libgsm");
  EXPECT_EQ(Written(writes, "paraSampleRate"), "8000");
  EXPECT_EQ(Written(writes, "paraChannel"), "1");
}

// Only valid H.264 settings of the profile are copied, and only with an H.264 encoder.
TEST_F(FormatDefaultsIniTest, H264ExtrasAreCopiedWhenValid) {
  WriteFile(FormatIniPath(),
            "[formatInfo5]\nparaBitExact=TRUE\nparaMaxBitrate=2500\nparaBufferSize=0\n"
            "paraLevel=3.1\nparaQscale=\nparaGop=250\nparaCoder=0\n"
            "[formatInfo6]\nparaBitExact=yes\nparaMaxBitrate=-1\nparaCoder=-1\nparaGop=12\n");
  const platform::IniFile format_ini(FormatIniPath());
  FormatChoices h264;
  h264.video_encoder = {0, "h264"};
  const SectionWrites writes = ConfirmedSectionWrites(FormatProfile(format_ini, 5), "", h264);
  EXPECT_EQ(Written(writes, "paraVideoEncoder"), "libx264");
  EXPECT_EQ(Written(writes, "paraBitExact"), "TRUE");
  EXPECT_EQ(Written(writes, "paraMaxBitrate"), "2500");
  EXPECT_EQ(Written(writes, "paraBufferSize"), std::nullopt);
  EXPECT_EQ(Written(writes, "paraLevel"), std::nullopt);
  EXPECT_EQ(Written(writes, "paraQscale"), std::nullopt);
  EXPECT_EQ(Written(writes, "paraGop"), "250");
  EXPECT_EQ(Written(writes, "paraCoder"), "0");

  const SectionWrites invalid = ConfirmedSectionWrites(FormatProfile(format_ini, 6), "", h264);
  EXPECT_EQ(Written(invalid, "paraBitExact"), std::nullopt);
  EXPECT_EQ(Written(invalid, "paraMaxBitrate"), std::nullopt);
  EXPECT_EQ(Written(invalid, "paraCoder"), std::nullopt);
  EXPECT_EQ(Written(invalid, "paraGop"), "12");

  FormatChoices mpeg4;
  mpeg4.video_encoder = {0, "MPEG-4"};
  EXPECT_EQ(Written(ConfirmedSectionWrites(FormatProfile(format_ini, 5), "", mpeg4), "paraGop"),
            std::nullopt);
}

// Keys that the choices map to nothing keep what the section held.
TEST_F(FormatDefaultsIniTest, WritingKeepsTheKeysItDoesNotWrite) {
  WriteFile(FormatIniPath(), "[formatInfo5]\nFormat=mp4\n");
  WriteFile(AppIniPath(),
            "[settings]\nFormatCode=5\n[formatInfo5]\nparaVideoEncoder=libx264\nparaVolume=512\n"
            "paraZoom=pan\n");
  const platform::IniFile format_ini(FormatIniPath());
  platform::IniFile app_ini(AppIniPath());
  FormatChoices choices;
  choices.video_encoder = {0, "VP9"};
  choices.volume = {8, "225%"};
  choices.video_size = {3, "640x480"};
  WriteConfirmedChoices(app_ini, FormatProfile(format_ini, 5), "Five", choices);
  EXPECT_EQ(app_ini.ReadString("formatInfo5", "paraVideoEncoder", ""), "libx264");
  EXPECT_EQ(app_ini.ReadString("formatInfo5", "paraVolume", ""), "512");
  EXPECT_EQ(app_ini.ReadString("formatInfo5", "paraZoom", ""), "pan");
  EXPECT_EQ(app_ini.ReadString("formatInfo5", "paraVideoSize", ""), "640x480");
  EXPECT_EQ(app_ini.ReadString("formatInfo5", "iVolume", ""), "8");
  EXPECT_EQ(app_ini.ReadString("formatInfo5", "Description", ""), "Five");
  EXPECT_EQ(app_ini.ReadString("settings", "FormatCode", ""), "5");
}

}  // namespace
}  // namespace korvex::workflow
