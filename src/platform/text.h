// Small text helpers shared by the platform layer and its users. Text is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvex::platform {

// Lower-cases ASCII letters only; other bytes (UTF-8 sequences included) stay as they are.
std::string ToLowerAscii(std::string_view text);

// Compares two texts, treating ASCII letters without regard to case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Removes blanks (space, tab) and control characters at both ends.
std::string_view Trim(std::string_view text);

// Number of characters (code points) of a UTF-8 text; a stray byte counts as one character.
size_t Utf8Length(std::string_view text);

// The last `count` characters of a UTF-8 text, or the whole text when it is shorter.
std::string Utf8Right(std::string_view text, size_t count);

// Reads a whole text as a decimal integer with an optional sign: "12" and "-3" parse,
// "", "12a", " 1" and values outside the int range do not.
std::optional<int> ParseInt(std::string_view text);

// Reads a whole text as a decimal number ("29.97", "-1", "1e3"); no blanks, no trailing junk.
std::optional<double> ParseDouble(std::string_view text);

}  // namespace korvex::platform
