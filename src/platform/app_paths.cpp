#include "platform/app_paths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace korvex::platform {

namespace {

constexpr const char* kFolderName = "korvex-video-converter";
constexpr const char* kMachineWideFolder = "/var/lib/korvex-video-converter";

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string WithTrailingSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

bool CanCreateFilesIn(const std::string& folder) {
  return CreateFolderTree(folder) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string ChooseAppDataFolder() {
  std::string chosen = Env("KORVEX_APPDATA");
  if (!chosen.empty()) return CreateFolderTree(chosen) ? chosen : "";
  if (CanCreateFilesIn(kMachineWideFolder)) return kMachineWideFolder;
  std::string data_home = Env("XDG_DATA_HOME");
  if (data_home.empty()) data_home = HomeFolder() + "/.local/share";
  chosen = data_home + "/" + kFolderName;
  return CreateFolderTree(chosen) ? chosen : "";
}

void CopyDeliveredFormatIni(const std::string& folder) {
  std::error_code error;
  std::filesystem::path copy = std::filesystem::path(folder) / kFormatIniName;
  if (std::filesystem::exists(copy, error)) return;
  std::string delivered = DeliveredFormatIniPath();
  if (delivered.empty()) return;
  // A missing format INI reads as "no choices"; a failed copy leaves exactly that state.
  std::filesystem::copy_file(delivered, copy, std::filesystem::copy_options::skip_existing, error);
}

}  // namespace

std::string ExecutableFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return ".";
  return exe.parent_path().string();
}

std::string DeliveredFormatIniPath() {
  std::filesystem::path candidate =
      std::filesystem::path(ExecutableFolder()) / ".." / "share" / "korvex" / kFormatIniName;
  std::error_code error;
  if (!std::filesystem::is_regular_file(candidate, error)) return "";
  return std::filesystem::weakly_canonical(candidate, error).string();
}

std::string AppDataFolder() {
  std::string folder = ChooseAppDataFolder();
  if (folder.empty()) return "";
  CopyDeliveredFormatIni(folder);
  return WithTrailingSlash(folder);
}

std::string HomeFolder() {
  std::string home = Env("HOME");
  if (!home.empty()) return home;
  if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/";
}

std::string DefaultOutputFolder() { return HomeFolder() + "/Videos/videoconverter"; }

std::string FallbackOutputFolder() { return HomeFolder() + "/videoconverter"; }

bool FolderExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolderTree(const std::string& path) {
  if (path.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(path, error);
  return FolderExists(path);
}

}  // namespace korvex::platform
