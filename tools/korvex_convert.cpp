// korvex-convert: the converter without windows. It shows where the settings live, runs the
// start-up check of the output folders and lists the output formats with the profile each one
// converts with; given files, it describes each of them as the file information window does.
#include <cstring>
#include <iostream>
#include <string>

#include "engine/engine_exception.h"
#include "engine/media_probe.h"
#include "platform/app_paths.h"
#include "platform/ini_file.h"
#include "workflow/app_settings.h"
#include "workflow/format_catalogue.h"
#include "workflow/format_profile.h"
#include "workflow/global_object.h"
#include "workflow/output_folders.h"

namespace {

using namespace korvex;

void PrintUsage(std::ostream& out) {
  out << "Usage: korvex-convert --info [FILE...]\n"
         "       korvex-convert --help\n"
         "\n"
         "  --info           show the settings files, the output folders, the chosen output\n"
         "                   format and the catalogue of output formats with their containers\n"
         "  --info FILE...   describe each media file: container, duration, bit rate, tags\n"
         "                   and streams\n";
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

// Every file is described; the status is 1 when any of them could not be loaded.
int ShowFileInfo(int count, char** files) {
  engine::TMediaProbe probe;
  if (!probe.LoadAVLib(platform::ExecutableFolder() + "/LibAV")) {
    std::cerr << "korvex-convert: " << probe.LastErrMsg() << "\n";
    return 1;
  }
  int status = 0;
  for (int i = 0; i < count; ++i) {
    if (!probe.LoadFile(files[i])) {
      std::cerr << "korvex-convert: " << probe.LastErrMsg() << "\n";
      status = 1;
      continue;
    }
    std::cout << probe.InfoText() << "\n\n";
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--info") == 0) return ShowInfo();
  if (argc > 2 && std::strcmp(argv[1], "--info") == 0) return ShowFileInfo(argc - 2, argv + 2);
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(std::cout);
    return 0;
  }
  PrintUsage(std::cerr);
  return 2;
}
