#include "workflow/app_settings.h"

#include "platform/app_paths.h"

namespace korvex::workflow {

namespace {

constexpr const char* kFormatNameKey = "FormatName";
constexpr const char* kFormatCodeKey = "FormatCode";
constexpr const char* kPriorityKey = "priority";
constexpr const char* kVolumeKey = "volume";
constexpr const char* kMuteKey = "mute";
constexpr int kVolumeShownWhenOutOfRange = 64;
constexpr int kMaxVolume = 128;

}  // namespace

AppSettings::AppSettings(std::string app_ini_path) : ini_(std::move(app_ini_path)) {}

const char* AppSettings::FolderKey(FolderSetting which) {
  return which == FolderSetting::kOutput ? "OutPutDir" : "SnapOutPutDir";
}

std::string AppSettings::Folder(FolderSetting which) const {
  return ini_.ReadString(kSettingsSection, FolderKey(which), platform::DefaultOutputFolder());
}

void AppSettings::SetFolder(FolderSetting which, const std::string& folder) {
  ini_.WriteString(kSettingsSection, FolderKey(which), folder);
}

std::string AppSettings::FormatName(const std::string& default_name) const {
  return ini_.ReadString(kSettingsSection, kFormatNameKey, default_name);
}

int AppSettings::FormatCode() const {
  return ini_.ReadInteger(kSettingsSection, kFormatCodeKey, kDefaultFormatCode);
}

void AppSettings::SetChosenFormat(const std::string& name, int code) {
  ini_.WriteString(kSettingsSection, kFormatNameKey, name);
  ini_.WriteInteger(kSettingsSection, kFormatCodeKey, code);
}

int AppSettings::Priority() const { return ini_.ReadInteger(kSettingsSection, kPriorityKey, 1); }

void AppSettings::SetPriority(int priority) {
  ini_.WriteInteger(kSettingsSection, kPriorityKey, priority);
}

int AppSettings::PlayerVolume() const {
  int volume = ini_.ReadInteger(kSettingsSection, kVolumeKey, 0);
  return volume < 0 || volume > kMaxVolume ? kVolumeShownWhenOutOfRange : volume;
}

void AppSettings::SetPlayerVolume(int volume) {
  ini_.WriteInteger(kSettingsSection, kVolumeKey, volume);
}

bool AppSettings::Mute() const { return ini_.ReadInteger(kSettingsSection, kMuteKey, 0) == 1; }

void AppSettings::SetMute(bool mute) { ini_.WriteBool(kSettingsSection, kMuteKey, mute); }

bool AppSettings::SnapFullSize() const {
  return ini_.ReadBool(kSettingsSection, "snapFullSize", true);
}
bool AppSettings::SnapSmallSize() const {
  return ini_.ReadBool(kSettingsSection, "snapSmallSize", true);
}
bool AppSettings::SnapBmp() const { return ini_.ReadBool(kSettingsSection, "snapBmp", true); }
bool AppSettings::SnapJpg() const { return ini_.ReadBool(kSettingsSection, "snapJpg", true); }
int AppSettings::JpgQuality() const { return ini_.ReadInteger(kSettingsSection, "jpgCmp", 30); }

bool AppSettings::GroupCollapsed(int group) const {
  return ini_.ReadBool(kGroupStatesSection, std::to_string(group), true);
}

void AppSettings::SetGroupCollapsed(int group, bool collapsed) {
  ini_.WriteBool(kGroupStatesSection, std::to_string(group), collapsed);
}

}  // namespace korvex::workflow
