// Codecs named in the options: looked up by name with the transcoder's messages, and encoder
// names that the libraries dropped or mark experimental resolved to the encoder that now does
// the job.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <string_view>

namespace korvex::engine {

// The encoder that now does the job of a dropped or experimental encoder name, or an empty
// view when the name has none.
std::string_view CurrentEncoderFor(std::string_view name);

// The codec named `name` of the kind; null for an empty name (no codec forced). Raises
// EngineException with "Unknown %s '%s'", "Invalid %s type '%s'" or the experimental message.
// `strict` is the stream kind's standard compliance (experimental codecs need
// FF_COMPLIANCE_EXPERIMENTAL or below).
const AVCodec* FindCodecByName(std::string_view name, AVMediaType type, bool encoder, int strict);

}  // namespace korvex::engine
