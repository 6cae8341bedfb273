// The desktop handlers are started without a shell: a fake xdg-open first in PATH records the
// arguments it receives, one file per argument, and who started it.
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_environment.h"

namespace korvex::platform {
namespace {

class ShellTest : public testing::TempEnvironment {
 protected:
  void SetUp() override {
    TempEnvironment::SetUp();
    if (const char* path = std::getenv("PATH")) saved_path_ = path;
    InstallRecorder(Bin() + "/xdg-open");
    ::setenv("PATH", (Bin() + ":" + saved_path_).c_str(), 1);
  }
  void TearDown() override {
    ::setenv("PATH", saved_path_.c_str(), 1);
    TempEnvironment::TearDown();
  }

  std::string Bin() const { return Root() + "/bin"; }
  std::string Calls() const { return Root() + "/calls"; }

  // The recorder writes into calls.tmp and renames it to calls when complete.
  void InstallRecorder(const std::string& path) const {
    WriteFile(path,
              "#!/bin/sh\n"
              "d='" +
                  Calls() +
                  ".tmp'\n"
                  "mkdir \"$d\" || exit 1\n"
                  "printf '%s' \"$PPID\" > \"$d/parent\"\n"
                  "i=0\n"
                  "for a in \"$@\"; do i=$((i+1)); printf '%s' \"$a\" > \"$d/$i\"; done\n"
                  "mv \"$d\" '" +
                  Calls() + "'\n");
    ASSERT_EQ(::chmod(path.c_str(), 0755), 0);
  }

  // The arguments of the one recorded call, after waiting for it to finish.
  std::vector<std::string> RecordedArguments() const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(Calls()) && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::vector<std::string> arguments;
    if (!std::filesystem::exists(Calls())) {
      ADD_FAILURE() << "the fake program did not run";
      return arguments;
    }
    EXPECT_EQ(ReadFile(Calls() + "/parent"), std::to_string(::getpid()))
        << "started through another process";
    for (int i = 1; std::filesystem::exists(Calls() + "/" + std::to_string(i)); ++i) {
      arguments.push_back(ReadFile(Calls() + "/" + std::to_string(i)));
    }
    std::filesystem::remove_all(Calls());
    return arguments;
  }

  std::string saved_path_;
};

TEST_F(ShellTest, OpenFolderPassesAnyNameAsOneArgument) {
  const std::string hostile = "; touch " + Root() + "/pwned1 $(touch " + Root() +
                              "/pwned2) `touch " + Root() + "/pwned3` & x | y > " + Root() +
                              "/pwned4 'q' \"dq\"";
  struct Case {
    std::string folder;
    std::string arrives;
  };
  const Case cases[] = {
      {Root() + "/My Videos " + hostile, Root() + "/My Videos " + hostile},
      {"-n " + hostile, "./-n " + hostile},
      {"--help", "./--help"},
      {"/new\nline/*", "/new\nline/*"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    ASSERT_TRUE(OpenFolder(c.folder));
    EXPECT_EQ(RecordedArguments(), std::vector<std::string>{c.arrives});
  }
  for (const char* name : {"pwned1", "pwned2", "pwned3", "pwned4"}) {
    EXPECT_FALSE(std::filesystem::exists(Root() + "/" + name)) << name;
  }
}

TEST_F(ShellTest, OpenUrlPassesTheAddressAsOneArgument) {
  const std::string url = "https://example.com/a b?x=1&y=$(id)#'frag'";
  ASSERT_TRUE(OpenUrl(url));
  EXPECT_EQ(RecordedArguments(), std::vector<std::string>{url});
}

TEST_F(ShellTest, PowerOffRunsExactlyTheGivenCommand) {
  InstallRecorder(Bin() + "/fake-poweroff");
  SystemPowerOff power_off({Bin() + "/fake-poweroff", "--now", "two words"});
  ASSERT_TRUE(power_off.Request());
  EXPECT_EQ(RecordedArguments(), (std::vector<std::string>{"--now", "two words"}));
}

TEST_F(ShellTest, MissingProgramIsReportedAsNotStarted) {
  std::filesystem::create_directories(Root() + "/empty");
  ::setenv("PATH", (Root() + "/empty").c_str(), 1);
  EXPECT_FALSE(OpenUrl("https://example.com/"));
  EXPECT_FALSE(OpenFolder(Root()));
  EXPECT_FALSE(SystemPowerOff({"korvex-no-such-program"}).Request());
  EXPECT_FALSE(SystemPowerOff(std::vector<std::string>{}).Request());
}

}  // namespace
}  // namespace korvex::platform
