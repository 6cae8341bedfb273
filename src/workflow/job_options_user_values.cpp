#include "workflow/job_options_user_values.h"

#include "workflow/format_catalogue.h"
#include "workflow/format_defaults.h"

namespace korvex::workflow {

namespace {

platform::IniDocument FactoryDefaultSection(const FormatProfile& profile) {
  platform::IniDocument document;
  const std::string description = FormatCatalogue().NameOfCode(profile.Code()).value_or("");
  for (const auto& [key, value] :
       ConfirmedSectionWrites(profile, description, FactoryDefaultChoices(profile))) {
    document.Set(profile.Section(), key, value);
  }
  return document;
}

}  // namespace

UserFormatValues::UserFormatValues(const platform::IniFile& app_ini, const FormatProfile& profile)
    : section_(profile.Section()), values_(app_ini.Load()) {
  if (!values_.HasSection(section_)) values_ = FactoryDefaultSection(profile);
}

std::string UserFormatValues::Value(std::string_view key, std::string_view default_value) const {
  return values_.Get(section_, key).value_or(std::string(default_value));
}

}  // namespace korvex::workflow
