// The "settings" and "lstformat" sections of the application INI: every key with its
// default and its reading rule. Nothing is cached: each call reads or writes the file.
#pragma once

#include <string>

#include "platform/ini_file.h"

namespace korvex::workflow {

inline constexpr const char* kSettingsSection = "settings";
inline constexpr const char* kGroupStatesSection = "lstformat";

inline constexpr const char* kDefaultFormatName = "Apple iPod Video MPEG-4 Movie (*.mp4)";
// The name the format settings dialog assumes when none is stored.
inline constexpr const char* kDialogDefaultFormatName = "iPod Video MPEG-4";
inline constexpr int kDefaultFormatCode = 1;

// The two folder settings share their rules (start-up check, creation, choice).
enum class FolderSetting { kOutput, kSnapshot };

class AppSettings {
 public:
  explicit AppSettings(std::string app_ini_path);

  platform::IniFile& Ini() { return ini_; }
  const platform::IniFile& Ini() const { return ini_; }

  // "OutPutDir" / "SnapOutPutDir"; the default is the default output folder.
  static const char* FolderKey(FolderSetting which);
  std::string Folder(FolderSetting which) const;
  void SetFolder(FolderSetting which, const std::string& folder);

  // The format settings dialog asks with its own default name.
  std::string FormatName(const std::string& default_name = kDefaultFormatName) const;
  int FormatCode() const;
  // Writes "FormatName" and "FormatCode" as the chooser does when a format is chosen.
  void SetChosenFormat(const std::string& name, int code);

  // 0 Idle, 1 Normal, 2 Lower, 3 Lowest.
  int Priority() const;
  void SetPriority(int priority);

  // The player volume to show: a stored value outside 0..128 shows as 64, while the file
  // keeps what it holds until the user moves the volume bar.
  int PlayerVolume() const;
  void SetPlayerVolume(int volume);
  bool Mute() const;
  void SetMute(bool mute);

  bool SnapFullSize() const;
  bool SnapSmallSize() const;
  bool SnapBmp() const;
  bool SnapJpg() const;
  int JpgQuality() const;

  // "lstformat": true (the default) when the group is shown collapsed.
  bool GroupCollapsed(int group) const;
  void SetGroupCollapsed(int group, bool collapsed);

 private:
  platform::IniFile ini_;
};

}  // namespace korvex::workflow
