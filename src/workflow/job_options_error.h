// Raised by the parameter builder when a stored value cannot be used (a volume that is not a
// whole number, a bit rate out of range, a picture size of 0). It ends the start of the batch,
// and the application's error handler shows the message.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace korvex::workflow {

class JobOptionsError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// Where a value was read: the user's section of a format in the application INI, or the
// format's profile in the format INI.
inline std::string InUserSettings(std::string_view section) {
  return "the user's settings [" + std::string(section) + "]";
}
inline std::string InFormatProfile(std::string_view section) {
  return "the format profile [" + std::string(section) + "]";
}

// An error naming the key, where it was read and the value found there.
inline JobOptionsError BadStoredValue(std::string_view where, std::string_view key,
                                      std::string_view value, std::string_view expected) {
  return JobOptionsError("Invalid value \"" + std::string(value) + "\" of " + std::string(key) +
                         " in " + std::string(where) + ": " + std::string(expected) +
                         " is expected.");
}

}  // namespace korvex::workflow
