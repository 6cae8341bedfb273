// Small texts the engine shares: library error codes, times, stream kinds and codec names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace korvex::engine {

// The description of a media-library error code ("No such file or directory", ...).
std::string ErrorDescription(int code);
// file name + ": " + the description.
std::string ErrorText(std::string_view file_name, int code);

// Microseconds as "hh:mm:ss.mmm" with hours not wrapped at 24; "N/A" for kNoTimestamp.
std::string DurationText(int64_t microseconds);

// "Video", "Audio", "Data", "Subtitle", "Attachment" or "Unknown" for a stream kind number.
const char* StreamKindName(int kind);

// The registered decoder's (or encoder's) name with its long name, "name(long name)"; without
// one the codec's own name, else its four-character tag.
std::string CodecNameText(AVCodecID id, uint32_t codec_tag, bool encoder);

}  // namespace korvex::engine
