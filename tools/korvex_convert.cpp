// korvex-convert: the converter without windows. For now it shows where the settings live,
// runs the start-up check of the output folders, and lists the output formats with the
// profile each one converts with.
#include <cstring>
#include <iostream>
#include <string>

#include "platform/ini_file.h"
#include "workflow/app_settings.h"
#include "workflow/format_catalogue.h"
#include "workflow/format_profile.h"
#include "workflow/global_object.h"
#include "workflow/output_folders.h"

namespace {

using namespace korvex;

void PrintUsage(std::ostream& out) {
  out << "Usage: korvex-convert --info\n"
         "       korvex-convert --help\n"
         "\n"
         "  --info   show the settings files, the output folders, the chosen output format\n"
         "           and the catalogue of output formats with their containers\n";
}

std::string ListOrNone(const workflow::FormatProfile& profile, const char* key) {
  auto entries = profile.OptionList(key);
  if (!entries) return "-";
  const int index = profile.DefaultIndex(key);
  if (index < 0 || index >= static_cast<int>(entries->size())) return "?";
  return (*entries)[index];
}

// "[container, .ext, video: default encoder, audio: default encoder]"
std::string ProfileSummary(const workflow::FormatProfile& profile) {
  return "[" + profile.Format() + ", ." + profile.FileExt() +
         ", video: " + ListOrNone(profile, "VideoEncoder") +
         ", audio: " + ListOrNone(profile, "AudioEncoder") + "]";
}

int ShowInfo() {
  workflow::TGlobalObject& global = workflow::CreateGlobalObject();
  std::cout << global.ProductTitle() << global.FileVersionText() << "\n\n";
  std::cout << "Settings file:        " << global.AppIniPath() << "\n";
  std::cout << "Format profiles file: " << global.FormatIniPath() << "\n";

  workflow::AppSettings settings(global.AppIniPath());
  try {
    std::cout << "Output folder:        "
              << workflow::CheckFolderAtStartUp(settings, workflow::FolderSetting::kOutput) << "\n";
    std::cout << "Snapshot folder:      "
              << workflow::CheckFolderAtStartUp(settings, workflow::FolderSetting::kSnapshot)
              << "\n";
  } catch (const platform::IniFileError& error) {
    std::cerr << "korvex-convert: " << error.what() << "\n";
    return 1;
  }
  platform::IniFile format_ini(global.FormatIniPath());
  std::cout << "Output format:        " << settings.FormatName() << " (code "
            << settings.FormatCode() << ") "
            << ProfileSummary(workflow::FormatProfile(format_ini, settings.FormatCode())) << "\n\n";

  workflow::FormatCatalogue catalogue;
  for (int group = 0; group < catalogue.GroupCount(); ++group) {
    std::cout << catalogue.GroupName(group) << "\n";
    for (int32_t code : catalogue.FormatCodes(group)) {
      workflow::FormatProfile profile(format_ini, code);
      std::cout << "  " << code << "  " << *catalogue.NameOfCode(code) << "  "
                << ProfileSummary(profile) << "\n";
    }
  }
  workflow::FreeGlobalObject();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--info") == 0) return ShowInfo();
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(std::cout);
    return 0;
  }
  PrintUsage(std::cerr);
  return 2;
}
