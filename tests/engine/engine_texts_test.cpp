#include "engine/engine_texts.h"

#include <gtest/gtest.h>

extern "C" {
#include <libavutil/error.h>
}

#include "engine/engine_types.h"
#include "engine/probe_text.h"

namespace korvex::engine {
namespace {

TEST(EngineTexts, ErrorCodesKeepTheirMeaning) {
  const std::pair<int, const char*> cases[] = {
      {-2, "a.avi: No such file or directory"},
      {-999, "a.avi: Error number -999 occurred"},
      {AVERROR(EIO), "a.avi: I/O error"},
      {AVERROR(ENOMEM), "a.avi: Not enough memory"},
      {AVERROR_INVALIDDATA, "a.avi: Invalid data found when processing input"},
      {AVERROR(EINVAL), "a.avi: Invalid data found when processing input"},
      {AVERROR_EOF, "a.avi: End of file"},
      {AVERROR(EPIPE), "a.avi: End of file"},
      {AVERROR(EDOM), "a.avi: Number syntax expected in filename"},
      {AVERROR(EILSEQ), "a.avi: Unknown format"},
      {AVERROR(EPROTONOSUPPORT), "a.avi: Unsupported network protocol"},
      {AVERROR_PROTOCOL_NOT_FOUND, "a.avi: Unsupported network protocol"},
      {-1163346256, "a.avi: Not yet implemented in FFmpeg"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(ErrorText("a.avi", code), text) << code;
}

TEST(EngineTexts, DurationTexts) {
  const std::pair<int64_t, const char*> cases[] = {
      {3723004000, "01:02:03.004"}, {int64_t{25} * 3600 * 1000000, "25:00:00.000"},
      {0, "00:00:00.000"},          {999, "00:00:00.000"},
      {-1500000, "-00:00:01.500"},  {kNoTimestamp, "N/A"}};
  for (const auto& [us, text] : cases) EXPECT_EQ(DurationText(us), text) << us;
}

TEST(EngineTexts, StreamKindAndCodecNames) {
  const char* kinds[] = {"Video", "Audio", "Data", "Subtitle", "Attachment", "Unknown"};
  for (int kind = 0; kind < 6; ++kind) EXPECT_STREQ(StreamKindName(kind), kinds[kind]);
  EXPECT_STREQ(StreamKindName(-1), "Unknown");

  EXPECT_EQ(CodecNameText(AV_CODEC_ID_MPEG4, 0, false), "mpeg4(MPEG-4 part 2)");
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_MP3, 0, true),
            "libmp3lame(libmp3lame MP3 (MPEG audio layer 3))");
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_MPEG2TS, 0, false), "mpeg2ts");
  // A codec the library knows by id but cannot decode is shown by its own name.
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_TTF, 0, false), "ttf");
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_NONE, MKTAG('D', 'I', 'V', 'X'), false), "DIVX / 0x58564944");
  EXPECT_EQ(CodecNameText(AV_CODEC_ID_NONE, 0x1, false), "0x0001");
}

TEST(ProbeTexts, ByteSizes) {
  const std::pair<int64_t, const char*> cases[] = {{1024, "1024 Byte"},
                                                   {1025, "1.00 KB"},
                                                   {1048576, "1024.00 KB"},
                                                   {1048577, "1.00 MB"},
                                                   {-1, "-1 Byte"},
                                                   {0, "0 Byte"},
                                                   {int64_t{1} << 30, "1024.00 MB"},
                                                   {int64_t{3} << 30, "3.00 GB"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(SizeText(bytes), text) << bytes;
}

TEST(ProbeTexts, Rates) {
  EXPECT_EQ(RateText(30000.0 / 1001, "fps"), ", 29.97 fps");
  EXPECT_EQ(RateText(25, "fps"), ", 25 fps");
  EXPECT_EQ(RateText(90000, "tbn"), ", 90k tbn");
  EXPECT_EQ(RateText(1200, "tbn"), ", 1200 tbn");
  EXPECT_EQ(RateText(12.5, "tbr"), ", 12.50 tbr");
}

TEST(ProbeTexts, TagBlocks) {
  AVDictionary* tags = nullptr;
  EXPECT_TRUE(TagBlockLines(tags, "").empty());
  av_dict_set(&tags, "language", "eng", 0);
  EXPECT_TRUE(TagBlockLines(tags, "  ").empty());
  av_dict_set(&tags, "TIT2", "Song", 0);
  av_dict_set(&tags, "encoder", "Lavf", 0);
  const std::vector<std::string> expected = {"  Metadata:", "    title           : Song",
                                             "    encoder         : Lavf"};
  EXPECT_EQ(TagBlockLines(tags, "  "), expected);
  av_dict_free(&tags);
}

}  // namespace
}  // namespace korvex::engine
