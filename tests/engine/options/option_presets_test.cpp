#include "engine/options/option_presets.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/opt.h>
}

#include <cstring>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "dictionary_contents.h"
#include "engine/engine_exception.h"
#include "engine/options/transcoder_settings.h"
#include "engine/options/user_options.h"
#include "support/temp_environment.h"

namespace korvex::engine {
namespace {

Pairs VideoPairs(const UserOptions& options) {
  return DictionaryPairs(options.CodecOptions(AVMEDIA_TYPE_VIDEO));
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
    lines.emplace_back(text.substr(start, end - start));
  }
  lines.emplace_back(text.substr(start));
  return lines;
}

// The message ApplyPreset raises, or "" when it applies.
std::string ApplyError(std::string_view option, std::string_view value,
                       TranscoderSettings& settings, UserOptions& options) {
  try {
    ApplyPreset(option, value, settings, options);
    return "";
  } catch (const EngineException& error) {
    return error.what();
  }
}

TEST(BuiltinPresets, AreTheFortyNamesInTheirOrderFoundIgnoringCase) {
  const char* const names[] = {"libx264-baseline",
                               "libx264-default",
                               "libx264-fast",
                               "libx264-fast_firstpass",
                               "libx264-faster",
                               "libx264-faster_firstpass",
                               "libx264-fastfirstpass",
                               "libx264-hq",
                               "libx264-ipod320",
                               "libx264-ipod640",
                               "libx264-lossless_fast",
                               "libx264-lossless_max",
                               "libx264-lossless_medium",
                               "libx264-lossless_slow",
                               "libx264-lossless_slower",
                               "libx264-lossless_ultrafast",
                               "libx264-main",
                               "libx264-max",
                               "libx264-medium",
                               "libx264-medium_firstpass",
                               "libx264-normal",
                               "libx264-placebo",
                               "libx264-placebo_firstpass",
                               "libx264-slow",
                               "libx264-slow_firstpass",
                               "libx264-slower",
                               "libx264-slower_firstpass",
                               "libx264-slowfirstpass",
                               "libx264-superfast",
                               "libx264-superfast_firstpass",
                               "libx264-ultrafast",
                               "libx264-ultrafast_firstpass",
                               "libx264-veryfast",
                               "libx264-veryfast_firstpass",
                               "libx264-veryslow",
                               "libx264-veryslow_firstpass",
                               "libx264-psp",
                               "libx264-ps3",
                               "libx264-ipod",
                               "libx264-mp4"};
  const std::span<const TOptionsPreset> presets = BuiltinPresets();
  ASSERT_EQ(presets.size(), std::size(names));
  for (size_t i = 0; i < presets.size(); ++i) EXPECT_EQ(presets[i].name, names[i]) << i;

  EXPECT_EQ(FindBuiltinPreset("LIBX264-Fast"), &presets[2]);
  EXPECT_EQ(FindBuiltinPreset("libx264-mp4"), &presets[39]);
  EXPECT_EQ(FindBuiltinPreset("libx264-fas"), nullptr);
  EXPECT_EQ(FindBuiltinPreset("fast"), nullptr);
}

// The device presets line by line; nullptr = no such line in that preset.
TEST(BuiltinPresets, DevicePresetsCarryTheirLinesInOrder) {
  struct Row {
    const char* name;
    const char* psp;
    const char* ps3;
    const char* ipod;
    const char* mp4;
  };
  const Row rows[] = {
      {"coder", "1", "1", "0", "1"},
      {"flags", "+loop", "+loop", "+loop", "+loop"},
      {"level", "30", "30", "30", "30"},
      {"cmp", "+chroma", "+chroma", "+chroma", "+chroma"},
      {"partitions", "i4x4,i8x8,p8x8,b8x8", "i4x4,i8x8,p8x8,b8x8", "i4x4,i8x8,p8x8",
       "i4x4,i8x8,p8x8,b8x8"},
      {"me_method", "umh", "umh", "umh", "umh"},
      {"subq", "7", "7", "7", "7"},
      {"me_range", "16", "16", "16", "16"},
      {"g", "250", "250", "250", "250"},
      {"keyint_min", "25", "25", "25", "25"},
      {"sc_threshold", "40", "40", "40", "40"},
      {"i_qfactor", "0.71", "0.71", "0.71", "0.71"},
      {"b_strategy", "1", "1", "1", "1"},
      {"qcomp", "0.6", "0.6", "0.6", "0.6"},
      {"qmin", "10", "10", "10", "10"},
      {"qmax", "51", "51", "51", "51"},
      {"qdiff", "4", "4", "4", "4"},
      {"bf", "3", "3", nullptr, "3"},
      {"refs", "1", "1", "1", "1"},
      {"direct-pred", "spatial", "spatial", "spatial", "spatial"},
      {"trellis", "2", "2", "2", "2"},
      {"b", "1250000", nullptr, "1000000", "1250000"},
      {"maxrate", "1500000", "3500000", "1250000", "1500000"},
      {"bufsize", "4000000", "4000000", "4000000", "4000000"},
      {"bt", "256000", "256000", "256000", "256000"},
      {"sc_threshold", "40", "40", "40", "40"},
  };
  const std::pair<const char*, const char * Row::*> devices[] = {{"libx264-psp", &Row::psp},
                                                                 {"libx264-ps3", &Row::ps3},
                                                                 {"libx264-ipod", &Row::ipod},
                                                                 {"libx264-mp4", &Row::mp4}};
  for (const auto& [preset_name, column] : devices) {
    std::vector<std::string> expected;
    for (const Row& row : rows) {
      if (row.*column != nullptr) expected.push_back(std::string(row.name) + "=" + row.*column);
    }
    const TOptionsPreset* preset = FindBuiltinPreset(preset_name);
    ASSERT_NE(preset, nullptr) << preset_name;
    EXPECT_EQ(Lines(preset->text), expected) << preset_name;
  }
}

struct SpsFacts {
  int profile_idc = -1;
  int level_idc = -1;
};

// profile_idc and level_idc of the first sequence parameter set in an Annex B stream.
SpsFacts FirstSps(const std::vector<uint8_t>& stream) {
  for (size_t i = 0; i + 6 < stream.size(); ++i) {
    if (stream[i] == 0 && stream[i + 1] == 0 && stream[i + 2] == 1 && (stream[i + 3] & 0x1f) == 7) {
      return {stream[i + 4], stream[i + 6]};
    }
  }
  return {};
}

// Sends two small grey frames and drains the encoder; returns everything it wrote.
void EncodeTwoFrames(AVCodecContext* encoder, std::vector<uint8_t>& stream) {
  FramePtr frame(av_frame_alloc());
  PacketPtr packet(av_packet_alloc());
  ASSERT_TRUE(frame && packet);
  frame->format = encoder->pix_fmt;
  frame->width = encoder->width;
  frame->height = encoder->height;
  ASSERT_GE(av_frame_get_buffer(frame.get(), 0), 0);
  int packets = 0;
  auto drain = [&] {
    while (avcodec_receive_packet(encoder, packet.get()) >= 0) {
      stream.insert(stream.end(), packet->data, packet->data + packet->size);
      ++packets;
      av_packet_unref(packet.get());
    }
  };
  for (int n = 0; n < 2; ++n) {
    ASSERT_GE(av_frame_make_writable(frame.get()), 0);
    for (int plane = 0; plane < 3; ++plane) {
      const int rows = plane == 0 ? frame->height : frame->height / 2;
      memset(frame->data[plane], plane == 0 ? 100 + 20 * n : 128,
             static_cast<size_t>(frame->linesize[plane]) * rows);
    }
    frame->pts = n;
    ASSERT_GE(avcodec_send_frame(encoder, frame.get()), 0);
    drain();
  }
  ASSERT_GE(avcodec_send_frame(encoder, nullptr), 0);
  drain();
  EXPECT_GE(packets, 1);
}

// Every built-in preset, asked for by its short name with libx264 as the video codec, sets only
// options that a libx264 encoder context knows, and the encoder opens and encodes with them. The
// presets meant for a profile or level make x264 write it into the stream.
TEST(BuiltinPresets, EveryPresetOpensLibx264) {
  const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
  ASSERT_NE(codec, nullptr);
  const std::map<std::string, SpsFacts> expected_sps = {{"baseline", {66, -1}},
                                                        {"main", {77, -1}},
                                                        {"ipod320", {66, 13}},
                                                        {"ipod640", {66, 30}},
                                                        {"lossless_fast", {244, -1}},
                                                        {"lossless_max", {244, -1}},
                                                        {"lossless_medium", {244, -1}},
                                                        {"lossless_slow", {244, -1}},
                                                        {"lossless_slower", {244, -1}},
                                                        {"lossless_ultrafast", {244, -1}},
                                                        {"psp", {-1, 30}},
                                                        {"ps3", {-1, 30}},
                                                        {"ipod", {-1, 30}},
                                                        {"mp4", {-1, 30}}};

  for (const TOptionsPreset& preset : BuiltinPresets()) {
    const std::string short_name(preset.name.substr(std::string_view("libx264-").size()));
    SCOPED_TRACE(short_name);
    TranscoderSettings settings;
    settings.SetCodecName(AVMEDIA_TYPE_VIDEO, "libx264");
    UserOptions options;
    ASSERT_EQ(ApplyError("vpre", short_name, settings, options), "");

    CodecContextPtr encoder(avcodec_alloc_context3(codec));
    encoder->width = 64;
    encoder->height = 48;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = {1, 25};
    encoder->framerate = {25, 1};
    options.ApplyCodecOptions(encoder.get(), AVMEDIA_TYPE_VIDEO);

    AVDictionary* leftover = options.CodecOptions(AVMEDIA_TYPE_VIDEO).release();
    ASSERT_NE(leftover, nullptr);
    EXPECT_GE(av_opt_set_dict2(encoder.get(), &leftover, AV_OPT_SEARCH_CHILDREN), 0);
    const DictionaryPtr unapplied(leftover);
    EXPECT_EQ(av_dict_count(unapplied.get()), 0);

    ASSERT_EQ(avcodec_open2(encoder.get(), codec, nullptr), 0);
    std::vector<uint8_t> stream;
    EncodeTwoFrames(encoder.get(), stream);
    const SpsFacts sps = FirstSps(stream);
    ASSERT_NE(sps.profile_idc, -1);
    if (const auto it = expected_sps.find(short_name); it != expected_sps.end()) {
      if (it->second.profile_idc != -1) {
        EXPECT_EQ(sps.profile_idc, it->second.profile_idc);
      }
      if (it->second.level_idc != -1) {
        EXPECT_EQ(sps.level_idc, it->second.level_idc);
      }
    }
  }
}

class PresetLookupTest : public korvex::testing::TempEnvironment {};

// Built-ins by name or by the kind's codec name and the name, ignoring case; anything else is a
// file name.
TEST_F(PresetLookupTest, FindsBuiltinsByNameOrCodecNameElseAFile) {
  struct Case {
    const char* option;
    std::string value;
    const char* video_codec;
    const char* audio_codec;
    std::pair<std::string, std::string> expected_pair;  // in the video options
    std::string error;
  };
  const std::string missing = Root() + "/missing.ffpreset";
  const Case cases[] = {
      {"vpre", "LIBX264-Fast", "", "", {"preset", "fast"}, ""},
      {"vpre", "ipod", "libx264", "", {"maxrate", "1250000"}, ""},
      {"vpre", "IPOD320", "libx264", "", {"maxrate", "768000"}, ""},
      {"apre", "Ultrafast", "", "libx264", {"preset", "ultrafast"}, ""},
      {"vpre", "fast", "", "", {}, "Preset \"fast\" not found"},
      {"vpre", "fast", "", "libx264", {}, "Preset \"fast\" not found"},
      {"vpre", "fast", "mpeg4", "", {}, "Preset \"fast\" not found"},
      {"fpre", "libx264-fast", "", "", {}, "Preset \"libx264-fast\" not found"},
      {"vpre", missing, "", "", {}, "Preset \"" + missing + "\" not found"},
      {"vpre", Root(), "", "", {}, "Preset \"" + Root() + "\" not found"},  // a folder
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.option + std::string("=") + c.value);
    TranscoderSettings settings;
    settings.SetCodecName(AVMEDIA_TYPE_VIDEO, c.video_codec);
    settings.SetCodecName(AVMEDIA_TYPE_AUDIO, c.audio_codec);
    UserOptions options;
    EXPECT_EQ(ApplyError(c.option, c.value, settings, options), c.error);
    if (c.error.empty()) {
      EXPECT_EQ(VideoPairs(options)[c.expected_pair.first], c.expected_pair.second);
    }
  }
}

