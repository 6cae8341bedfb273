#include "engine/options/target_presets.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/pixdesc.h>
}

#include "captured_log.h"
#include "engine/engine_exception.h"
#include "option_test_task.h"

namespace korvex::engine {
namespace {

TEST(TargetPresets, TheNormFollowsTheFrameRateThenTheInputsThenTheDefault) {
  const struct {
    const char* label;
    AVRational frame_rate;
    std::vector<AVRational> inputs;
    std::string_view norm, default_norm;
    int width, height, gop;
    AVRational expected_rate;
  } cases[] = {
      {"25 fps input", {25, 1}, {}, "auto", "ntsc", 720, 576, 15, {25, 1}},
      {"29.97 fps input", {30000, 1001}, {}, "auto", "pal", 720, 480, 18, {30000, 1001}},
      {"23.976 fps is NTSC", {24000, 1001}, {}, "auto", "pal", 720, 480, 18, {30000, 1001}},
      {"odd rate, PAL stream", {15, 1}, {{1, 10}, {1, 25}}, "auto", "ntsc", 720, 576, 15, {25, 1}},
      {"odd rate, NTSC stream",
       {15, 1},
       {{1001, 30000}},
       "auto",
       "pal",
       720,
       480,
       18,
       {30000, 1001}},
      {"odd rate, default pal", {15, 1}, {{1, 15}}, "auto", "pal", 720, 576, 15, {25, 1}},
      {"odd rate, default ntsc", {15, 1}, {}, "auto", "ntsc", 720, 480, 18, {30000, 1001}},
      {"odd rate, default film", {15, 1}, {}, "auto", "film", 720, 480, 18, {24000, 1001}},
      {"named pal", {30000, 1001}, {}, "pal", "ntsc", 720, 576, 15, {25, 1}},
      {"named film", {25, 1}, {}, "film", "pal", 720, 480, 18, {24000, 1001}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    OptionTestTask task;
    task.settings.frame_rate = c.frame_rate;
    task.files.input_time_bases = c.inputs;
    ApplyTarget(task.dispatcher, "dvd", c.norm, c.default_norm);
    EXPECT_EQ(task.settings.frame_width, c.width);
    EXPECT_EQ(task.settings.frame_height, c.height);
    EXPECT_EQ(av_cmp_q(task.settings.frame_rate, c.expected_rate), 0);
    EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_VIDEO).gop_size, c.gop);
  }
}

TEST(TargetPresets, DetectionNeedsAFrameRate) {
  OptionTestTask task;
  EXPECT_THROW(
      {
        try {
          ApplyTarget(task.dispatcher, "vcd", "auto", "pal");
        } catch (const EngineException& e) {
          EXPECT_STREQ(e.what(), "frame_rate is invalid.");
          throw;
        }
      },
      EngineException);
  // A named norm needs no frame rate.
  EXPECT_NO_THROW(ApplyTarget(task.dispatcher, "vcd", "ntsc", "pal"));
}

TEST(TargetPresets, DiscTargetsSetCodecsFormatRatesAndLog) {
  OptionTestTask task;
  CapturedLog log;
  task.settings.frame_rate = {25, 1};
  task.settings.audio_channels = 1;
  ApplyTarget(task.dispatcher, "svcd", "auto", "pal");
  const TranscoderSettings& s = task.settings;
  EXPECT_EQ(s.video.codec_name, "mpeg2video");
  EXPECT_EQ(s.audio.codec_name, "mp2");
  EXPECT_EQ(s.forced_format, "svcd");
  EXPECT_EQ(s.frame_width, 480);
  EXPECT_EQ(s.audio_channels, 2);
  EXPECT_EQ(s.audio_sample_rate, 44100);
  EXPECT_DOUBLE_EQ(s.frame_aspect_ratio, 4.0 / 3);
  EXPECT_TRUE(log.Contains(llVerbose, "Assuming PAL for target."));
  EXPECT_TRUE(log.Contains(llInfo, "Assuming 4:3 for aspect ratio"));
  const DictionaryPtr video = task.options.CodecOptions(AVMEDIA_TYPE_VIDEO);
  EXPECT_EQ(DictionaryValue(video, "b"), "2040000");
  EXPECT_EQ(DictionaryValue(video, "maxrate"), "2516000");
  EXPECT_EQ(DictionaryValue(video, "scan_offset"), "1");
  EXPECT_EQ(DictionaryValue(task.options.CodecOptions(AVMEDIA_TYPE_AUDIO), "b"), "224000");
  EXPECT_EQ(DictionaryValue(task.options.FormatOptions(), "packetsize"), "2324");

  OptionTestTask dvd;
  CapturedLog dvd_log;
  dvd.settings.frame_aspect_ratio = 4.0 / 3;
  ApplyTarget(dvd.dispatcher, "dvd", "ntsc", "pal");
  EXPECT_EQ(dvd.settings.audio.codec_name, "ac3");
  EXPECT_EQ(dvd.settings.audio_sample_rate, 48000);
  EXPECT_DOUBLE_EQ(dvd.settings.frame_aspect_ratio, 4.0 / 3);  // a set aspect stays
  EXPECT_FALSE(dvd_log.ContainsText("for aspect ratio"));
  EXPECT_EQ(DictionaryValue(dvd.options.FormatOptions(), "muxrate"), "10080000");

  OptionTestTask vcd;
  ApplyTarget(vcd.dispatcher, "vcd", "pal", "pal");
  EXPECT_DOUBLE_EQ(vcd.settings.mux_preload, 0.44);
  EXPECT_EQ(DictionaryValue(vcd.options.CodecOptions(AVMEDIA_TYPE_VIDEO), "minrate"), "1150000");
}

TEST(TargetPresets, CamcorderTargetsPickThePixelFormatByNorm) {
  const struct {
    std::string_view option_value;
    const char* pixel_format;
    int height;
  } cases[] = {{"pal-dv", "yuv420p", 576},
               {"ntsc-dv", "yuv411p", 480},
               {"film-dv", "yuv411p", 480},
               {"pal-dv50", "yuv422p", 576},
               {"ntsc-dv50", "yuv422p", 480}};
  for (const auto& c : cases) {
    OptionTestTask task;
    task.Dispatch("target", c.option_value);
    EXPECT_EQ(task.settings.frame_pix_fmt, av_get_pix_fmt(c.pixel_format)) << c.option_value;
    EXPECT_EQ(task.settings.frame_height, c.height) << c.option_value;
    EXPECT_EQ(task.settings.forced_format, "dv");
    EXPECT_EQ(task.settings.audio_sample_rate, 48000);
  }
}

// The options a disc target leaves for its encoders are ones the encoders accept.
TEST(TargetPresets, DiscTargetEncodersOpenWithTheTargetsOptions) {
  for (const char* target : {"vcd", "svcd", "dvd"}) {
    SCOPED_TRACE(target);
    OptionTestTask task;
    ApplyTarget(task.dispatcher, target, "pal", "pal");
    const TranscoderSettings& s = task.settings;

    const AVCodec* video_codec = avcodec_find_encoder_by_name(s.video.codec_name.c_str());
    ASSERT_NE(video_codec, nullptr);
    CodecContextPtr video(avcodec_alloc_context3(video_codec));
    task.options.ApplyCodecOptions(video.get(), AVMEDIA_TYPE_VIDEO);
    video->width = s.frame_width;
    video->height = s.frame_height;
    video->time_base = av_inv_q(s.frame_rate);
    video->framerate = s.frame_rate;
    video->pix_fmt = AV_PIX_FMT_YUV420P;
    EXPECT_EQ(avcodec_open2(video.get(), video_codec, nullptr), 0);

    const AVCodec* audio_codec = avcodec_find_encoder_by_name(s.audio.codec_name.c_str());
    ASSERT_NE(audio_codec, nullptr);
    CodecContextPtr audio(avcodec_alloc_context3(audio_codec));
    task.options.ApplyCodecOptions(audio.get(), AVMEDIA_TYPE_AUDIO);
    audio->sample_rate = s.audio_sample_rate;
    av_channel_layout_default(&audio->ch_layout, s.audio_channels);
    audio->sample_fmt = audio_codec->sample_fmts[0];
    audio->time_base = {1, s.audio_sample_rate};
    EXPECT_EQ(avcodec_open2(audio.get(), audio_codec, nullptr), 0);
    EXPECT_EQ(audio->bit_rate, std::string_view(target) == "dvd" ? 448000 : 224000);
  }
}

}  // namespace
}  // namespace korvex::engine
