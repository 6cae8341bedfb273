// What the INI tests look at besides the file text: the names in its folder, so that a
// temporary file left behind by a write shows up.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace korvex::testing {

inline std::set<std::string> FolderEntries(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

}  // namespace korvex::testing
