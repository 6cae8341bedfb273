#include "engine/options/user_options.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/opt.h>
}

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dictionary_contents.h"
#include "engine/engine_logger.h"
#include "engine/library_loader.h"

namespace korvex::engine {
namespace {

// Every dictionary of the setter, by the name the cases use.
std::map<std::string, Pairs> AllDictionaries(const UserOptions& options) {
  return {{"video", DictionaryPairs(options.CodecOptions(AVMEDIA_TYPE_VIDEO))},
          {"audio", DictionaryPairs(options.CodecOptions(AVMEDIA_TYPE_AUDIO))},
          {"data", DictionaryPairs(options.CodecOptions(AVMEDIA_TYPE_DATA))},
          {"subtitle", DictionaryPairs(options.CodecOptions(AVMEDIA_TYPE_SUBTITLE))},
          {"attachment", DictionaryPairs(options.CodecOptions(AVMEDIA_TYPE_ATTACHMENT))},
          {"format", DictionaryPairs(options.FormatOptions())},
          {"scaler", DictionaryPairs(options.ScalerOptions())}};
}

CodecContextPtr EncoderContext(const char* name) {
  const AVCodec* codec = avcodec_find_encoder_by_name(name);
  return CodecContextPtr(codec ? avcodec_alloc_context3(codec) : nullptr);
}

// Captures what reaches the engine logger, the libraries' lines included.
class UserOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(TLibraryLoader::Instance().LoadLib(lsAVUtil));
    logger.SetLogLevel(llInfo);
    logger.SetTriggerEventInMainThread(false);
    logger.SetOnLog([this](TEngineLogger*, uint32_t, TLogLevel level, const std::string& text) {
      lines.push_back({level, text});
    });
  }
  void TearDown() override {
    logger.SetOnLog(nullptr);
    logger.SetLogLevel(llInfo);
    TLibraryLoader::Instance().ResetForTesting();
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Line& line : lines) texts.push_back(line.text);
    return texts;
  }

  struct Line {
    TLogLevel level;
    std::string text;
  };
  TEngineLogger& logger = TEngineLogger::Instance();
  std::vector<Line> lines;
  UserOptions options;
};

// Where an accepted pair is kept: the dictionaries not named stay empty.
TEST_F(UserOptionsTest, AnAcceptedPairLandsInTheDictionariesOfTheKindsThatTakeIt) {
  struct Case {
    const char* name;
    const char* value;
    std::map<std::string, Pairs> expected;
  };
  const Case cases[] = {
      // A video option: data and attachment take any codec option.
      {"g",
       "250",
       {{"video", {{"g", "250"}}}, {"data", {{"g", "250"}}}, {"attachment", {{"g", "250"}}}}},
      {" g ",
       " 12 ",
       {{"video", {{"g", "12"}}}, {"data", {{"g", "12"}}}, {"attachment", {{"g", "12"}}}}},
      // Flagged for audio too, but a bare name means the video rate control.
      {"b", "1M", {{"video", {{"b", "1M"}}}}},
      {"bufsize", "2M", {{"video", {{"bufsize", "2M"}}}}},
      // The kind letter; the library's own alias "ab" is read that way too.
      {"ab", "128k", {{"audio", {{"b", "128k"}}}}},
      {"abt", "32k", {{"audio", {{"bt", "32k"}}}}},
      {"vg", "30", {{"video", {{"g", "30"}}}}},
      {"ar",
       "48000",
       {{"audio", {{"ar", "48000"}}},
        {"data", {{"ar", "48000"}}},
        {"attachment", {{"ar", "48000"}}}}},
      {"flags",
       "+loop",
       {{"video", {{"flags", "+loop"}}},
        {"audio", {{"flags", "+loop"}}},
        {"data", {{"flags", "+loop"}}},
        {"subtitle", {{"flags", "+loop"}}},
        {"attachment", {{"flags", "+loop"}}}}},
      // libx264's own option, accepted although other encoders' "preset" take numbers.
      {"preset", "fast", {{"video", {{"preset", "fast"}}}}},
      {"direct-pred", "spatial", {{"video", {{"direct-pred", "spatial"}}}}},
      {"packetsize", "1000", {{"format", {{"packetsize", "1000"}}}}},
      {"movflags", "+faststart", {{"format", {{"movflags", "+faststart"}}}}},  // mov muxer
      {"ignore_editlist", "1", {{"format", {{"ignore_editlist", "1"}}}}},      // mov demuxer
      {"sws_flags", "bicubic", {{"scaler", {{"sws_flags", "bicubic"}}}}},
  };
  for (const Case& c : cases) {
    UserOptions fresh;
    EXPECT_TRUE(fresh.Set(c.name, c.value)) << c.name;
    std::map<std::string, Pairs> expected = {{"video", {}},    {"audio", {}},      {"data", {}},
                                             {"subtitle", {}}, {"attachment", {}}, {"format", {}},
                                             {"scaler", {}}};
    for (const auto& [dictionary, pairs] : c.expected) expected[dictionary] = pairs;
    EXPECT_EQ(AllDictionaries(fresh), expected) << c.name;
    EXPECT_EQ(Texts(), std::vector<std::string>{}) << c.name;
  }
}

