#include "workflow/destination_name.h"

#include <filesystem>
#include <system_error>

#include "workflow/output_folders.h"

namespace korvex::workflow {

namespace {

namespace fs = std::filesystem;

// Anything at the path (a file, a folder, even a dangling link) makes the name taken: the
// output could not be written there.
bool PathTaken(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

std::string BasePath(const std::string& source_path, std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + fs::path(source_path).stem().string();
}

}  // namespace

std::string DestinationName(const std::string& source_path, const std::string& suffix,
                            AppSettings& settings, platform::Dialogs& dialogs) {
  DestinationReservations only_this_call;
  return DestinationName(source_path, suffix, settings, dialogs, only_this_call);
}

std::string DestinationName(const std::string& source_path, const std::string& suffix,
                            AppSettings& settings, platform::Dialogs& dialogs,
                            DestinationReservations& reservations) {
  const std::string base =
      BasePath(source_path, EnsureFolderExists(settings, dialogs, FolderSetting::kOutput));
  auto free = [&](const std::string& path) {
    return !PathTaken(path) && !reservations.IsReserved(path);
  };
  std::string name = base + "_(new)" + suffix;
  for (int n = 1; !free(name); ++n) name = base + "_(new_" + std::to_string(n) + ")" + suffix;
  reservations.Reserve(name);
  return name;
}

}  // namespace korvex::workflow
