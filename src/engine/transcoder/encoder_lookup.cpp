#include "engine/transcoder/encoder_lookup.h"

#include <string>
#include <utility>

#include "engine/engine_exception.h"
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

// Names the format profiles and presets use that current libraries no longer offer, or offer
// only as experimental, with the encoder that writes the same kind of stream today.
constexpr std::pair<std::string_view, std::string_view> kEncoderSuccessors[] = {
    {"libfaac", "aac"},      {"libvo_aacenc", "aac"}, {"libaacplus", "aac"},
    {"vorbis", "libvorbis"}, {"libxvid", "mpeg4"},
};

bool Experimental(const AVCodec* codec) {
  return (codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) != 0;
}

const AVCodec* ByName(const std::string& name, bool encoder) {
  return encoder ? avcodec_find_encoder_by_name(name.c_str())
                 : avcodec_find_decoder_by_name(name.c_str());
}

}  // namespace

std::string_view CurrentEncoderFor(std::string_view name) {
  for (const auto& [old_name, successor] : kEncoderSuccessors) {
    if (old_name == name) return successor;
  }
  return {};
}

const AVCodec* FindCodecByName(std::string_view name, AVMediaType type, bool encoder, int strict) {
  if (name.empty()) return nullptr;
  const char* role = encoder ? "encoder" : "decoder";
  const std::string wanted(name);
  const AVCodec* codec = ByName(wanted, encoder);
  const bool usable = codec && (!Experimental(codec) || strict <= FF_COMPLIANCE_EXPERIMENTAL);
  if (encoder && !usable) {
    const std::string_view successor_name = CurrentEncoderFor(name);
    if (!successor_name.empty()) {
      const AVCodec* successor = ByName(std::string(successor_name), true);
      if (successor && successor->type == type && !Experimental(successor)) {
        TEngineLogger::Instance().LogFormat(nullptr, llInfo, "Using %s '%s' for '%s'", role,
                                            successor->name, wanted.c_str());
        return successor;
      }
    }
  }
  if (!codec) Fail(Format("Unknown %s '%s'", role, wanted.c_str()));
  if (codec->type != type) Fail(Format("Invalid %s type '%s'", role, wanted.c_str()));
  if (!usable) {
    std::string text = Format(
        "%s '%s' is experimental and might produce bad results.\r\n"
        "Add '-strict experimental' if you want to use it.",
        role, wanted.c_str());
    const AVCodec* other =
        encoder ? avcodec_find_encoder(codec->id) : avcodec_find_decoder(codec->id);
    if (other && !Experimental(other))
      text += Format("\r\nOr use the non experimental %s '%s'.", role, other->name);
    Fail(std::move(text));
  }
  return codec;
}

}  // namespace korvex::engine
