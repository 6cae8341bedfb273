#include "workflow/job_options_builder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/library_loader.h"
#include "fixtures/media_recipe.h"
#include "fixtures/sample_media.h"
#include "support/fake_dialogs.h"
#include "support/temp_environment.h"
#include "workflow/job_options_picture_fit.h"

namespace korvex::workflow {
namespace {

using fixtures::Sample;
using fixtures::SamplePath;
using platform::DialogResult;

constexpr int kCode = 7;  // the format the tests write their own profile for

// A video format whose lists and fallbacks the rate rules below are read against.
constexpr const char* kVideoProfile =
    "Format=mov\n"
    "VideoBitRate=as source,256,512,1000\n"
    "SampleRate=as source,8000,22050,44100\n"
    "AudioBitRate=as source,32,64,96\n"
    "paraVideoBitRate=768\n"
    "paraSampleRate=22050\n"
    "paraAudioBitRate=48\n";

TlvFilesRecord Job(const char* zoom, int top = 0, int left = 0, int bottom = 0, int right = 0) {
  TlvFilesRecord job;
  job.ZoomMode = zoom;
  job.CropTop = top;
  job.CropLeft = left;
  job.CropBottom = bottom;
  job.CropRight = right;
  return job;
}

// The output record as the batch start hands it over: the job's crop margins already in it.
engine::TOutputOptions OutputFor(const TlvFilesRecord& job) {
  engine::TOutputOptions output;
  output.CropTop = job.CropTop;
  output.CropBottom = job.CropBottom;
  output.CropLeft = job.CropLeft;
  output.CropRight = job.CropRight;
  return output;
}

struct Built {
  engine::TInputOptions input;
  engine::TOutputOptions output;
};

class JobOptionsBuilderTest : public testing::TempEnvironment {
 protected:
  void SetUp() override {
    TempEnvironment::SetUp();
    ASSERT_TRUE(probe_.LoadAVLib(Root())) << probe_.LastErrMsg();
    SetProfile(kVideoProfile);
  }
  void TearDown() override {
    probe_.CloseFile();
    engine::TLibraryLoader::Instance().ResetForTesting();
    TempEnvironment::TearDown();
  }

  std::string AppIniPath() const { return AppData() + "/korvexavimovconverter.ini"; }
  std::string FormatIniPath() const { return AppData() + "/korvexavimovformat.ini"; }

  void SetProfile(const std::string& keys) { WriteFile(FormatIniPath(), "[formatInfo7]\n" + keys); }
  void SetUserSection(const std::string& keys) {
    WriteFile(AppIniPath(), "[formatInfo7]\n" + keys);
  }

  Built Build(const std::string& source, const TlvFilesRecord& job, int code = kCode,
              const std::string& format_ini = "") {
    Built built;
    built.output = OutputFor(job);
    EXPECT_TRUE(probe_.LoadFile(source)) << probe_.LastErrMsg();
    BuildJobOptions(job, code, built.output, probe_, built.input, dialogs_,
                    platform::IniFile(AppIniPath()),
                    platform::IniFile(format_ini.empty() ? FormatIniPath() : format_ini));
    return built;
  }

  // A one-frame MPEG-4 video of the given size, without sound.
  std::string GeneratedVideo(int width, int height) {
    fixtures::SampleFacts facts;
    facts.width = width;
    facts.height = height;
    facts.frame_rate_num = 25;
    facts.frame_count = 1;
    facts.duration_us = 40000;
    fixtures::MediaRecipe recipe;
    recipe.facts = &facts;
    recipe.muxer = "matroska";
    recipe.video_encoder = "mpeg4";
    recipe.video_qscale = 8;
    const std::string path =
        Root() + "/video_" + std::to_string(width) + "x" + std::to_string(height) + ".mkv";
    fixtures::WriteMedia(recipe, path, "generated video");
    return path;
  }

  int SourceAudioBitRate(Sample sample) {
    EXPECT_TRUE(probe_.LoadFile(SamplePath(sample)));
    engine::TAudioStreamInfo info;
    probe_.GetAudioStreamInfo(probe_.FirstAudioStream(), info);
    return info.BitRate;
  }

