#include "engine/file_names.h"

#include "platform/text.h"

namespace korvex::engine {
namespace {

constexpr std::string_view kUnicodePrefix = "unicode:utf8:";
constexpr std::string_view kLibraryProtocols = ":unicode:stream:gopher:http:pipe:rtp:tcp:udp:";

bool IsAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

}  // namespace

bool HasLibraryProtocol(std::string_view name) {
  const size_t colon = name.find(':');
  if (colon == std::string_view::npos || colon == 0) return false;
  const std::string entry = ":" + platform::ToLowerAscii(name.substr(0, colon)) + ":";
  return kLibraryProtocols.find(entry) != std::string_view::npos;
}

std::string FileNameToLibrary(std::string_view name) {
  if (HasLibraryProtocol(name) || IsAscii(name)) return std::string(name);
  return std::string(kUnicodePrefix) + std::string(name);
}

std::string FileNameFromLibrary(std::string_view text) {
  if (text.size() >= kUnicodePrefix.size() + 1 &&
      text.substr(0, kUnicodePrefix.size()) == kUnicodePrefix) {
    return std::string(text.substr(kUnicodePrefix.size()));
  }
  return std::string(text);
}

}  // namespace korvex::engine
