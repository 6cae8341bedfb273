#include "support/temp_environment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvex::testing {

namespace {

void Restore(const char* name, bool had, const std::string& value) {
  if (had) {
    ::setenv(name, value.c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

}  // namespace

void TempEnvironment::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "korvex-test-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  std::filesystem::create_directories(Home());
  std::filesystem::create_directories(AppData());
  if (const char* home = std::getenv("HOME")) {
    had_home_ = true;
    saved_home_ = home;
  }
  if (const char* appdata = std::getenv("KORVEX_APPDATA")) {
    had_appdata_ = true;
    saved_appdata_ = appdata;
  }
  ::setenv("HOME", Home().c_str(), 1);
  ::setenv("KORVEX_APPDATA", AppData().c_str(), 1);
}

void TempEnvironment::TearDown() {
  Restore("HOME", had_home_, saved_home_);
  Restore("KORVEX_APPDATA", had_appdata_, saved_appdata_);
  if (root_.empty()) return;
  std::error_code error;
  // Tests may leave read-only folders behind; make them removable first.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_, error)) {
    if (entry.is_directory(error)) {
      std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, error);
    }
  }
  std::filesystem::remove_all(root_, error);
}

void TempEnvironment::WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::string TempEnvironment::ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace korvex::testing