  engine::TMediaProbe probe_;
  testing::FakeDialogs dialogs_;
};

// A fresh install has no user section for its format: the iPod profile's own defaults apply
// (first frame size, 768 kbit/s, MPEG-4 with AAC at 44100 Hz, 128 kbit/s, stereo, 100 %).
TEST_F(JobOptionsBuilderTest, MissingUserSectionConvertsWithTheDeliveredFactoryDefaults) {
  const Built built =
      Build(SamplePath(Sample::kAviMpeg4Mp3), Job("lbox"), 1, KORVEX_DELIVERED_FORMAT_INI);
  const engine::TOutputOptions& out = built.output;
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(out.VideoCodec, "mpeg4");
  EXPECT_EQ(out.VideoPreset, "");
  EXPECT_FALSE(out.DisableVideo);
  EXPECT_EQ(out.ForceFormat, "ipod");
  EXPECT_EQ(out.VideoBitrate, 768000);
  EXPECT_EQ(out.FrameRate, "") << "the first frame rate entry is \"as source\"";
  EXPECT_EQ(out.FrameSize, "320x240");
  EXPECT_EQ(out.AspectRatio, "320:240");
  EXPECT_EQ(out.VideoFilters, "pad=320:240:0:0");
  EXPECT_EQ(out.AudioCodec, "libfaac");
  EXPECT_FALSE(out.DisableAudio);
  EXPECT_EQ(out.AudioChannels, 2);
  EXPECT_EQ(out.AudioSampleRate, 44100);
  EXPECT_EQ(out.AudioBitrate, 128000);
  EXPECT_EQ(out.AudioVolume, -1) << "100 % leaves the volume unchanged";
  EXPECT_EQ(built.input.ExtOptions, "");
  EXPECT_FALSE(std::filesystem::exists(AppIniPath())) << "the builder writes nothing";
}

TEST_F(JobOptionsBuilderTest, MissingUserSectionOfOtherDeliveredFormats) {
  struct Case {
    int code;
    const char* video_codec;
    const char* video_preset;
    int video_bit_rate;
    const char* audio_codec;
    bool audio_only;
  };
  const Case cases[] = {
      {103, "libx264", "libx264-mp4", 1000000, "libfaac", false},
      {200, "", "", -1, "libmp3lame", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const Built built =
        Build(SamplePath(Sample::kAviMpeg4Mp3), Job("full"), c.code, KORVEX_DELIVERED_FORMAT_INI);
    EXPECT_EQ(built.output.VideoCodec, c.video_codec);
    EXPECT_EQ(built.output.VideoPreset, c.video_preset);
    EXPECT_EQ(built.output.VideoBitrate, c.video_bit_rate);
    EXPECT_EQ(built.output.DisableVideo, c.audio_only);
    EXPECT_EQ(built.input.ExtOptions, c.audio_only ? "vn=1" : "");
    EXPECT_EQ(built.output.FrameSize, c.audio_only ? "" : "320x240");
    EXPECT_EQ(built.output.AudioCodec, c.audio_codec);
    EXPECT_EQ(built.output.AudioSampleRate, 44100);
    EXPECT_EQ(built.output.AudioBitrate, 128000);
    EXPECT_EQ(built.output.AudioVolume, -1);
  }
  EXPECT_TRUE(dialogs_.messages.empty());
}

// A section that exists is read as it stands, even when it holds almost nothing.
TEST_F(JobOptionsBuilderTest, SectionHoldingOnlyTheVideoEncoderUsesTheKeysDefaults) {
  SetUserSection("paraVideoEncoder=mpeg4\n");
  dialogs_.message_replies = {DialogResult::Yes};
  const Built built = Build(SamplePath(Sample::kMkvVideoOnly), Job("full"));
  const engine::TOutputOptions& out = built.output;
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].caption, "Warning");
  EXPECT_EQ(dialogs_.messages[0].text, "Error output Video Size.Use the default size 320x240?");
  EXPECT_EQ(dialogs_.messages[0].buttons, platform::DialogButtons::YesNo);
  EXPECT_EQ(out.VideoCodec, "mpeg4");
  EXPECT_EQ(out.FrameSize, "320x240");
  EXPECT_EQ(out.FrameRate, "29.97");
  EXPECT_EQ(out.VideoBitrate, 512000);
  EXPECT_TRUE(out.DisableAudio);
  EXPECT_EQ(out.AudioCodec, "");
  EXPECT_EQ(out.AudioVolume, -1) << "a missing volume is the unchanged volume";
}

TEST_F(JobOptionsBuilderTest, EmptyUserSectionIsAnAudioOnlyConversion) {
  SetUserSection("");
  const Built built = Build(SamplePath(Sample::kAviMpeg4Mp3), Job("full"));
  EXPECT_TRUE(built.output.DisableVideo);
  EXPECT_EQ(built.output.AudioCodec, "libfaac");
  EXPECT_EQ(built.output.AudioVolume, -1);
  EXPECT_EQ(built.input.ExtOptions, "vn=1");
}

TEST_F(JobOptionsBuilderTest, FrameSizeFromTheUsersText) {
  struct Case {
    const char* size;
    const char* encoder;
    DialogResult reply;
    bool asked;
    const char* frame;
  };
  // The source is 720x576.
  const Case cases[] = {
      {"640x480", "mpeg4", DialogResult::Ok, false, "640x480"},
      {"640x", "mpeg4", DialogResult::Yes, true, "320x240"},
      {"x480", "mpeg4", DialogResult::No, true, "720x576"},
      {"null", "mpeg4", DialogResult::Yes, true, "320x240"},
      {"", "mpeg4", DialogResult::No, true, "720x576"},
      {"As Source", "mpeg4", DialogResult::No, true, "720x576"},
      {"as source", "mpeg4", DialogResult::Ok, false, "720x576"},
      {"abcx480", "mpeg4", DialogResult::Ok, false, "720x480"},
      {"640xabc", "mpeg4", DialogResult::Ok, false, "640x576"},
      {"400x300", "h263", DialogResult::Ok, false, "704x576"},
      {"200x150", "h263", DialogResult::Ok, false, "352x288"},
      {"352x288", "h263", DialogResult::Ok, false, "352x288"},
      {"160x120", "h263", DialogResult::Ok, false, "160x120"},
      {"100x80", "h263", DialogResult::Ok, false, "100x80"},
      {"640x", "h263", DialogResult::Yes, true, "320x240"},
      {"400x300", "h263p", DialogResult::Ok, false, "400x300"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.size) + " " + c.encoder);
    SetUserSection(std::string("paraVideoEncoder=") + c.encoder + "\nparaVideoSize=" + c.size +
                   "\n");
    dialogs_.messages.clear();
    dialogs_.message_replies = {c.reply};
    const Built built = Build(SamplePath(Sample::kTsPal), Job("full"));
    EXPECT_EQ(dialogs_.messages.size(), c.asked ? 1u : 0u);
    EXPECT_EQ(built.output.FrameSize, c.frame);
  }
}

