// The rules for the output and snapshot folders: checked at start-up, created when they are
// needed, replaced by the user's choice, and shown in the file manager.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/dialogs.h"
#include "workflow/app_settings.h"

namespace korvex::workflow {

// Start-up check of one folder setting: an unwritable (or missing) folder is replaced by the
// home-folder fallback, which is written back but not created. Returns the folder in effect.
std::string CheckFolderAtStartUp(AppSettings& settings, FolderSetting which);

// Makes sure the folder of the setting exists before a file is written into it. When it
// cannot be created, warns the user, creates the default folder and stores that instead.
// Returns the folder in effect afterwards.
std::string EnsureFolderExists(AppSettings& settings, platform::Dialogs& dialogs,
                               FolderSetting which);

// Takes a folder the user picked in the folder chooser. `shown` is the folder the window
// shows now. Returns the folder to show from now on, or nullopt when nothing changed: the
// choice was empty, equal to what is shown, or too short to be a folder (with a warning).
// An unwritable choice is replaced, after a warning, by the home-folder fallback.
std::optional<std::string> ApplyChosenFolder(AppSettings& settings, platform::Dialogs& dialogs,
                                             FolderSetting which, const std::string& chosen,
                                             const std::string& shown);

// The folder chooser step of the Browse command: asks for a folder, preset to the current
// setting, and applies the answer as ApplyChosenFolder does.
std::optional<std::string> BrowseForFolder(AppSettings& settings, platform::Dialogs& dialogs,
                                           FolderSetting which, const std::string& shown);

// Opens the stored folder in the file manager when the shown text is longer than 2
// characters. `open` defaults to the desktop's file manager. False when nothing was opened.
bool OpenFolderSetting(const AppSettings& settings, FolderSetting which, const std::string& shown,
                       const std::function<bool(const std::string&)>& open = {});

}  // namespace korvex::workflow
