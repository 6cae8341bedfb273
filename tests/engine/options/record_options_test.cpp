#include "engine/options/record_options.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "captured_log.h"
#include "engine/engine_exception.h"
#include "option_test_task.h"
#include "support/temp_environment.h"

namespace korvex::engine {
namespace {

std::string OutputError(OptionTestTask& task, const TOutputOptions& output) {
  try {
    ApplyOutputOptions(output, task.dispatcher);
  } catch (const EngineException& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(OutputRecord, AlwaysAppliedFieldsWinOverTheOptionText) {
  TOutputOptions output;
  output.ExtOptions =
      "async=1<CRLF>vsync=2<CRLF>isync=1<CRLF>alang=fre<CRLF>vlang=ger<CRLF>slang=ita";
  output.VideoSync = 0;
  output.VideoLanguage = "eng";
  OptionTestTask task;
  ApplyOutputOptions(output, task.dispatcher);
  EXPECT_EQ(task.settings.audio_sync_method, 0);
  EXPECT_EQ(task.settings.video_sync_method, 0);
  EXPECT_FALSE(task.settings.input_sync);
  EXPECT_EQ(task.settings.audio.language, "");
  EXPECT_EQ(task.settings.video.language, "eng");
  EXPECT_EQ(task.settings.subtitle.language, "");
}

TEST(OutputRecord, TheRecordsCodecComesFirstAndTheTextFillsTheGap) {
  const struct {
    std::string record_codec;
    std::string expected;
  } cases[] = {{"", "mpeg4"}, {"libx264", "libx264"}};
  for (const auto& c : cases) {
    TOutputOptions output;
    output.VideoCodec = c.record_codec;
    output.ExtOptions = "vcodec=mpeg4\nvcodec=mjpeg\nacodec=";
    OptionTestTask task;
    const OutputPresetList list = ApplyOutputOptions(output, task.dispatcher);
    EXPECT_EQ(task.settings.video.codec_name, c.expected);
    EXPECT_EQ(list.Value("def_vcodec"), c.expected);
    // Every codec line is kept for the streams the text adds; the empty one is not.
    EXPECT_EQ(list.Entries().size(), 10u);
    EXPECT_EQ(list.Value("vcodec"), "mpeg4");
    EXPECT_EQ(list.Value("acodec"), "");
  }
}

TEST(OutputRecord, PresetListEntriesAreTakenInOrder) {
  TOutputOptions output;
  output.ExtOptions = "vcodec=mpeg4\nvfilters=hflip\nvcodec=mjpeg";
  OptionTestTask task;
  OutputPresetList list = ApplyOutputOptions(output, task.dispatcher);
  EXPECT_EQ(task.settings.filters, "hflip");  // "vfilters" counts as "vf"
  std::string value;
  ASSERT_TRUE(list.TakeFirst("vcodec", value));
  EXPECT_EQ(value, "mpeg4");
  ASSERT_TRUE(list.TakeFirst("vcodec", value));
  EXPECT_EQ(value, "mjpeg");
  EXPECT_FALSE(list.TakeFirst("vcodec", value));
  ASSERT_TRUE(list.TakeFirst("vf", value));
  EXPECT_EQ(value, "hflip");
}

TEST(OutputRecord, FrameSizeComesFromTheRecordBeforeTheText) {
  const struct {
    std::string record_size, text, expected;
  } cases[] = {{"", "s=320x240", "320x240"}, {"640x480", "s=320x240", "640x480"}, {"", "", "0x0"}};
  for (const auto& c : cases) {
    TOutputOptions output;
    output.FrameSize = c.record_size;
    output.ExtOptions = c.text;
    OptionTestTask task;
    ApplyOutputOptions(output, task.dispatcher);
    EXPECT_EQ(std::to_string(task.settings.frame_width) + "x" +
                  std::to_string(task.settings.frame_height),
              c.expected);
  }
}

TEST(OutputRecord, FieldsApplyByTheirRules) {
  TOutputOptions output;
  output.PacketSize = 2048;
  output.MuxDelay = 0.25f;
  output.AudioVolume = 0;
  output.AudioChannels = 1;
  output.AudioSampleRate = -1;
  output.AudioBitrate = 128;  // a plain generic option: no low bit-rate warning
  output.AudioBitrateTolerance = 4000;
  output.VideoBitrate = 800000;
  output.GOPSize = 12;
  output.VideoMaxRate = 900000;
  output.VideoTag = "XVID";
  output.DisableSubtitle = true;
  output.StartTime = 1500000;
  output.Duration = 5000000;
  OptionTestTask task;
  CapturedLog log;
  ApplyOutputOptions(output, task.dispatcher);
  const TranscoderSettings& s = task.settings;
  EXPECT_DOUBLE_EQ(s.mux_max_delay, 0.25);
  EXPECT_DOUBLE_EQ(s.mux_preload, 0.5);
  EXPECT_EQ(s.audio_volume, 0);
  EXPECT_EQ(s.audio_channels, 1);
  EXPECT_EQ(s.audio_sample_rate, 44100);
  EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_AUDIO).bit_rate, 128);
  EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_AUDIO).bit_rate_tolerance, 4000);
  EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_VIDEO).bit_rate, 800000);
  EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_VIDEO).gop_size, 12);
  EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_VIDEO).rc_max_rate, 900000);
  EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_AUDIO).rc_max_rate, 0);
  EXPECT_EQ(DictionaryValue(task.options.FormatOptions(), "packetsize"), "2048");
  EXPECT_EQ(s.video.codec_tag, MKTAG('X', 'V', 'I', 'D'));
  EXPECT_TRUE(s.subtitle.disabled);
  EXPECT_FALSE(s.audio.disabled);
  EXPECT_EQ(s.start_time, 1500000);
  EXPECT_EQ(s.recording_time, 5000000);
  EXPECT_EQ(s.total_duration, 5000000);
  EXPECT_FALSE(log.ContainsText("bitrate parameter"));
}