TEST(FitPictureTest, ZoomModes) {
  struct Case {
    const char* name;
    TlvFilesRecord job;
    FrameSizes sizes;
    const char* frame_size;
    const char* aspect;
    const char* filter;
    int crop_top, crop_left, crop_bottom, crop_right;
  };
  const Case cases[] = {
      {"full", Job("full"), {1280, 720, 640, 480}, "640x480", "640:480", "", 0, 0, 0, 0},
      {"full cropped",
       Job("full", 8, 10, 12, 14),
       {1280, 720, 640, 480},
       "640x480",
       "640:480",
       "",
       8,
       10,
       12,
       14},
      {"lbox wide",
       Job("lbox"),
       {1280, 720, 640, 480},
       "640x360",
       "640:360",
       "pad=640:480:0:60",
       0,
       0,
       0,
       0},
      {"lbox same",
       Job("lbox"),
       {640, 480, 640, 480},
       "640x480",
       "640:480",
       "pad=640:480:0:0",
       0,
       0,
       0,
       0},
      {"lbox tall",
       Job("lbox"),
       {640, 480, 640, 360},
       "480x360",
       "480:360",
       "pad=640:360:80:0",
       0,
       0,
       0,
       0},
      {"lbox cropped",
       Job("lbox", 20, 10, 40, 30),
       {1280, 720, 640, 480},
       "",
       "640:360",
       "crop=10:20:1240:660,scale=640:360,pad=640:480:0:60",
       20,
       10,
       40,
       30},
      {"pan wide", Job("pan"), {1280, 720, 640, 480}, "640x480", "640:480", "", 0, 284, 0, 284},
      {"pan wide cropped",
       Job("pan", 0, 100, 0, 100),
       {1280, 720, 640, 480},
       "640x480",
       "640:480",
       "",
       0,
       190,
       0,
       190},
      {"pan tall", Job("pan"), {720, 576, 720, 576}, "720x576", "720:576", "", 152, 0, 152, 0},
      {"pan 4:3", Job("pan"), {640, 480, 320, 240}, "320x240", "320:240", "", 0, 0, 0, 0},
      {"center wide into a taller frame",
       Job("center"),
       {320, 240, 160, 480},
       "160x480",
       "160:480",
       "pad=320:600:0:180:black",
       0,
       0,
       0,
       0},
      {"center wide",
       Job("center"),
       {1280, 720, 640, 480},
       "640x480",
       "640:480",
       "pad=640:480:0:60:black",
       0,
       0,
       0,
       0},
      {"center tall",
       Job("center"),
       {640, 480, 640, 360},
       "480x360",
       "640:360",
       "pad=800:480:80:0:black",
       0,
       0,
       0,
       0},
      {"center same shape",
       Job("center"),
       {640, 480, 320, 240},
       "320x240",
       "320:240",
       "pad=640:480:0:0:black",
       0,
       0,
       0,
       0},
      {"unknown mode", Job("zoom"), {1280, 720, 640, 480}, "", "4:3", "", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    engine::TOutputOptions output = OutputFor(c.job);
    output.AspectRatio = "4:3";  // as a disc target leaves it
    EXPECT_EQ(FitPicture(c.job, c.sizes, output), c.filter);
    EXPECT_EQ(output.FrameSize, c.frame_size);
    EXPECT_EQ(output.AspectRatio, c.aspect);
    EXPECT_EQ(output.CropTop, c.crop_top);
    EXPECT_EQ(output.CropLeft, c.crop_left);
    EXPECT_EQ(output.CropBottom, c.crop_bottom);
    EXPECT_EQ(output.CropRight, c.crop_right);
  }
}

TEST(FitPictureTest, EmptySizesCannotBeFitted) {
  engine::TOutputOptions output = OutputFor(Job("lbox"));
  EXPECT_THROW(FitPicture(Job("lbox"), {1280, 720, 0, 480}, output), JobOptionsError);
  EXPECT_THROW(FitPicture(Job("center"), {0, 0, 640, 480}, output), JobOptionsError);
  const TlvFilesRecord all_cut = Job("pan", 0, 640, 0, 640);
  output = OutputFor(all_cut);
  EXPECT_THROW(FitPicture(all_cut, {1280, 720, 640, 480}, output), JobOptionsError);
}

// The whole road on a generated 1280x720 source: its size from the probe, the crop fields the
// batch start left unset, and a filter that was already there.
TEST_F(JobOptionsBuilderTest, LetterboxAndPanOfAWideSource) {
  const std::string source = GeneratedVideo(1280, 720);
  SetUserSection("paraVideoEncoder=mpeg4\nparaVideoSize=640x480\n");

  Built built;
  built.output.VideoFilters = "hflip";
  ASSERT_TRUE(probe_.LoadFile(source)) << probe_.LastErrMsg();
  BuildJobOptions(Job("lbox"), kCode, built.output, probe_, built.input, dialogs_,
                  platform::IniFile(AppIniPath()), platform::IniFile(FormatIniPath()));
  EXPECT_EQ(built.output.FrameSize, "640x360");
  EXPECT_EQ(built.output.AspectRatio, "640:360");
  EXPECT_EQ(built.output.VideoFilters, "hflip,pad=640:480:0:60");
  EXPECT_EQ(built.output.CropTop, 0) << "an unset crop field becomes 0";

  Built panned;
  BuildJobOptions(Job("pan"), kCode, panned.output, probe_, panned.input, dialogs_,
                  platform::IniFile(AppIniPath()), platform::IniFile(FormatIniPath()));
  EXPECT_EQ(panned.output.CropLeft, 284);
  EXPECT_EQ(panned.output.CropRight, 284);
  EXPECT_EQ(panned.output.CropTop, 0);
  EXPECT_EQ(panned.output.CropBottom, 0);
  EXPECT_EQ(panned.output.FrameSize, "640x480");
  EXPECT_EQ(panned.output.VideoFilters, "");
  EXPECT_TRUE(dialogs_.messages.empty());
}

// Only DisableVideo is set for the picture; the sound is converted as the user chose.
TEST_F(JobOptionsBuilderTest, SourceWithoutVideoInAVideoFormat) {
  SetUserSection(
      "paraVideoEncoder=mpeg4\nparaVideoSize=640x480\nparaFrameRate=25\nparaVideoBitRate=1000\n"
      "paraAudioEncoder=libfaac\nparaChannel=1\nparaVolume=512\nparaSampleRate=22050\n"
      "paraAudioBitRate=64\n");
  const Built built = Build(SamplePath(Sample::kM4aAudioOnly), Job("lbox"));
  const engine::TOutputOptions& out = built.output;
  EXPECT_TRUE(out.DisableVideo);
  EXPECT_EQ(out.FrameSize, "");
  EXPECT_EQ(out.AspectRatio, "");
  EXPECT_EQ(out.FrameRate, "");
  EXPECT_EQ(out.VideoBitrate, -1);
  EXPECT_EQ(out.VideoFilters, "");
  EXPECT_EQ(out.ForceFormat, "");
  EXPECT_TRUE(dialogs_.messages.empty());
  EXPECT_EQ(built.input.ExtOptions, "");
  EXPECT_FALSE(out.DisableAudio);
  EXPECT_EQ(out.AudioCodec, "libfaac");
  EXPECT_EQ(out.AudioChannels, 1);
  EXPECT_EQ(out.AudioVolume, 512);
  EXPECT_EQ(out.AudioSampleRate, 22050);
  EXPECT_EQ(out.AudioBitrate, 64000);
}

TEST_F(JobOptionsBuilderTest, SourceValueInRange) {
  using Kind = SourceValueKind;
  struct Case {
    Kind kind;
    const char* list;  // nullptr: the key is missing
    int value;
    bool in_range;
  };
  const Case cases[] = {
      {Kind::kAudioSampleRate, "as source,8000,22050,44100", 32000, true},
      {Kind::kAudioSampleRate, "as source,8000,22050,44100", 48000, false},
      {Kind::kAudioSampleRate, "as source,8000,22050,44100", 8000, true},
      {Kind::kAudioSampleRate, "as source,8000,22050,44100", 44100, true},
      {Kind::kAudioSampleRate, "AS SOURCE,8000,22050,44100", 7999, false},
      {Kind::kAudioSampleRate, "AS SOURCE,8000,22050,44100", 16000, true},
      {Kind::kAudioSampleRate, "22050,44100", 22050, true},
      {Kind::kAudioSampleRate, "22050,44100", 32000, false},
      {Kind::kAudioSampleRate, "22050,44100", 44100, false},
      {Kind::kAudioSampleRate, "as source,44100", 44100, true},
      {Kind::kAudioSampleRate, "44100", 44100, false},
      {Kind::kAudioSampleRate, ",8000,44100", 22050, false},
      {Kind::kAudioSampleRate, "as source,", 44100, false},
      {Kind::kAudioSampleRate, nullptr, 44100, false},
      {Kind::kAudioBitRate, "as source,32,64,320", 128000, true},
      {Kind::kAudioBitRate, "as source,32,64,320", 320000, true},
      {Kind::kAudioBitRate, "as source,32,64,320", 320500, false},
      {Kind::kAudioBitRate, "as source,32,64,320", -1, false},
      {Kind::kVideoBitRate, "as source,256,8000", 9000000, false},
      {Kind::kVideoBitRate, "as source,256,8000", 256000, true},
  };
  const char* keys[] = {"SampleRate", "AudioBitRate", "VideoBitRate"};
  for (const Case& c : cases) {
    const char* key = keys[static_cast<int>(c.kind)];
    SCOPED_TRACE(std::string(key) + "=" + (c.list ? c.list : "(missing)") + " value " +
                 std::to_string(c.value));
    SetProfile(c.list ? std::string(key) + "=" + c.list + "\n" : "");
    const platform::IniFile format_ini(FormatIniPath());
    EXPECT_EQ(SourceValueInRange(c.kind, c.value, FormatProfile(format_ini, kCode)), c.in_range);
  }
}

TEST_F(JobOptionsBuilderTest, AudioOnlyConversion) {
  SetProfile("Format=FLAC\n");
  SetUserSection("paraChannel=1\nparaVolume=128\n");
  const Built built = Build(SamplePath(Sample::kAviMpeg4Mp3), Job("lbox"));
  const engine::TOutputOptions& out = built.output;
  EXPECT_EQ(out.AudioCodec, "libfaac");
  EXPECT_EQ(out.ForceFormat, "flac");
  EXPECT_EQ(out.AudioChannels, 1);
  EXPECT_EQ(out.AudioVolume, 128);
  EXPECT_EQ(out.AudioSampleRate, 44100);
  EXPECT_EQ(out.AudioBitrate, 128000);
  EXPECT_EQ(built.input.ExtOptions, "vn=1");
  EXPECT_TRUE(out.DisableVideo);
  EXPECT_TRUE(out.DisableSubtitle);
  EXPECT_FALSE(out.DisableAudio);
  EXPECT_EQ(out.FrameSize, "");
  EXPECT_EQ(out.VideoFilters, "") << "no picture to fit";
  EXPECT_EQ(out.VideoBitrate, -1);
}

TEST_F(JobOptionsBuilderTest, AudioOnlyContainerIsForcedForSomeFormats) {
  const std::pair<const char*, const char*> cases[] = {
      {"FLAC", "flac"}, {"matroska", "matroska"},
      {"Amr", "amr"},   {"avi", "avi"},
      {"mp3", ""},      {"mov", ""},
      {"null", ""},
  };
  SetUserSection("paraAudioEncoder=flac\n");
  for (const auto& [format, forced] : cases) {
    SCOPED_TRACE(format);
    SetProfile(std::string("Format=") + format + "\n");
    EXPECT_EQ(Build(SamplePath(Sample::kAviMpeg4Mp3), Job("full")).output.ForceFormat, forced);
  }
}

// The user's value; else, for "as source" or text that is no number, the source's value when
// the profile's list covers it; else the profile's fallback.
TEST_F(JobOptionsBuilderTest, SampleRateRule) {
  struct Case {
    const char* user;  // nullptr: the key is missing
    Sample source;
    const char* fallback;
    int rate;
  };
  const Case cases[] = {
      {"32000", Sample::kAviMpeg4Mp3, "22050", 32000},
      {nullptr, Sample::kMp4H264Aac, "22050", 44100},
      {"0", Sample::kAviMpeg4Mp3, "22050", -1},
      {"as source", Sample::kAviMpeg4Mp3, "22050", 44100},
      {"abc", Sample::kAviMpeg4Mp3, "22050", 44100},
      {"as source", Sample::kMp4H264Aac, "22050", 22050},
      {"as source", Sample::kMp4H264Aac, "As Source", -1},
      {"as source", Sample::kMkvVideoOnly, "16000", 16000},
      {"As Source", Sample::kAviMpeg4Mp3, "22050", 44100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user ? c.user : "(missing)") + " " + fixtures::SampleName(c.source));
    SetProfile(std::string("SampleRate=as source,8000,22050,44100\nparaSampleRate=") + c.fallback +
               "\n");
    SetUserSection(c.user ? std::string("paraSampleRate=") + c.user + "\n" : "");
    EXPECT_EQ(Build(SamplePath(c.source), Job("full")).output.AudioSampleRate, c.rate);
  }
}

