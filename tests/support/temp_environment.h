// Every test that touches settings or files runs in its own temporary folder: HOME and
// KORVEX_APPDATA point into it while the fixture lives, and it is removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace korvex::testing {

class TempEnvironment : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The temporary root, without a trailing "/".
  const std::string& Root() const { return root_; }
  // $HOME inside the root.
  std::string Home() const { return root_ + "/home"; }
  // $KORVEX_APPDATA inside the root, without a trailing "/".
  std::string AppData() const { return root_ + "/appdata"; }

  // Writes a whole file, creating missing folders.
  static void WriteFile(const std::string& path, const std::string& text);
  // The whole file; empty when it cannot be read.
  static std::string ReadFile(const std::string& path);

 private:
  std::string root_;
  std::string saved_home_;
  std::string saved_appdata_;
  bool had_home_ = false;
  bool had_appdata_ = false;
};

}  // namespace korvex::testing
