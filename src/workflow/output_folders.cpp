#include "workflow/output_folders.h"

#include "platform/app_paths.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "workflow/global_object.h"

namespace korvex::workflow {

namespace {

constexpr const char* kWarningCaption = "Warning";
constexpr size_t kShortestFolder = 4;

void Warn(platform::Dialogs& dialogs, const std::string& text) {
  dialogs.MessageBox(kWarningCaption, text, platform::DialogIcon::Warning,
                     platform::DialogButtons::Ok);
}

}  // namespace

std::string CheckFolderAtStartUp(AppSettings& settings, FolderSetting which) {
  std::string folder = settings.Folder(which);
  if (TGlobalObject::CanWriteFolder(folder)) return folder;
  folder = platform::FallbackOutputFolder();
  settings.SetFolder(which, folder);
  return folder;
}

std::string EnsureFolderExists(AppSettings& settings, platform::Dialogs& dialogs,
                               FolderSetting which) {
  std::string folder = settings.Folder(which);
  if (platform::FolderExists(folder) || platform::CreateFolderTree(folder)) return folder;
  const std::string fallback = platform::DefaultOutputFolder();
  Warn(dialogs, "Cannot create output directory:" + folder + ".It will create default directory " +
                    fallback + "!");
  platform::CreateFolderTree(fallback);
  settings.SetFolder(which, fallback);
  return fallback;
}

std::optional<std::string> ApplyChosenFolder(AppSettings& settings, platform::Dialogs& dialogs,
                                             FolderSetting which, const std::string& chosen,
                                             const std::string& shown) {
  if (chosen.empty() || chosen == shown) return std::nullopt;
  if (platform::Utf8Length(chosen) < kShortestFolder) {
    Warn(dialogs, "The path " + chosen + " is not a valid directory.");
    return std::nullopt;
  }
  std::string folder = chosen;
  if (!TGlobalObject::CanWriteFolder(folder)) {
    Warn(dialogs, "You login as " + std::string(platform::Trim(TGlobalObject::LoginName())) +
                      " .You don't have permission to write to directory:" + folder);
    folder = platform::FallbackOutputFolder();
  }
  settings.SetFolder(which, folder);
  return folder;
}

std::optional<std::string> BrowseForFolder(AppSettings& settings, platform::Dialogs& dialogs,
                                           FolderSetting which, const std::string& shown) {
  std::string chosen =
      dialogs.ChooseFolder("Please select an output directory:", settings.Folder(which));
  return ApplyChosenFolder(settings, dialogs, which, chosen, shown);
}

bool OpenFolderSetting(const AppSettings& settings, FolderSetting which, const std::string& shown,
                       const std::function<bool(const std::string&)>& open) {
  std::string folder = settings.Folder(which);
  if (platform::Utf8Length(shown) <= 2) return false;
  return open ? open(folder) : platform::OpenFolder(folder);
}

}  // namespace korvex::workflow
