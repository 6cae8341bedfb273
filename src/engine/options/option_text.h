// Option text: name=value lines as the records' `ExtOptions` and preset files carry them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvex::engine {

struct OptionLine {
  std::string key;  // lower case, not trimmed
  std::string value;
};

// The text is trimmed, its line breaks become line feeds and every "<CRLF>" one too; each line
// splits at its first "=" (no "=": an empty value). Empty lines stay, as empty keys.
std::vector<OptionLine> ParseOptionText(std::string_view text);

// CR LF and a lone CR each become one line feed.
std::string NormaliseLineBreaks(std::string_view text);

// Trims blanks and control characters at both ends.
std::string_view TrimOptionText(std::string_view text);

}  // namespace korvex::engine