TEST_F(UserOptionsTest, AcceptedValuesAreParsedByTheLibrariesOntoTheDefaults) {
  ASSERT_TRUE(options.Set("b", "1M"));
  ASSERT_TRUE(options.Set("ab", "128k"));
  ASSERT_TRUE(options.Set("flags", "+loop+qpel"));
  ASSERT_TRUE(options.Set("flags", "-qpel"));
  ASSERT_TRUE(options.Set("packetsize", "1000"));
  const AVCodecContext& video = options.CodingDefaults(AVMEDIA_TYPE_VIDEO);
  const AVCodecContext& audio = options.CodingDefaults(AVMEDIA_TYPE_AUDIO);
  EXPECT_EQ(video.codec_type, AVMEDIA_TYPE_VIDEO);
  EXPECT_EQ(audio.codec_type, AVMEDIA_TYPE_AUDIO);
  EXPECT_EQ(video.bit_rate, 1000000);
  EXPECT_EQ(audio.bit_rate, 128000);
  EXPECT_EQ(video.flags & (AV_CODEC_FLAG_LOOP_FILTER | AV_CODEC_FLAG_QPEL),
            AV_CODEC_FLAG_LOOP_FILTER);
  EXPECT_EQ(options.FormatDefaults().packet_size, 1000u);
}

// A refusal is reported by the setter; the complaints of the objects the value was tried on
// (one per muxer of the mov family for "movflags") stay out of the log. Nothing is kept.
TEST_F(UserOptionsTest, ARefusedValueLogsItsNameAndValue) {
  const std::pair<const char*, const char*> cases[] = {
      {"g", "abc"},                  // codec option
      {"direct-pred", "sideways"},   // libx264's private option
      {"movflags", "+nosuch"},       // the mov muxers' private option
      {"ignore_editlist", "maybe"},  // the mov demuxer's private option
      {"sws_flags", "blurry"},       // scaler option
      {"abt", "loud"},               // the audio "bt", through the kind letter
  };
  for (const auto& [name, value] : cases) {
    SCOPED_TRACE(name);
    lines.clear();
    EXPECT_FALSE(options.Set(name, value));
    // At most the expression parser's reason, then the setter's line.
    ASSERT_GE(lines.size(), 1u);
    EXPECT_LE(lines.size(), 2u) << lines[0].text;
    EXPECT_EQ(lines.back().text,
              std::string("Invalid value \"") + value + "\" for option \"" + name + "\"");
    EXPECT_EQ(lines.back().level, llError);
  }
  for (const auto& [dictionary, pairs] : AllDictionaries(options)) {
    EXPECT_TRUE(pairs.empty()) << dictionary;
  }
  EXPECT_EQ(options.CodingDefaults(AVMEDIA_TYPE_VIDEO).gop_size, 12);  // the library's default
  EXPECT_TRUE(options.UserOptionNames().empty());
}

TEST_F(UserOptionsTest, UnknownOrEmptyGivesFalseSilently) {
  const std::pair<const char*, const char*> cases[] = {
      {"nosuchoption", "1"},
      {"directpred", "1"},
      {"vnosuch", "1"},
      {"sg", "1"},  // the subtitle coding options have no "g"
      {"a", "1"},
      {"", "1"},
      {" ", "1"},
      {"g", ""},
      {"g", " \t"},
  };
  for (const auto& [name, value] : cases) EXPECT_FALSE(options.Set(name, value)) << name;
  EXPECT_EQ(Texts(), std::vector<std::string>{});
  EXPECT_TRUE(options.UserOptionNames().empty());
}

