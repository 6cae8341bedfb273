// A scripted stand-in for the application's dialogs: it records every message box and
// answers with queued replies (Ok when none is queued).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace korvex::testing {

struct ShownMessage {
  std::string caption;
  std::string text;
  platform::DialogIcon icon;
  platform::DialogButtons buttons;
};

class FakeDialogs : public platform::Dialogs {
 public:
  platform::DialogResult MessageBox(const std::string& caption, const std::string& text,
                                    platform::DialogIcon icon,
                                    platform::DialogButtons buttons) override;
  std::vector<std::string> OpenFiles(const std::string& caption,
                                     const std::vector<platform::FileFilter>& filters,
                                     const std::string& initial_folder, bool multiple) override;
  std::string ChooseFolder(const std::string& caption, const std::string& initial_folder) override;

  // Replies, used in order.
  std::deque<platform::DialogResult> message_replies;
  std::deque<std::vector<std::string>> open_files_replies;
  std::deque<std::string> folder_replies;

  // What was asked.
  std::vector<ShownMessage> messages;
  std::vector<std::string> folder_initials;
  std::vector<bool> open_files_multiple;
};

}  // namespace korvex::testing
