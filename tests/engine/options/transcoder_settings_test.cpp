#include "engine/options/transcoder_settings.h"

#include <gtest/gtest.h>

namespace korvex::engine {
namespace {

TranscoderSettings UsedSettings() {
  TranscoderSettings s;
  s.forced_format = "avi";
  s.start_time = 5;
  s.input_ts_offset = 7;
  s.input_ts_scale[3] = 0.5;
  s.program_id = 2;
  s.video_channel = 1;
  s.pending_metadata.emplace_back("title", "x");
  s.stream_ids[0] = 9;
  s.frame_pix_fmt = AV_PIX_FMT_YUV422P;
  s.SetCodecName(AVMEDIA_TYPE_VIDEO, "mpeg4");
  s.SetCodecName(AVMEDIA_TYPE_AUDIO, "copy");
  s.video.disabled = true;
  s.video.language = "eng";
  s.video.bitstream_filters.push_back({"h264_mp4toannexb", ""});
  s.audio.language = "fre";
  s.video.codec_tag = 42;
  return s;
}

TEST(TranscoderSettings, AnInputConsumesItsOwnSettingsOnly) {
  TranscoderSettings s = UsedSettings();
  s.ConsumeInputSettings();
  EXPECT_EQ(s.forced_format, "");
  EXPECT_EQ(s.start_time, 0);
  EXPECT_EQ(s.input_ts_offset, 0);
  EXPECT_EQ(s.input_ts_scale[3], 0);
  EXPECT_FALSE(s.program_id.has_value());
  EXPECT_EQ(s.video_channel, 0);
  EXPECT_EQ(s.video.codec_name, "");
  EXPECT_FALSE(s.audio.stream_copy);
  // What outputs and their streams use stays.
  EXPECT_TRUE(s.video.disabled);
  EXPECT_EQ(s.video.language, "eng");
  EXPECT_EQ(s.pending_metadata.size(), 1u);
  EXPECT_EQ(s.stream_ids[0], 9);
}

TEST(TranscoderSettings, AnOutputAndItsStreamsConsumeTheirs) {
  TranscoderSettings s = UsedSettings();
  s.ConsumeOutputSettings();
  EXPECT_EQ(s.forced_format, "");
  EXPECT_TRUE(s.pending_metadata.empty());
  EXPECT_EQ(s.stream_ids[0], 0);
  EXPECT_EQ(s.video.codec_name, "mpeg4");

  s.ConsumeStreamSettings(AVMEDIA_TYPE_VIDEO);
  EXPECT_EQ(s.video.codec_name, "");
  EXPECT_FALSE(s.video.disabled);
  EXPECT_EQ(s.video.language, "");
  EXPECT_TRUE(s.video.bitstream_filters.empty());
  EXPECT_EQ(s.frame_pix_fmt, AV_PIX_FMT_NONE);
  EXPECT_EQ(s.video.codec_tag, 42u);  // a tag holds for every stream of the kind
  EXPECT_TRUE(s.audio.stream_copy);   // other kinds untouched
  EXPECT_EQ(s.audio.language, "fre");

  s.ConsumeStreamSettings(AVMEDIA_TYPE_AUDIO);
  EXPECT_FALSE(s.audio.stream_copy);
  EXPECT_EQ(s.audio.language, "");
}

}  // namespace
}  // namespace korvex::engine
