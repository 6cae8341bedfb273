#include "workflow/encoder_names.h"

#include <utility>

#include "platform/text.h"

namespace korvex::workflow {

namespace {

using Mapping = std::pair<const char*, const char*>;

constexpr Mapping kVideoEncoders[] = {
    {"mpeg-4", "mpeg4"},
    {"xvid", "libxvid"},
    {"h264", "libx264"},
    {"3gp", "3gp"},
    {"3g2", "3g2"},
    {"mov", "mov"},
    {"wmv1", "wmv1"},
    {"wmv2", "wmv2"},
    {"wmv3", "wmv3"},
    {"flv", "flv"},
    {"swf", "swf"},
    {"msmpeg4", "msmpeg4"},
    {"msmpeg4v1", "msmpeg4v1"},
    {"msmpeg4v2", "msmpeg4v2"},
    {"mpeg1video", "mpeg1video"},
    {"mpeg2video", "mpeg2video"},
    {"h263", "h263"},
    {"h263p", "h263p"},
    {"rawvideo", "rawvideo"},
    {"rv10", "rv10"},
    {"rv20", "rv20"},
    {"dvvideo", "dvvideo"},
    {"huffyuv", "huffyuv"},
    {"ljpeg", "ljpeg"},
    {"mjpeg", "mjpeg"},
    {"svq1", "svq1"},
    {"zlib", "zlib"},
};

constexpr Mapping kAudioEncoders[] = {
    {"mp3", "libmp3lame"},
    {"ogg", "vorbis"},
    {"aac", "libfaac"},
    {"ac-3", "ac3"},
    {"libamr_nb", "libopencore_amrnb"},
    {"pcm-8bit", "pcm_s8"},
    {"pcm-16bit", "pcm_s16be"},
    {"pcm-24bit", "pcm_s24be"},
    {"pcm-32bit", "pcm_s32be"},
    {"pcm-32bit float", "pcm_f32be"},
    {"pcm-64bit float", "pcm_f64be"},
    {"ccitt a-law(8-bit)", "pcm_alaw"},
    {"ccitt mu-law(8-bit)", "pcm_mulaw"},
    {"ima adpcm(4-bit)", "adpcm_ima_qt"},
    {"gsm", "libgsm"},
    {"pcm_s16", "pcm_s16le"},
    {"pcm_u16", "pcm_u16le"},
    {"wma1", "wmav1"},
    {"wma2", "wmav2"},
    {"pcm_mulaw ", "pcm_mulaw"},
    {"mp2", "mp2"},
    {"flac", "flac"},
    {"alac", "alac"},
    {"adpcm_swf", "adpcm_swf"},
    {"adpcm_yamaha", "adpcm_yamaha"},
    {"pcm_alaw", "pcm_alaw"},
    {"adpcm_ms", "adpcm_ms"},
    {"adpcm_ima_wav", "adpcm_ima_wav"},
};

template <size_t N>
std::optional<std::string> Lookup(const Mapping (&table)[N], std::string_view entry) {
  const std::string lowered = platform::ToLowerAscii(entry);
  for (const auto& [name, encoder] : table) {
    if (lowered == name) return encoder;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> VideoEncoderForEntry(std::string_view entry) {
  return Lookup(kVideoEncoders, entry);
}

std::optional<std::string> AudioEncoderForEntry(std::string_view entry) {
  return Lookup(kAudioEncoders, entry);
}

}  // namespace korvex::workflow
