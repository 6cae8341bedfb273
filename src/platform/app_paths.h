// Where the application keeps its files on this machine.
//
// - The application-data folder holds both INI files: $KORVEX_APPDATA when set, else the
//   machine-wide /var/lib/korvex-video-converter when it can be written, else the user's
//   $XDG_DATA_HOME/korvex-video-converter (~/.local/share/korvex-video-converter).
// - The delivered format INI is copied into that folder on first use when it is missing.
// - The default output and snapshot folder is ~/Videos/videoconverter; when a configured
//   folder cannot be written, the fallback is ~/videoconverter.
#pragma once

#include <string>

namespace korvex::platform {

inline constexpr const char* kAppIniName = "korvexavimovconverter.ini";
inline constexpr const char* kFormatIniName = "korvexavimovformat.ini";

// The application-data folder with a trailing "/", created when missing. Also copies the
// delivered format INI there when the folder holds none. Empty when no folder can be made.
std::string AppDataFolder();

// The format INI delivered with the program: share/korvex/ beside the bin/ folder of the
// executable. Empty when it cannot be found.
std::string DeliveredFormatIniPath();

// The folder of the running executable, without a trailing "/".
std::string ExecutableFolder();

// $HOME, or the home folder of the effective user's passwd entry.
std::string HomeFolder();

// The output and snapshot folder used when none is configured.
std::string DefaultOutputFolder();

// The folder used when a configured folder cannot be written: ~/videoconverter.
std::string FallbackOutputFolder();

// True when the path names an existing folder.
bool FolderExists(const std::string& path);

// Creates the folder with every missing level. True when it exists afterwards.
bool CreateFolderTree(const std::string& path);

}  // namespace korvex::platform
