#include "workflow/format_profile.h"

#include "workflow/option_list.h"

namespace korvex::workflow {

namespace {
constexpr const char* kNoChoice = "null";
}

std::string FormatSectionName(int code) { return "formatInfo" + std::to_string(code); }

FormatProfile::FormatProfile(const platform::IniFile& format_ini, int code)
    : ini_(format_ini), code_(code), section_(FormatSectionName(code)) {}

std::string FormatProfile::Format() const { return Value("Format", kNoChoice); }

std::string FormatProfile::FileExt() const { return Value("FileExt", "mp4"); }

std::string FormatProfile::Value(std::string_view key, std::string_view default_value) const {
  return ini_.ReadString(section_, key, default_value);
}

std::optional<std::vector<std::string>> FormatProfile::OptionList(std::string_view key) const {
  std::string value = Value(key, kNoChoice);
  if (value == kNoChoice) return std::nullopt;
  return ParseOptionList(value);
}

int FormatProfile::DefaultIndex(std::string_view list_key) const {
  return ini_.ReadInteger(section_, "i" + std::string(list_key), 0);
}

}  // namespace korvex::workflow
