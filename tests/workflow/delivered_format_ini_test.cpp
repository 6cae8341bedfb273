// Checks the format profiles delivered with the application against the catalogue and
// against the media libraries this program is built with: every format must offer lists
// that parse, defaults that exist, and encoders and containers that can be written.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <map>

#include "platform/ini_file.h"
#include "platform/text.h"
#include "workflow/encoder_names.h"
#include "workflow/format_catalogue.h"
#include "workflow/format_profile.h"

namespace korvex::workflow {
namespace {

// Encoders the stored names stand for when the library has renamed or replaced them.
std::string CurrentEncoderName(const std::string& name) { return name == "libfaac" ? "aac" : name; }

// Whether the muxer writes streams of this codec. Some muxers (the MPEG program stream)
// cannot answer the question; for those the streams they are known to carry are listed.
bool MuxerWrites(const AVOutputFormat* muxer, AVCodecID codec) {
  if (avformat_query_codec(muxer, codec, FF_COMPLIANCE_NORMAL) == 1) return true;
  if (codec == muxer->video_codec || codec == muxer->audio_codec) return true;
  static const std::multimap<std::string, AVCodecID> kUnanswered = {
      {"mpeg", AV_CODEC_ID_MPEG2VIDEO},
      {"mpeg", AV_CODEC_ID_MP3},
      {"mpeg", AV_CODEC_ID_AC3},
  };
  auto [first, last] = kUnanswered.equal_range(muxer->name);
  for (auto it = first; it != last; ++it) {
    if (it->second == codec) return true;
  }
  return false;
}

std::vector<int> ProfileCodes() {
  std::vector<int> codes{1};
  FormatCatalogue catalogue;
  for (int group = 0; group < catalogue.GroupCount(); ++group) {
    for (int32_t code : catalogue.FormatCodes(group)) codes.push_back(code);
  }
  return codes;
}

// The muxers that may write the format: the one named by "Format" when there is one, and
// the one the file extension chooses.
std::vector<const AVOutputFormat*> Muxers(const FormatProfile& profile) {
  std::vector<const AVOutputFormat*> muxers;
  if (const AVOutputFormat* named = av_guess_format(profile.Format().c_str(), nullptr, nullptr)) {
    muxers.push_back(named);
  }
  const std::string file = "output." + profile.FileExt();
  if (const AVOutputFormat* by_ext = av_guess_format(nullptr, file.c_str(), nullptr)) {
    muxers.push_back(by_ext);
  }
  return muxers;
}

class DeliveredFormatIniTest : public ::testing::Test {
 protected:
  platform::IniFile ini_{KORVEX_DELIVERED_FORMAT_INI};
};

TEST_F(DeliveredFormatIniTest, EveryCatalogueCodeAndTheInstallDefaultHaveAProfile) {
  for (int code : ProfileCodes()) {
    SCOPED_TRACE(code);
    FormatProfile profile(ini_, code);
    ASSERT_TRUE(ini_.SectionExists(profile.Section()));
    EXPECT_NE(profile.Value("Format", ""), "");
    EXPECT_NE(profile.Value("FileExt", ""), "");
    for (const char* key : kOptionListKeys) {
      SCOPED_TRACE(key);
      EXPECT_NE(profile.Value(key, "<missing>"), "<missing>") << "every list key is present";
      const int index = profile.DefaultIndex(key);
      auto entries = profile.OptionList(key);
      if (!entries) {
        EXPECT_EQ(index, 0);
        continue;
      }
      ASSERT_FALSE(entries->empty());
      EXPECT_GE(index, 0);
      EXPECT_LT(index, static_cast<int>(entries->size()));
      for (const std::string& entry : *entries) {
        EXPECT_FALSE(entry.empty());
        EXPECT_EQ(std::string(platform::Trim(entry)), entry) << "no blanks around entries";
      }
    }
    for (const char* key : {"paraVideoBitRate", "paraSampleRate", "paraAudioBitRate"}) {
      EXPECT_TRUE(platform::ParseInt(profile.Value(key, "")).has_value()) << key;
    }
  }
}

TEST_F(DeliveredFormatIniTest, ListEntriesHaveTheirSyntax) {
  for (int code : ProfileCodes()) {
    SCOPED_TRACE(code);
    FormatProfile profile(ini_, code);
    auto numbers = [&](const char* key, bool fractions) {
      for (const std::string& entry :
           profile.OptionList(key).value_or(std::vector<std::string>{})) {
        if (entry == "as source") continue;
        auto value = platform::ParseDouble(entry);
        EXPECT_TRUE(value && *value > 0 && (fractions || platform::ParseInt(entry))) << entry;
      }
    };
    numbers("VideoBitRate", false);
    numbers("FrameRate", true);
    numbers("AudioBitRate", true);
    numbers("SampleRate", false);
    for (const std::string& size :
         profile.OptionList("VideoSize").value_or(std::vector<std::string>{})) {
      if (size == "as source") continue;
      const size_t x = size.find('x');
      ASSERT_NE(x, std::string::npos) << size;
      auto w = platform::ParseInt(size.substr(0, x));
      auto h = platform::ParseInt(size.substr(x + 1));
      EXPECT_TRUE(w && h && *w > 0 && *h > 0 && *w % 2 == 0 && *h % 2 == 0) << size;
    }
    for (const std::string& channel :
         profile.OptionList("Channel").value_or(std::vector<std::string>{})) {
      EXPECT_TRUE(channel == "as source" || channel == "mono 1 channel" ||
                  channel == "stereo 2 channels")
          << channel;
    }
    for (const std::string& volume :
         profile.OptionList("Volume").value_or(std::vector<std::string>{})) {
      EXPECT_TRUE(platform::ParseInt(volume.substr(0, volume.size() - 1))) << volume;
    }
  }
}

TEST_F(DeliveredFormatIniTest, EncodersAndContainersCanBeWrittenByTheseLibraries) {
  for (int code : ProfileCodes()) {
    SCOPED_TRACE(code);
    FormatProfile profile(ini_, code);
    const std::vector<const AVOutputFormat*> muxers = Muxers(profile);
    ASSERT_FALSE(muxers.empty()) << profile.Format() << " / " << profile.FileExt();
    auto check = [&](const char* key, auto map_entry) {
      for (const std::string& entry :
           profile.OptionList(key).value_or(std::vector<std::string>{})) {
        std::optional<std::string> name = map_entry(entry);
        ASSERT_TRUE(name) << "display name without an encoder: " << entry;
        const AVCodec* encoder = avcodec_find_encoder_by_name(CurrentEncoderName(*name).c_str());
        ASSERT_NE(encoder, nullptr) << *name;
        for (const AVOutputFormat* muxer : muxers) {
          EXPECT_TRUE(MuxerWrites(muxer, encoder->id)) << encoder->name << " in " << muxer->name;
        }
      }
    };
    check("VideoEncoder", VideoEncoderForEntry);
    check("AudioEncoder", AudioEncoderForEntry);
    const bool audio_only = !profile.OptionList("VideoEncoder");
    EXPECT_EQ(audio_only, code >= 200) << "the audio group has no video lists";
  }
}

TEST(EncoderNamesTest, DisplayEntriesMapLowerCased) {
  EXPECT_EQ(VideoEncoderForEntry("MPEG-4"), "mpeg4");
  EXPECT_EQ(VideoEncoderForEntry("H264"), "libx264");
  EXPECT_EQ(VideoEncoderForEntry("Xvid"), "libxvid");
  EXPECT_EQ(VideoEncoderForEntry("WMV2"), "wmv2");
  EXPECT_EQ(VideoEncoderForEntry("theora"), std::nullopt);
  EXPECT_EQ(AudioEncoderForEntry("GSM"), "libgsm");
  EXPECT_EQ(AudioEncoderForEntry("AC-3"), "ac3");
  EXPECT_EQ(AudioEncoderForEntry("CCITT mu-Law(8-bit)"), "pcm_mulaw");
  EXPECT_EQ(AudioEncoderForEntry("PCM_MULAW "), "pcm_mulaw");
  EXPECT_EQ(AudioEncoderForEntry("pcm_mulaw"), std::nullopt);
  EXPECT_EQ(AudioEncoderForEntry("OGG"), "vorbis");
}

}  // namespace
}  // namespace korvex::workflow
