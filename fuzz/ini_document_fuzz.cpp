// The INI document reads the settings file and the format profiles, which users and other
// programs edit. For any text: writing an unchanged document back keeps every line, every
// key that Keys() lists can be read, and one update (chosen by the input) changes that key
// only, keeps the other lines, and reads back as written after the text is parsed again.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "platform/ini_document.h"
#include "platform/text.h"

namespace {

using korvex::platform::EqualsIgnoreCase;
using korvex::platform::IniDocument;
using korvex::platform::IniFormatError;
using korvex::platform::ToLowerAscii;
using korvex::platform::Trim;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t npos = std::string_view::npos;

// The lines of a text: split at "\n", one "\r" before it dropped, no line after a final "\n".
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

// An unchanged document writes back its byte order mark and every line as it was, each line
// ended the way the first line of the text is.
std::string ExpectedRewrite(std::string_view text) {
  std::string out;
  if (text.starts_with(kByteOrderMark)) {
    out += kByteOrderMark;
    text.remove_prefix(kByteOrderMark.size());
  }
  const size_t first_end = text.find('\n');
  const bool crlf = first_end != npos && first_end > 0 && text[first_end - 1] == '\r';
  for (std::string_view line : SplitLines(text)) {
    out += line;
    out += crlf ? "\r\n" : "\n";
  }
  return out;
}

// The names of the section headers of a text, each once: a line that starts with "[" after
// blanks and has a "]" names the section between them.
std::vector<std::string> SectionNames(std::string_view text) {
  std::vector<std::string> names;
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  for (std::string_view line : SplitLines(text)) {
    const std::string_view body = Trim(line);
    const size_t close = body.find(']');
    if (!body.starts_with('[') || close == npos) continue;
    const std::string_view name = Trim(body.substr(1, close - 1));
    bool seen = false;
    for (const std::string& known : names) seen = seen || EqualsIgnoreCase(known, name);
    if (!seen) names.emplace_back(name);
  }
  return names;
}

struct Section {
  std::string name;
  std::vector<std::pair<std::string, std::string>> keys;  // key as listed, its value
  bool operator==(const Section&) const = default;
};

// Every key of the given sections through Keys() and Get(), checking that the two agree and
// that lookups ignore the case of names.
std::vector<Section> ReadAll(const IniDocument& doc, const std::vector<std::string>& sections) {
  std::vector<Section> all;
  for (const std::string& name : sections) {
    KORVEX_FUZZ_CHECK(doc.HasSection(name));
    Section section{name, {}};
    const std::vector<std::string> keys = doc.Keys(name);
    for (size_t i = 0; i < keys.size(); ++i) {
      KORVEX_FUZZ_CHECK(!keys[i].empty() && Trim(keys[i]) == keys[i]);
      for (size_t j = 0; j < i; ++j) KORVEX_FUZZ_CHECK(!EqualsIgnoreCase(keys[i], keys[j]));
      const std::optional<std::string> value = doc.Get(name, keys[i]);
      KORVEX_FUZZ_CHECK(value.has_value());
      KORVEX_FUZZ_CHECK(doc.Get(ToLowerAscii(name), ToLowerAscii(keys[i])) == value);
      section.keys.emplace_back(keys[i], *value);
    }
    all.push_back(std::move(section));
  }
  return all;
}

// An update rewrites one line in place, inserts one key line, or appends a section (a blank
// line, the header and the key line); the byte order mark and every other line stay as they were.
void CheckOtherLinesKept(std::string_view before, std::string_view after) {
  KORVEX_FUZZ_CHECK(before.starts_with(kByteOrderMark) == after.starts_with(kByteOrderMark));
  if (before.starts_with(kByteOrderMark)) {
    before.remove_prefix(kByteOrderMark.size());
    after.remove_prefix(kByteOrderMark.size());
  }
  const std::vector<std::string_view> old_lines = SplitLines(before);
  const std::vector<std::string_view> new_lines = SplitLines(after);
  const size_t shorter = std::min(old_lines.size(), new_lines.size());
  size_t prefix = 0;
  while (prefix < shorter && old_lines[prefix] == new_lines[prefix]) ++prefix;
  size_t suffix = 0;
  while (prefix + suffix < shorter &&
         old_lines[old_lines.size() - 1 - suffix] == new_lines[new_lines.size() - 1 - suffix]) {
    ++suffix;
  }
  const size_t removed = old_lines.size() - prefix - suffix;
  const size_t added = new_lines.size() - prefix - suffix;
  KORVEX_FUZZ_CHECK((removed == 0 && added <= 3) || (removed == 1 && added == 1));
}

// The update an input asks for, read from its last bytes; the bytes before them are the text.
struct Update {
  uint8_t section_choice;
  uint16_t section_at;
  uint8_t section_length;
  uint8_t key_choice;
  uint16_t key_at;
  uint8_t key_length;
  uint16_t value_at;
  uint8_t value_length;
  uint8_t value_style;
};

Update ReadUpdate(FuzzedDataProvider& input) {
  return Update{input.ConsumeIntegral<uint8_t>(),  input.ConsumeIntegral<uint16_t>(),
                input.ConsumeIntegral<uint8_t>(),  input.ConsumeIntegral<uint8_t>(),
                input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint8_t>(),
                input.ConsumeIntegral<uint16_t>(), input.ConsumeIntegral<uint8_t>(),
                input.ConsumeIntegral<uint8_t>()};
}

std::string Piece(std::string_view text, uint16_t at, size_t length) {
  if (text.empty()) return {};
  return std::string(text.substr(at % text.size(), length));
}

// An even choice takes one of the names the document has (if any), an odd one a piece of text.
std::string Choose(uint8_t choice, const std::vector<std::string>& names, std::string_view text,
                   uint16_t at, uint8_t length) {
  if (choice % 2 == 0 && !names.empty()) return names[choice / 2 % names.size()];
  return Piece(text, at, length % 32);
}

// Blanks and quotes around a value are what writing has to protect from being read away.
std::string Styled(std::string value, uint8_t style) {
  if (style & 1) value.insert(0, 1, ' ');
  if (style & 2) value += '\t';
  if (style & 4) value = '"' + value + '"';
  if (style & 8) value = '\'' + value + '\'';
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const Update update = ReadUpdate(input);
  const std::string text = input.ConsumeRemainingBytesAsString();

  IniDocument doc = IniDocument::Parse(text);
  const std::string written = doc.Serialize();
  KORVEX_FUZZ_CHECK(written == ExpectedRewrite(text));

  const std::vector<std::string> sections = SectionNames(text);
  const std::vector<Section> before = ReadAll(doc, sections);
  KORVEX_FUZZ_CHECK(ReadAll(IniDocument::Parse(written), sections) == before);

  const std::string section =
      Choose(update.section_choice, sections, text, update.section_at, update.section_length);
  const std::vector<std::string> keys = doc.Keys(section);
  const std::string key = Choose(update.key_choice, keys, text, update.key_at, update.key_length);
  const std::string value =
      Styled(Piece(text, update.value_at, update.value_length % 64), update.value_style);
  try {
    doc.Set(section, key, value);
  } catch (const IniFormatError&) {
    KORVEX_FUZZ_CHECK(doc.Serialize() == written);
    return 0;
  }

  const std::string updated = doc.Serialize();
  CheckOtherLinesKept(written, updated);
  const IniDocument reread = IniDocument::Parse(updated);
  KORVEX_FUZZ_CHECK(doc.Get(section, key) == value);
  KORVEX_FUZZ_CHECK(reread.Get(section, key) == value);

  // Only the updated key differs; a new key is listed after the section's other keys.
  std::vector<Section> expected = before;
  bool known_section = false;
  for (Section& s : expected) {
    if (!EqualsIgnoreCase(s.name, section)) continue;
    known_section = true;
    bool known_key = false;
    for (auto& [k, v] : s.keys) {
      if (EqualsIgnoreCase(k, key)) {
        v = value;
        known_key = true;
      }
    }
    if (!known_key) s.keys.emplace_back(key, value);
  }
  KORVEX_FUZZ_CHECK(ReadAll(reread, sections) == expected);
  if (!known_section) KORVEX_FUZZ_CHECK(reread.Keys(section) == std::vector<std::string>{key});
  return 0;
}
