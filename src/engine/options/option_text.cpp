#include "engine/options/option_text.h"

#include <algorithm>
#include <cctype>

namespace korvex::engine {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string ReplaceCrlfMarkers(std::string_view text) {
  static constexpr std::string_view kCrlfMarker = "<CRLF>";
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, kCrlfMarker.size()) == kCrlfMarker) {
      out += '\n';
      i += kCrlfMarker.size() - 1;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string_view TrimOptionText(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string NormaliseLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
      continue;
    }
    out += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

std::vector<OptionLine> ParseOptionText(std::string_view text) {
  std::vector<OptionLine> lines;
  const std::string normalised = ReplaceCrlfMarkers(NormaliseLineBreaks(TrimOptionText(text)));
  if (normalised.empty()) return lines;
  size_t start = 0;
  while (start <= normalised.size()) {
    size_t end = normalised.find('\n', start);
    if (end == std::string::npos) end = normalised.size();
    const std::string_view line(normalised.data() + start, end - start);
    const size_t equals = line.find('=');
    OptionLine entry;
    entry.key = std::string(line.substr(0, equals));
    std::transform(entry.key.begin(), entry.key.end(), entry.key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (equals != std::string_view::npos) entry.value = std::string(line.substr(equals + 1));
    lines.push_back(std::move(entry));
    start = end + 1;
  }
  return lines;
}

}  // namespace korvex::engine
