// The user's choices for one output format, read once at the start of a build.
#pragma once

#include <string>
#include <string_view>

#include "platform/ini_document.h"
#include "platform/ini_file.h"
#include "workflow/format_profile.h"

namespace korvex::workflow {

class UserFormatValues {
 public:
  // The application INI section "formatInfo" + code as it stands. A format whose section was
  // never written reads as if its factory defaults had been confirmed in the format settings
  // dialog, so that a fresh install converts with the profile's own defaults.
  UserFormatValues(const platform::IniFile& app_ini, const FormatProfile& profile);

  // The stored value, or the default when the key is absent; keys compare without case.
  std::string Value(std::string_view key, std::string_view default_value) const;
  const std::string& Section() const { return section_; }

 private:
  std::string section_;
  platform::IniDocument values_;
};

}  // namespace korvex::workflow
