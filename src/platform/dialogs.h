// The modal dialogs the application logic asks the user through. The Qt windows implement
// this interface; tests answer it with a scripted fake.
#pragma once

#include <string>
#include <vector>

namespace korvex::platform {

enum class DialogIcon { None, Information, Warning, Error, Question };
enum class DialogButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class DialogResult { Ok, Cancel, Yes, No };

// One entry of an open-file dialog's filter, for example {"Video files", {"*.avi", "*.mp4"}}.
struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;
};

class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // Shows a message box and returns the button pressed.
  virtual DialogResult MessageBox(const std::string& caption, const std::string& text,
                                  DialogIcon icon, DialogButtons buttons) = 0;

  // Asks for files to open; empty when the user cancelled.
  virtual std::vector<std::string> OpenFiles(const std::string& caption,
                                             const std::vector<FileFilter>& filters,
                                             const std::string& initial_folder, bool multiple) = 0;

  // Asks for a folder; empty when the user cancelled.
  virtual std::string ChooseFolder(const std::string& caption,
                                   const std::string& initial_folder) = 0;
};

}  // namespace korvex::platform