TEST_F(UserOptionsTest, UserOptionNamesKeepTheFirstOrderOnce) {
  for (const char* name : {"g", "b", "g", "ab", "nosuch", "b", "preset"}) {
    options.Set(name, name == std::string("preset") ? "fast" : "10");
  }
  EXPECT_EQ(options.UserOptionNames(), (std::vector<std::string>{"g", "b", "ab", "preset"}));
}

TEST_F(UserOptionsTest, ADebugValueRaisesTheLoggerToDebug) {
  for (const auto& [name, value] : {std::pair{"debug", "pict"}, std::pair{"fdebug", "ts"}}) {
    UserOptions fresh;
    logger.SetLogLevel(llInfo);
    ASSERT_TRUE(fresh.Set("g", "25"));
    EXPECT_EQ(logger.LogLevel(), llInfo);
    ASSERT_TRUE(fresh.Set(name, value)) << name;
    EXPECT_EQ(logger.LogLevel(), llDebug) << name;
  }
}

// Each context takes what it knows: libx264 its private "preset", an encoder without one only
// the codec options, and one whose "preset" refuses "fast" still gets the pairs after it.
TEST_F(UserOptionsTest, ApplyingSetsWhatEachContextKnows) {
  ASSERT_TRUE(options.Set("preset", "fast"));
  ASSERT_TRUE(options.Set("g", "12"));
  ASSERT_TRUE(options.Set("ab", "64k"));

  for (const char* encoder : {"libx264", "mpeg4", "libwebp"}) {
    CodecContextPtr context = EncoderContext(encoder);
    ASSERT_TRUE(context) << encoder;
    options.ApplyCodecOptions(context.get(), AVMEDIA_TYPE_VIDEO);
    EXPECT_EQ(context->gop_size, 12) << encoder;
  }
  CodecContextPtr x264 = EncoderContext("libx264");
  options.ApplyCodecOptions(x264.get(), AVMEDIA_TYPE_VIDEO);
  uint8_t* preset = nullptr;
  ASSERT_GE(av_opt_get(x264->priv_data, "preset", 0, &preset), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(preset), "fast");
  av_free(preset);

  CodecContextPtr audio = EncoderContext("aac");
  options.ApplyCodecOptions(audio.get(), AVMEDIA_TYPE_AUDIO);
  EXPECT_EQ(audio->bit_rate, 64000);
}

TEST_F(UserOptionsTest, ApplyingReachesFormatAndScalerContexts) {
  ASSERT_TRUE(options.Set("movflags", "+faststart"));
  ASSERT_TRUE(options.Set("packetsize", "1000"));
  ASSERT_TRUE(options.Set("sws_flags", "bicubic"));

  AVFormatContext* raw = nullptr;
  ASSERT_GE(avformat_alloc_output_context2(&raw, nullptr, "mp4", nullptr), 0);
  FormatContextPtr mp4(raw);
  int64_t movflags = 0;
  ASSERT_GE(av_opt_get_int(mp4->priv_data, "movflags", 0, &movflags), 0);
  EXPECT_EQ(movflags, 0);
  options.ApplyFormatOptions(mp4.get());
  ASSERT_GE(av_opt_get_int(mp4->priv_data, "movflags", 0, &movflags), 0);
  EXPECT_NE(movflags, 0);
  EXPECT_EQ(mp4->packet_size, 1000u);

  ScalerContextPtr scaler(sws_alloc_context());
  ASSERT_TRUE(scaler);
  ASSERT_GE(av_opt_set_int(scaler.get(), "sws_flags", SWS_POINT, 0), 0);
  options.ApplyScalerOptions(scaler.get());
  int64_t sws_flags = 0;
  ASSERT_GE(av_opt_get_int(scaler.get(), "sws_flags", 0, &sws_flags), 0);
  EXPECT_EQ(sws_flags, SWS_BICUBIC);
}

}  // namespace
}  // namespace korvex::engine