TEST(OutputRecord, CropFieldsAreCheckedAgainstTheFrame) {
  const struct {
    int crop_top;
    std::string error;
    int height;
  } cases[] = {{576,
                "Vertical crop dimensions are outside the range of the original image.\n"
                "Remember to crop first and scale second.",
                576},
               {0, "(accepted)", 576},
               {-1, "(accepted)", 576},
               {8, "(accepted)", 568}};
  for (const auto& c : cases) {
    OptionTestTask task;
    task.settings.frame_width = 720;
    task.settings.frame_height = 576;
    TOutputOptions output;
    output.CropTop = c.crop_top;
    EXPECT_EQ(OutputError(task, output), c.error) << c.crop_top;
    EXPECT_EQ(task.settings.frame_height, c.height) << c.crop_top;
  }
}

TEST(OutputRecord, FailuresCarryTheOptionsMessage) {
  const struct {
    const char* label;
    void (*fill)(TOutputOptions&);
    std::string error;
  } cases[] = {
      {"threads", [](TOutputOptions& o) { o.ExtOptions = "threads=2"; }, "TODO: option - threads"},
      {"missing preset file", [](TOutputOptions& o) { o.VideoPreset = "/no/such/preset.ffpreset"; },
       "Preset \"/no/such/preset.ffpreset\" not found"},
      {"bad tag", [](TOutputOptions& o) { o.AudioTag = "mp4"; },
       "audio tag parameter must be 4 chars"},
      {"bad rate", [](TOutputOptions& o) { o.FrameRate = "x"; }, "Incorrect frame rate"},
  };
  for (const auto& c : cases) {
    OptionTestTask task;
    TOutputOptions output;
    c.fill(output);
    EXPECT_EQ(OutputError(task, output), c.error) << c.label;
  }
}

TEST(OutputRecord, AKindPresetIsCompletedWithTheCodecName) {
  TOutputOptions output;
  output.VideoCodec = "libx264";
  output.VideoPreset = "ipod";
  OptionTestTask task;
  ApplyOutputOptions(output, task.dispatcher);
  const DictionaryPtr video = task.options.CodecOptions(AVMEDIA_TYPE_VIDEO);
  EXPECT_EQ(DictionaryValue(video, "maxrate"), "1250000");
  EXPECT_EQ(DictionaryValue(video, "b"), "1000000");
}

