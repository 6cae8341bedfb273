// A format's profile in the delivered format INI: its container, file extension, the choice
// lists offered by the format settings dialog, their factory-default indexes and fallbacks.
// The format INI is only ever read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"

namespace korvex::workflow {

// The nine keys of a profile that hold option lists, in the order of the settings dialog.
inline constexpr const char* kOptionListKeys[] = {
    "VideoSize",  "VideoBitRate", "FrameRate", "VideoEncoder", "AudioBitRate",
    "SampleRate", "AudioEncoder", "Channel",   "Volume",
};

// "formatInfo" followed by the decimal format code: the section of a format in both INIs.
std::string FormatSectionName(int code);

class FormatProfile {
 public:
  FormatProfile(const platform::IniFile& format_ini, int code);

  int Code() const { return code_; }
  const std::string& Section() const { return section_; }

  // Output container or target name, "null" when absent.
  std::string Format() const;
  // Extension of the output file without the dot, "mp4" when absent.
  std::string FileExt() const;
  // Any key of the section as stored, or the default when absent.
  std::string Value(std::string_view key, std::string_view default_value) const;
  // The entries of an option list; nullopt when the key is missing or holds "null", which
  // means the format offers no choice for that parameter.
  std::optional<std::vector<std::string>> OptionList(std::string_view key) const;
  // The factory-default index of an option list ("i" + key), 0 when absent.
  int DefaultIndex(std::string_view list_key) const;

 private:
  const platform::IniFile& ini_;
  int code_;
  std::string section_;
};

}  // namespace korvex::workflow