TEST_F(JobOptionsBuilderTest, AudioBitRateRule) {
  const int source_rate = SourceAudioBitRate(Sample::kAviMpeg4Mp3);
  ASSERT_EQ(source_rate, 128000);
  struct Case {
    const char* user;
    const char* list;
    const char* fallback;
    int bit_rate;
  };
  const Case cases[] = {
      {"96", "as source,32,64", "48", 96000},
      {"96.5", "as source,32,64", "48", 96500},
      {"0", "as source,32,64", "48", -1},
      {"as source", "as source,32,64", "48", 48000},
      {"as source", "as source,32,320", "48", source_rate},
      {"fast", "as source,32,320", "48", source_rate},
      {"as source", "as source,32,64", "56.7", 56700},
      {"as source", "as source,32,64", " ", -1},
      {"as source", "as source,32,64", "as source", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user) + " list " + c.list + " fallback " + c.fallback);
    SetProfile(std::string("AudioBitRate=") + c.list + "\nparaAudioBitRate=\"" + c.fallback +
               "\"\n");
    SetUserSection(std::string("paraAudioBitRate=") + c.user + "\n");
    EXPECT_EQ(Build(SamplePath(Sample::kAviMpeg4Mp3), Job("full")).output.AudioBitrate, c.bit_rate);
  }
}

