// The pieces of the probe's description that do not need a loaded file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" {
#include <libavutil/dict.h>
}

namespace korvex::engine {

// The "creation_time" tag in seconds since 1970 UTC; 0 when there is none.
int64_t CreationTime(const AVDictionary* tags);

// "%d Byte" up to 1024 bytes, then "%.2f KB", "%.2f MB", "%.2f GB".
std::string SizeText(int64_t bytes);

// ", 29.97 fps", ", 25 tbr", ", 90k tbn": two decimals only when needed, thousands as "k".
std::string RateText(double value, std::string_view unit);

// The common name of an ID3v2 frame id ("TIT2" -> "title"); other keys unchanged.
std::string TagDisplayName(std::string_view key);

// "<prefix>Metadata:" and one "<prefix>  key : value" line per tag, leaving out "language";
// no lines when there are no tags or "language" is the only one.
std::vector<std::string> TagBlockLines(const AVDictionary* tags, std::string_view prefix);

}  // namespace korvex::engine
