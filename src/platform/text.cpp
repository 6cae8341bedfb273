#include "platform/text.h"

#include <charconv>
#include <cmath>

namespace korvex::platform {

namespace {

bool IsTrimmed(unsigned char c) { return c <= ' ' || c == 0x7f; }

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// The number of bytes of the character starting at `at`: a lead byte with all the
// continuation bytes it announces, else one byte (a stray byte, Latin-1 text for example).
size_t CharacterSize(std::string_view text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  const size_t size = lead >= 0xF0 && lead <= 0xF7   ? 4
                      : lead >= 0xE0 && lead <= 0xEF ? 3
                      : lead >= 0xC0 && lead <= 0xDF ? 2
                                                     : 1;
  if (at + size > text.size()) return 1;
  for (size_t i = at + 1; i < at + size; ++i) {
    if (!IsContinuationByte(static_cast<unsigned char>(text[i]))) return 1;
  }
  return size;
}

}  // namespace

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsTrimmed(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsTrimmed(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

size_t Utf8Length(std::string_view text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); at += CharacterSize(text, at)) ++count;
  return count;
}

std::string Utf8Right(std::string_view text, size_t count) {
  const size_t length = Utf8Length(text);
  if (count >= length) return std::string(text);
  size_t start = 0;
  for (size_t skip = length - count; skip > 0; --skip) start += CharacterSize(text, start);
  return std::string(text.substr(start));
}

// from_chars takes no plus sign; one plus sign before the digits is accepted here.
static std::string_view WithoutPlusSign(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-') text.remove_prefix(1);
  return text;
}

// Reads the whole text as a number, independently of the process locale (which the GUI sets
// from the desktop); nothing may precede or follow the number.
template <typename Number>
static std::optional<Number> ParseWhole(std::string_view text) {
  text = WithoutPlusSign(text);
  if (text.empty()) return std::nullopt;
  Number value{};
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<int> ParseInt(std::string_view text) { return ParseWhole<int>(text); }

std::optional<double> ParseDouble(std::string_view text) {
  std::optional<double> value = ParseWhole<double>(text);
  if (value && !std::isfinite(*value)) return std::nullopt;
  return value;
}

}  // namespace korvex::platform