TEST_F(JobOptionsBuilderTest, VideoBitRateRule) {
  ASSERT_TRUE(probe_.LoadFile(SamplePath(Sample::kMp4H264Aac)));
  engine::TVideoStreamInfo info;
  probe_.GetVideoStreamInfo(probe_.FirstVideoStream(), info);
  ASSERT_GT(info.BitRate, 1000);
  ASSERT_LT(info.BitRate, 1000000);
  struct Case {
    const char* user;
    const char* list;
    int bit_rate;
  };
  const Case cases[] = {
      {"2000", "as source,256,512", 2000000},          {"0", "as source,256,512", -1},
      {"as source", "as source,256,512", 768000},      {"1.5", "as source,256,512", 768000},
      {"as source", "as source,1,1000", info.BitRate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user) + " list " + c.list);
    SetProfile(std::string("VideoBitRate=") + c.list + "\nparaVideoBitRate=768\n");
    SetUserSection(std::string("paraVideoEncoder=mpeg4\nparaVideoSize=as source\n") +
                   "paraVideoBitRate=" + c.user + "\n");
    EXPECT_EQ(Build(SamplePath(Sample::kMp4H264Aac), Job("full")).output.VideoBitrate, c.bit_rate);
  }
}

TEST_F(JobOptionsBuilderTest, ChannelsAndVolume) {
  struct Case {
    bool video;
    const char* channel;
    const char* volume;
    int channels;
    int audio_volume;
  };
  const Case cases[] = {
      {false, "as source", "256", -1, -1},
      {false, "1", "64", 1, 64},
      {false, "0", "0", -1, 0},
      {false, "abc", "1024", -1, 1024},
      {true, "as source", "256", -1, -1},
      {true, "2", "320", 2, 320},
      {true, "0", "0256", 0, 256},
      {true, "-2", "-5", -2, -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.video ? "video " : "audio ") + c.channel + " " + c.volume);
    SetUserSection(std::string(c.video ? "paraVideoEncoder=mpeg4\nparaVideoSize=as source\n" : "") +
                   "paraChannel=" + c.channel + "\nparaVolume=" + c.volume + "\n");
    const Built built = Build(SamplePath(Sample::kAviMpeg4Mp3), Job("full"));
    EXPECT_EQ(built.output.AudioChannels, c.channels);
    EXPECT_EQ(built.output.AudioVolume, c.audio_volume);
  }
}

