#include "platform/ini_document.h"

#include "platform/text.h"

namespace korvex::platform {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t npos = std::string::npos;

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsQuoted(std::string_view value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front();
}

std::string_view Unquote(std::string_view value) {
  return IsQuoted(value) ? value.substr(1, value.size() - 2) : value;
}

// A value that reading would change (blanks at its ends, enclosing quotes) is written inside
// a pair of quotes, which reading removes again.
std::string EncodeValue(std::string_view value) {
  if (value.empty()) return {};
  bool changed_by_reading = Trim(value).size() != value.size() || IsQuoted(value);
  if (!changed_by_reading) return std::string(value);
  return "\"" + std::string(value) + "\"";
}

// `fits` carries the rule of the kind of name: a section has no "]", a key no "=" and does not
// start like a section or a comment. Every name is non-empty, trimmed and one line.
void CheckName(std::string_view what, std::string_view name, bool fits) {
  if (!fits || name.empty() || Trim(name).size() != name.size() || HasLineBreakOrNul(name)) {
    throw IniFormatError("An INI " + std::string(what) + " cannot be \"" + std::string(name) +
                         "\"");
  }
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view text) {
  IniDocument doc;
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    doc.byte_order_mark_ = true;
    text.remove_prefix(kByteOrderMark.size());
  }
  size_t first_break = text.find('\n');
  if (first_break != npos && first_break > 0 && text[first_break - 1] == '\r') doc.eol_ = "\r\n";

  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == npos ? text.size() : end + 1);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);

    Line line{std::string(raw), LineKind::kOther, {}};
    std::string_view body = Trim(raw);
    if (!body.empty() && body.front() == '[') {
      size_t close = body.find(']');
      if (close != npos) {
        line.kind = LineKind::kSection;
        line.name = std::string(Trim(body.substr(1, close - 1)));
      }
    } else if (!body.empty() && body.front() != ';' && body.front() != '#') {
      size_t equals = body.find('=');
      if (equals != npos && !Trim(body.substr(0, equals)).empty()) {
        line.kind = LineKind::kKey;
        line.name = std::string(Trim(body.substr(0, equals)));
      }
    }
    doc.lines_.push_back(std::move(line));
  }
  return doc;
}

size_t IniDocument::FindSection(std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == LineKind::kSection && EqualsIgnoreCase(lines_[i].name, section)) {
      return i;
    }
  }
  return npos;
}

size_t IniDocument::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != LineKind::kSection) ++i;
  return i;
}

size_t IniDocument::FindKey(size_t header, std::string_view key) const {
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == LineKind::kKey && EqualsIgnoreCase(lines_[i].name, key)) return i;
  }
  return npos;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
  size_t header = FindSection(section);
  if (header == npos) return std::nullopt;
  size_t line = FindKey(header, key);
  if (line == npos) return std::nullopt;
  std::string_view raw = lines_[line].raw;
  std::string_view value = Trim(raw.substr(raw.find('=') + 1));
  return std::string(Unquote(value));
}

bool IniDocument::HasSection(std::string_view section) const {
  return FindSection(section) != npos;
}

std::vector<std::string> IniDocument::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  size_t header = FindSection(section);
  if (header == npos) return keys;
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind != LineKind::kKey) continue;
    bool seen = false;
    for (const std::string& k : keys) seen = seen || EqualsIgnoreCase(k, lines_[i].name);
    if (!seen) keys.push_back(lines_[i].name);
  }
  return keys;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  CheckName("section", section, section.find(']') == npos);
  CheckName("key", key, key.find('=') == npos && key.find_first_of("[;#") != 0);
  if (HasLineBreakOrNul(value)) throw IniFormatError("An INI value cannot hold a line break");

  std::string encoded = EncodeValue(value);
  size_t header = FindSection(section);
  if (header == npos) {
    if (!lines_.empty() && !Trim(lines_.back().raw).empty()) lines_.push_back(Line{});
    lines_.push_back(
        Line{"[" + std::string(section) + "]", LineKind::kSection, std::string(section)});
    lines_.push_back(Line{std::string(key) + "=" + encoded, LineKind::kKey, std::string(key)});
    return;
  }
  size_t existing = FindKey(header, key);
  if (existing != npos) {
    lines_[existing].raw = lines_[existing].name + "=" + encoded;
    return;
  }
  size_t insert_at = header + 1;
  for (size_t i = header + 1; i < SectionEnd(header); ++i) {
    if (lines_[i].kind == LineKind::kKey) insert_at = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert_at),
                Line{std::string(key) + "=" + encoded, LineKind::kKey, std::string(key)});
}

std::string IniDocument::Serialize() const {
  std::string out;
  if (byte_order_mark_) out += kByteOrderMark;
  for (const Line& line : lines_) {
    out += line.raw;
    out += eol_;
  }
  return out;
}

}  // namespace korvex::platform