TEST_F(PresetLookupTest, APresetFileSetsCodecsAndOptionsLineByLine) {
  const std::string path = Root() + "/präsets/my fast.ffpreset";
  WriteFile(path,
            "\r\n  vcodec = libx264 \r\ng=25\r\n\r\n b = 1M \rbf=2\nACodec=aac\r\nscodec=copy\r\n");
  TranscoderSettings settings;
  UserOptions options;
  EXPECT_EQ(ApplyError("fpre", path, settings, options), "");
  EXPECT_EQ(settings.video.codec_name, "libx264");
  EXPECT_EQ(settings.audio.codec_name, "aac");
  EXPECT_TRUE(settings.subtitle.stream_copy);
  EXPECT_EQ(VideoPairs(options), (Pairs{{"g", "25"}, {"b", "1M"}, {"bf", "2"}}));
  EXPECT_EQ(options.UserOptionNames(), (std::vector<std::string>{"g", "b", "bf"}));
}

// A bad line ends the preset with a message naming the preset (the value given) and the line;
// the lines before it have been applied.
TEST_F(PresetLookupTest, ABadLineRaisesItsMessage) {
  const std::string path = Root() + "/bad.ffpreset";
  const std::pair<const char*, std::string> cases[] = {
      {"g=25\r\nnoequals\r\n", path + ": Invalid syntax: \"noequals\""},
      {"g=25\n = 5", path + ": Invalid syntax: \"= 5\""},
      {"g=25\rg =  \r", path + ": Invalid syntax: \"g =\""},
      {"g=25\nvcodec=", path + ": Invalid syntax: \"vcodec=\""},
      {"g=25\n g = abc ",
       path + ": Invalid option or argument: \"g = abc\", parsed as \"g\" = \"abc\""},
      {"g=25\nnosuch=1", path + ": Invalid option or argument: \"nosuch=1\", parsed as "
                                "\"nosuch\" = \"1\""},
  };
  for (const auto& [text, message] : cases) {
    SCOPED_TRACE(text);
    WriteFile(path, text);
    TranscoderSettings settings;
    UserOptions options;
    EXPECT_EQ(ApplyError("vpre", path, settings, options), message);
    EXPECT_EQ(VideoPairs(options), (Pairs{{"g", "25"}}));
  }
}

}  // namespace
}  // namespace korvex::engine