TEST_F(JobOptionsBuilderTest, ValuesThatCannotBeUsedEndTheBuildNamingKeyAndValue) {
  struct Case {
    const char* user;
    const char* profile_extra;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"paraVolume=loud\n", "", "paraVolume", "loud"},
      {"paraVideoEncoder=mpeg4\nparaVideoSize=as source\nparaVolume=1.5\n", "", "paraVolume",
       "1.5"},
      {"paraSampleRate=as source\n", "paraSampleRate=high\n", "paraSampleRate", "high"},
      {"paraAudioBitRate=as source\n", "paraAudioBitRate=many\n", "paraAudioBitRate", "many"},
      {"paraAudioBitRate=3000000\n", "", "paraAudioBitRate", "3000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.user);
    SetProfile(std::string("Format=mov\nSampleRate=8000,22050\nAudioBitRate=32,64\n") +
               c.profile_extra);
    SetUserSection(c.user);
    try {
      Build(SamplePath(Sample::kMp4H264Aac), Job("full"));
      ADD_FAILURE() << "no error";
    } catch (const JobOptionsError& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find(c.key), std::string::npos) << message;
      EXPECT_NE(message.find(std::string("\"") + c.value + "\""), std::string::npos) << message;
    }
  }
}

// The aspect ratio of a disc target stays only when the job's zoom mode is none of the four.
TEST_F(JobOptionsBuilderTest, DiscTargets) {
  struct Case {
    const char* format;
    const char* size;
    int target;
    int norm;
    const char* aspect;
  };
  const Case cases[] = {
      {"ntsc-dvd", "720x480", 3, 2, "16:9"}, {"ntsc-dvd", "720x576", 3, 2, "4:3"},
      {"PAL-DVD", "720x576", 3, 1, "16:9"},  {"pal-dvd", "720x480", 3, 1, "4:3"},
      {"ntsc-vcd", "720x480", 1, 2, "4:3"},  {"pal-vcd", "352x288", 1, 1, "4:3"},
      {"ntsc-svcd", "480x480", 2, 2, "4:3"}, {"pal-svcd", "480x576", 2, 1, "4:3"},
      {"mpeg", "720x576", 0, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.size);
    SetProfile(std::string("Format=") + c.format + "\n");
    SetUserSection(std::string("paraVideoEncoder=mpeg1video\nparaVideoSize=") + c.size + "\n");
    const Built built = Build(SamplePath(Sample::kAviMpeg4Mp3), Job("keep"));
    EXPECT_EQ(built.output.Target, c.target);
    EXPECT_EQ(built.output.TargetNorm, c.norm);
    EXPECT_EQ(built.output.AspectRatio, c.aspect);
  }
  SetProfile("Format=pal-dvd\n");
  SetUserSection("paraVideoEncoder=mpeg1video\nparaVideoSize=720x576\n");
  const Built letterboxed = Build(SamplePath(Sample::kTsPal), Job("lbox"));
  EXPECT_EQ(letterboxed.output.AspectRatio, "720:576") << "the zoom mode sets its own aspect";
}

