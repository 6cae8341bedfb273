#include "support/fake_dialogs.h"

namespace korvex::testing {

namespace {

template <typename T>
T Next(std::deque<T>& replies, T fallback) {
  if (replies.empty()) return fallback;
  T reply = std::move(replies.front());
  replies.pop_front();
  return reply;
}

}  // namespace

platform::DialogResult FakeDialogs::MessageBox(const std::string& caption, const std::string& text,
                                               platform::DialogIcon icon,
                                               platform::DialogButtons buttons) {
  messages.push_back({caption, text, icon, buttons});
  return Next(message_replies, platform::DialogResult::Ok);
}

std::vector<std::string> FakeDialogs::OpenFiles(const std::string&,
                                                const std::vector<platform::FileFilter>&,
                                                const std::string&, bool multiple) {
  open_files_multiple.push_back(multiple);
  return Next(open_files_replies, {});
}

std::string FakeDialogs::ChooseFolder(const std::string&, const std::string& initial_folder) {
  folder_initials.push_back(initial_folder);
  return Next(folder_replies, std::string());
}

}  // namespace korvex::testing
