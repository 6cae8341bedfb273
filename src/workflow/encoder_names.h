// The encoder display names of the format profiles and the engine's encoder names they
// stand for, as the format settings dialog stores them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvex::workflow {

// The engine's video encoder for a display entry, compared lower-cased; nullopt when the
// entry names no known encoder.
std::optional<std::string> VideoEncoderForEntry(std::string_view entry);

// The engine's audio encoder for a display entry, compared lower-cased (a trailing blank
// counts); nullopt when the entry names no known encoder.
std::optional<std::string> AudioEncoderForEntry(std::string_view entry);

}  // namespace korvex::workflow