TEST_F(JobOptionsBuilderTest, VideoEncodersPresetsAndContainers) {
  struct Case {
    const char* encoder;
    const char* format;
    const char* codec;
    const char* preset;
    int target;
    int norm;
    const char* forced;
  };
  const Case cases[] = {
      {"libx264", "PSP", "libx264", "libx264-psp", 0, 0, "PSP"},
      {"libx264", "ipod", "libx264", "libx264-ipod", 0, 0, "ipod"},
      {"libx264", "ps3", "libx264", "libx264-ps3", 0, 0, ""},
      {"libx264", "mp4", "libx264", "libx264-mp4", 0, 0, ""},
      {"libx264", "null", "libx264", "libx264-mp4", 0, 0, ""},
      {"mpeg2video", "mpeg", "mpeg2video", "", 3, 0, ""},
      {"mpeg2video", "pal-vcd", "mpeg2video", "", 3, 1, ""},
      {"mpeg4", "MOV", "mpeg4", "", 0, 0, "MOV"},
      {"wmv2", "asf", "wmv2", "", 0, 0, "asf"},
      {"h263p", "3gp", "h263p", "", 0, 0, "3gp"},
      {"MPEG4", "mpegts", "", "", 0, 0, "mpegts"},
      {"wmv3", "avi", "", "", 0, 0, "avi"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.encoder) + " " + c.format);
    SetProfile(std::string("Format=") + c.format + "\n");
    SetUserSection(std::string("paraVideoEncoder=") + c.encoder +
                   "\nparaVideoSize=352x288\nparaAudioEncoder=mp2\n");
    const Built built = Build(SamplePath(Sample::kAviMpeg4Mp3), Job("full"));
    EXPECT_EQ(built.output.VideoCodec, c.codec);
    EXPECT_EQ(built.output.VideoPreset, c.preset);
    EXPECT_EQ(built.output.Target, c.target);
    EXPECT_EQ(built.output.TargetNorm, c.norm);
    EXPECT_EQ(built.output.ForceFormat, c.forced);
  }
}