TEST(OutputRecord, TargetFieldsPickTargetAndNorm) {
  const struct {
    int target, norm, default_norm;
    AVRational input_rate;
    const char* format;
    int height;
  } cases[] = {{3, 0, 1, {25, 1}, "dvd", 576},        {3, 0, 1, {30000, 1001}, "dvd", 480},
               {3, 0, 1, {15, 1}, "dvd", 576},        {3, 0, 2, {15, 1}, "dvd", 480},
               {1, 2, 1, {25, 1}, "vcd", 240},        {2, 1, 2, {30000, 1001}, "svcd", 576},
               {2, 7, 1, {30000, 1001}, "svcd", 480}, {0, 1, 1, {25, 1}, "", 0}};
  for (const auto& c : cases) {
    OptionTestTask task;
    task.settings.frame_rate = c.input_rate;
    TOutputOptions output;
    output.Target = c.target;
    output.TargetNorm = c.norm;
    output.TargetDefaultNorm = c.default_norm;
    ApplyOutputOptions(output, task.dispatcher);
    EXPECT_EQ(task.settings.forced_format, c.format) << c.target << "/" << c.norm;
    EXPECT_EQ(task.settings.frame_height, c.height) << c.target << "/" << c.norm;
  }
}

class LocalZone : public ::testing::Test {
 protected:
  void SetZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }
  void TearDown() override {
    if (saved_) {
      setenv("TZ", saved_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  std::optional<std::string> saved_ =
      std::getenv("TZ") ? std::optional<std::string>(std::getenv("TZ")) : std::nullopt;
};

TEST_F(LocalZone, MetadataStampsAndTagsTheOutput) {
  SetZone("CET-1");
  EXPECT_EQ(UnixTimeOfLocalDays(25569.5), 43200 - 3600);
  SetZone("UTC0");
  EXPECT_EQ(UnixTimeOfLocalDays(25569.5), 43200);
  EXPECT_EQ(UnixTimeOfLocalDays(43831.25), 1577836800 + 6 * 3600);  // 2020-01-01 06:00

  const struct {
    double timestamp;
    bool stamped_now;
    int64_t expected;
  } cases[] = {{0, true, 0}, {-1, false, 0}, {25569.5, false, 43200}};
  for (const auto& c : cases) {
    OptionTestTask task;
    TOutputOptions output;
    output.Metadata.Timestamp = c.timestamp;
    const int64_t before = std::time(nullptr);
    ApplyOutputOptions(output, task.dispatcher);
    if (c.stamped_now) {
      EXPECT_GE(task.settings.recording_timestamp, before);
      EXPECT_LE(task.settings.recording_timestamp, std::time(nullptr));
    } else {
      EXPECT_EQ(task.settings.recording_timestamp, c.expected);
    }
  }

  OptionTestTask task;
  TOutputOptions output;
  output.Metadata.Year = 2009;
  output.Metadata.Track = 0;
  output.Metadata.Title = "Über";
  output.Metadata.Genre = "Rock";
  output.ExtOptions = "metadata=comment=from text";
  ApplyOutputOptions(output, task.dispatcher);
  using Tag = std::pair<std::string, std::string>;
  EXPECT_EQ(task.settings.pending_metadata,
            (std::vector<Tag>{
                {"comment", "from text"}, {"year", "2009"}, {"title", "Über"}, {"genre", "Rock"}}));
}

TEST(InputRecord, OptionTextThenFormatStartAndProgram) {
  TInputOptions input;
  input.ExtOptions = "vf=hflip\nvcodec=h264\nitsoffset=2\nnewvideo=\nss=3";
  input.ForceFormat = "avi";
  input.StartTime = 1000000;
  input.ProgramID = 0;
  OptionTestTask task;
  ApplyInputOptions(input, task.dispatcher);
  const TranscoderSettings& s = task.settings;
  EXPECT_EQ(s.filters, "");  // the graph belongs to outputs
  EXPECT_EQ(s.video.codec_name, "h264");
  EXPECT_EQ(s.input_ts_offset, 2000000);
  EXPECT_EQ(s.forced_format, "avi");
  EXPECT_EQ(s.start_time, 1000000);  // the record wins over the text's "ss"
  EXPECT_EQ(s.program_id, 0);

  TInputOptions unset;
  OptionTestTask plain;
  ApplyInputOptions(unset, plain.dispatcher);
  EXPECT_EQ(plain.settings.start_time, 0);
  EXPECT_FALSE(plain.settings.program_id.has_value());
}

}  // namespace
}  // namespace korvex::engine
