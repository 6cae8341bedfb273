#include "engine/options/option_dispatcher.h"

#include <gtest/gtest.h>

#include "captured_log.h"
#include "engine/engine_exception.h"
#include "option_test_task.h"

namespace korvex::engine {
namespace {

std::string ErrorOf(OptionTestTask& task, std::string_view name, std::string_view value) {
  try {
    task.Dispatch(name, value);
  } catch (const EngineException& e) {
    return e.what();
  }
  return "(accepted)";
}

TEST(OptionDispatcher, RefusedValuesRaiseTheirMessages) {
  const struct {
    std::string_view name, value, message;
  } cases[] = {
      {"qscale", "0", "qscale must be > 0.0 and <= 255"},
      {"qscale", "256", "qscale must be > 0.0 and <= 255"},
      {"qscale", "abc", "qscale must be > 0.0 and <= 255"},
      {"aspect", "16:0", "Incorrect aspect ratio specification."},
      {"aspect", "wide", "Incorrect aspect ratio specification."},
      {"padtop", "10", "Please use vfilters=pad"},
      {"padcolor", "000000", "Please use vfilters=pad"},
      {"threads", "2", "TODO: option - threads"},
      {"r", "fast", "Incorrect frame rate"},
      {"s", "big", "Incorrect frame size"},
      {"pix_fmt", "yuv999p", "Unknown pixel format requested: yuv999p"},
      {"sample_fmt", "s99", "Unknown sample format requested: s99"},
      {"vtag", "XVI", "video tag parameter must be 4 chars"},
      {"atag", "mp4a1", "audio tag parameter must be 4 chars"},
      {"stag", "", "subtitle tag parameter must be 4 chars"},
      {"pass", "3", "pass number can be only 1 or 2"},
      {"metadata", "title", "Missing ="},
      {"itsscale", "20:0.5", "stream index over MAX_STREAMS(20)"},
      {"streamid", "20:3", "stream index over MAX_STREAMS(20)"},
      {"streamid", ":3",
       "Invalid value \":3\" for option \"streamid\", required syntax is \"index:value\""},
      {"streamid",
       "1:", "Invalid value \"1:\" for option \"streamid\", required syntax is \"index:value\""},
      {"t", "soon", "Invalid duration specification for t: soon"},
      {"ss", "-x", "Invalid duration specification for ss: -x"},
      {"timestamp", "yesterday", "Invalid date specification for timestamp: yesterday"},
      {"intra_matrix", "1,2,3", "Syntax error in matrix \"1,2,3\" at coeff 2"},
      {"absf", "no_such_filter=x", "Unknown bitstream filter no_such_filter"},
      {"newvideo", "", "At least one output file must be specified"},
      {"target", "bluray", "Unknown target type"},
      {"vhook", "/no/such/module.so", "Failed to add video hook function: /no/such/module.so"},
  };
  for (const auto& c : cases) {
    OptionTestTask task;
    EXPECT_EQ(ErrorOf(task, c.name, c.value), c.message) << c.name << "=" << c.value;
  }
}

TEST(OptionDispatcher, AcceptedValuesReachTheSettings) {
  OptionTestTask task;
  TranscoderSettings& s = task.settings;
  const auto expect_accepted = [&task](std::string_view name, std::string_view value) {
    EXPECT_EQ(ErrorOf(task, name, value), "(accepted)") << name << "=" << value;
  };

  expect_accepted("qscale", "255");
  EXPECT_EQ(s.video_qscale, 255);
  expect_accepted("aspect", "1.7777");
  EXPECT_DOUBLE_EQ(s.frame_aspect_ratio, 1.7777);
  expect_accepted("aspect", "4:3");
  EXPECT_DOUBLE_EQ(s.frame_aspect_ratio, 4.0 / 3);
  expect_accepted("vtag", "XVID");
  EXPECT_EQ(s.video.codec_tag, MKTAG('X', 'V', 'I', 'D'));
  expect_accepted("r", "ntsc");
  EXPECT_EQ(av_cmp_q(s.frame_rate, AVRational{30000, 1001}), 0);
  expect_accepted("r", "12.5");
  EXPECT_EQ(av_cmp_q(s.frame_rate, AVRational{25, 2}), 0);
  expect_accepted("s", "vga");
  EXPECT_EQ(s.frame_width, 640);
  EXPECT_EQ(s.frame_height, 480);
  expect_accepted("t", "00:01:05.5");
  EXPECT_EQ(s.recording_time, 65500000);
  EXPECT_EQ(s.total_duration, 65500000);
  expect_accepted("timestamp", "2020-01-02T03:04:05Z");
  EXPECT_EQ(s.recording_timestamp, 1577934245);
  expect_accepted("itsscale", "2:0.5");
  EXPECT_EQ(s.input_ts_scale[2], 0.5);
  expect_accepted("streamid", "1:7");
  EXPECT_EQ(s.stream_ids[1], 7);
  expect_accepted("metadata", "title=A = B");
  ASSERT_EQ(s.pending_metadata.size(), 1u);
  EXPECT_EQ(s.pending_metadata[0], std::make_pair(std::string("title"), std::string("A = B")));
  expect_accepted("ar", "0");
  EXPECT_EQ(s.audio_sample_rate, 44100);
  expect_accepted("ar", "22050");
  EXPECT_EQ(s.audio_sample_rate, 22050);
  expect_accepted("vframes", "10");
  expect_accepted("aframes", "11");
  expect_accepted("dframes", "12");
  EXPECT_EQ(s.max_frames, (std::array<int, 4>{10, 11, 12, INT_MAX}));
  expect_accepted("copyts", "0");  // any value switches it on
  EXPECT_TRUE(s.copy_ts);
  expect_accepted("shortest", "0");
  EXPECT_FALSE(s.shortest);
  expect_accepted("vcodec", "copy");
  EXPECT_TRUE(s.video.stream_copy);
  expect_accepted("vcodec", "mpeg4");
  EXPECT_FALSE(s.video.stream_copy);
  EXPECT_EQ(s.video.codec_name, "mpeg4");
  expect_accepted("vbsf", "h264_mp4toannexb");
  ASSERT_EQ(s.video.bitstream_filters.size(), 1u);
  EXPECT_EQ(s.video.bitstream_filters[0].name, "h264_mp4toannexb");
  expect_accepted("programid", "3");
  EXPECT_EQ(s.program_id, 3);

  std::string coefficients;
  for (int i = 1; i <= 64; ++i) coefficients += std::to_string(i) + (i < 64 ? "," : "");
  expect_accepted("inter_matrix", coefficients);
  ASSERT_TRUE(s.inter_matrix.has_value());
  EXPECT_EQ((*s.inter_matrix)[0], 1);
  EXPECT_EQ((*s.inter_matrix)[63], 64);
}

TEST(OptionDispatcher, StreamMapsTakeAnySeparatorAndDefaultToSelfSync) {
  OptionTestTask task;
  task.Dispatch("map", "0.1");
  task.Dispatch("map", "1:2:0:0");
  task.Dispatch("map_meta_data", "0:1");
  const auto& maps = task.settings.stream_maps;
  ASSERT_EQ(maps.size(), 2u);
  EXPECT_EQ(std::tie(maps[0].file_index, maps[0].stream_index, maps[0].sync_file_index,
                     maps[0].sync_stream_index),
            std::make_tuple(0, 1, 0, 1));
  EXPECT_EQ(std::tie(maps[1].file_index, maps[1].stream_index, maps[1].sync_file_index,
                     maps[1].sync_stream_index),
            std::make_tuple(1, 2, 0, 0));
  ASSERT_EQ(task.settings.meta_data_maps.size(), 1u);
  EXPECT_EQ(task.settings.meta_data_maps[0].in_file, 1);
}

TEST(OptionDispatcher, CropBandsCheckAndShrinkTheFrame) {
  OptionTestTask task;
  CapturedLog log;
  task.settings.frame_width = 720;
  task.settings.frame_height = 576;
  task.Dispatch("croptop", "0");
  task.Dispatch("croptop", "-1");
  EXPECT_EQ(task.settings.frame_height, 576);
  EXPECT_FALSE(log.ContainsText("deprecated"));

  task.Dispatch("croptop", "8");
  task.Dispatch("cropbottom", "8");
  task.Dispatch("cropleft", "16");
  EXPECT_EQ(task.settings.frame_height, 560);
  EXPECT_EQ(task.settings.frame_width, 704);
  EXPECT_EQ(task.settings.crop_bottom, 8);
  EXPECT_EQ(task.settings.crop_left, 16);
  EXPECT_TRUE(log.Contains(llWarning, "CropXXX is deprecated in favor of the crop avfilter"));

  EXPECT_EQ(ErrorOf(task, "cropbottom", "560"),
            "Vertical crop dimensions are outside the range of the original image.\n"
            "Remember to crop first and scale second.");
  EXPECT_EQ(ErrorOf(task, "cropright", "704"),
            "Horizontal crop dimensions are outside the range of the original image.\n"
            "Remember to crop first and scale second.");
  EXPECT_EQ(task.settings.frame_height, 560);
}

TEST(OptionDispatcher, LoggingOptionsGoOn) {
  OptionTestTask task;
  CapturedLog log;
  task.Dispatch("formats", "1");
  task.Dispatch("timelimit", "10");
  task.Dispatch("f", "pgmyuv");
  EXPECT_TRUE(log.Contains(llInfo, "Do nothing: option - formats"));
  EXPECT_TRUE(log.Contains(llWarning, "Warning: -timelimit not implemented on Windows"));
  EXPECT_TRUE(log.Contains(llInfo, "pgmyuv format is deprecated, use image2"));
  EXPECT_EQ(task.settings.forced_format, "image2");
  EXPECT_TRUE(task.settings.pgmyuv_input);

  task.Dispatch("pix_fmt", "list");
  EXPECT_TRUE(log.Contains(llInfo, "yuv420p"));
  task.Dispatch("sample_fmt", "list");
  EXPECT_TRUE(log.Contains(llInfo, "fltp"));
}

TEST(OptionDispatcher, LowBitRatesWarnThatTheUnitIsBitsPerSecond) {
  const std::string warning =
      "WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s";
  const struct {
    std::string_view name, value;
    bool warns;
  } cases[] = {{"ab", "128", true},
               {"ab", "128000", false},
               {"b", "900", true},
               {"vb", "1000", false},
               {"vb", "64", true}};
  for (const auto& c : cases) {
    OptionTestTask task;
    CapturedLog log;
    task.Dispatch(c.name, c.value);
    EXPECT_EQ(log.Contains(llWarning, warning), c.warns) << c.name << "=" << c.value;
    const AVMediaType kind = c.name == "ab" ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO;
    EXPECT_EQ(task.options.CodingDefaults(kind).bit_rate, std::stoi(std::string(c.value)));
  }
}

TEST(OptionDispatcher, NewStreamOptionsAddToTheLastOutput) {
  OptionTestTask task;
  task.files.outputs = 1;
  task.Dispatch("newaudio", "");
  task.Dispatch("newvideo", "");
  task.Dispatch("newsubtitle", "");
  EXPECT_EQ(
      task.files.added_streams,
      (std::vector<AVMediaType>{AVMEDIA_TYPE_AUDIO, AVMEDIA_TYPE_VIDEO, AVMEDIA_TYPE_SUBTITLE}));
}

TEST(OptionDispatcher, OtherNamesGoToTheGenericSetterAndRefusalsAreIgnored) {
  OptionTestTask task;
  task.Dispatch("g", "12");
  EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_VIDEO).gop_size, 12);
  EXPECT_NO_THROW(task.Dispatch("no_such_option", "1"));
  EXPECT_NO_THROW(task.Dispatch("g", "twelve"));
  EXPECT_EQ(task.options.CodingDefaults(AVMEDIA_TYPE_VIDEO).gop_size, 12);
}

}  // namespace
}  // namespace korvex::engine