TEST_F(JobOptionsBuilderTest, FrameRateAndSoundOfAVideoConversion) {
  struct Case {
    const char* frame_rate;  // nullptr: the key is missing
    const char* audio_encoder;
    const char* expected_rate;
    const char* expected_codec;
    bool audio_disabled;
  };
  const Case cases[] = {
      {"25", "mp2", "25", "mp2", false},
      {"23.976", "libamr_nb", "23.976", "libopencore_amrnb", false},
      {nullptr, "libmp3lame", "29.97", "libmp3lame", false},
      {"as source", " ", "", " ", true},
      {"0", "", "", "", true},
      {"fast", "ac3", "", "ac3", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.frame_rate ? c.frame_rate : "(missing)") + " '" + c.audio_encoder +
                 "'");
    SetUserSection(std::string("paraVideoEncoder=mpeg4\nparaVideoSize=as source\n") +
                   (c.frame_rate ? std::string("paraFrameRate=") + c.frame_rate + "\n" : "") +
                   "paraAudioEncoder=\"" + c.audio_encoder + "\"\n");
    const Built built = Build(SamplePath(Sample::kAviMpeg4Mp3), Job("full"));
    EXPECT_EQ(built.output.FrameRate, c.expected_rate);
    EXPECT_EQ(built.output.AudioCodec, c.expected_codec);
    EXPECT_EQ(built.output.DisableAudio, c.audio_disabled);
  }
}

}  // namespace
}  // namespace korvex::workflow
