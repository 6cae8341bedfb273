// How a write reaches the disk: atomically, reporting failures, and without losing a
// concurrent writer's key.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "child_process.h"
#include "ini_test_util.h"
#include "platform/ini_file.h"
#include "support/temp_environment.h"

namespace korvex::platform {
namespace {

using testing::FolderEntries;
using testing::RunInChild;

class IniFileWriteTest : public testing::TempEnvironment {
 protected:
  std::string Path() const { return AppData() + "/settings.ini"; }
  const std::string old_text_ = "; kept\n[General]\nZoom=2\n\n[Paths]\nOutput=/videos\n";
};

// A child writes a value far larger than its file size limit allows, so the write of the
// temporary file fails half-way: with SIGXFSZ ignored the write reports EFBIG, with the
// default action the kernel kills the writer in the middle of its write.
TEST_F(IniFileWriteTest, InterruptedWriteLeavesTheOldFileWhole) {
  struct Case {
    const char* name;
    bool killed;
  };
  for (const Case& c : {Case{"write fails", false}, Case{"writer killed", true}}) {
    SCOPED_TRACE(c.name);
    WriteFile(Path(), old_text_);
    const int status = RunInChild([&] {
      ::signal(SIGXFSZ, c.killed ? SIG_DFL : SIG_IGN);
      const rlimit limit{1024, 1024};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
      try {
        IniFile(Path()).WriteString("General", "Big", std::string(1 << 20, 'x'));
      } catch (const IniFileError&) {
        return 3;
      }
      return 0;
    });
    if (c.killed) {
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
    } else {
      ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << status;
      EXPECT_EQ(FolderEntries(AppData()), std::set<std::string>{"settings.ini"});
    }
    EXPECT_EQ(ReadFile(Path()), old_text_);

    // The next write starts from the old text; a killed writer's partial file is gone.
    IniFile(Path()).WriteString("Paths", "Snapshots", "/pictures");
    EXPECT_EQ(ReadFile(Path()), old_text_ + "Snapshots=/pictures\n");
    EXPECT_EQ(FolderEntries(AppData()), std::set<std::string>{"settings.ini"});
  }
}

TEST_F(IniFileWriteTest, WriteThatCannotReachTheFileReportsThePath) {
  WriteFile(Root() + "/plain-file", "not a folder");
  std::filesystem::create_directories(Root() + "/folder-as-file/settings.ini");
  const std::string paths[] = {
      Root() + "/plain-file/settings.ini",
      "/proc/korvex-no-such-folder/settings.ini",
      "/proc/self/settings.ini",
      Root() + "/folder-as-file/settings.ini",
  };
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    try {
      IniFile(path).WriteString("S", "k", "v");
      ADD_FAILURE() << "the write did not fail";
    } catch (const IniFileError& error) {
      EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
    }
  }
  EXPECT_EQ(FolderEntries(Root() + "/folder-as-file"), std::set<std::string>{"settings.ini"});
}

TEST_F(IniFileWriteTest, WriteKeepsTheFileModeAndASymbolicLink) {
  const std::string real = Root() + "/real/settings.ini";
  WriteFile(real, old_text_);
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  std::filesystem::create_symlink("../real/settings.ini", Path());

  IniFile(Path()).WriteString("General", "Zoom", "3");

  EXPECT_TRUE(std::filesystem::is_symlink(Path()));
  EXPECT_EQ(ReadFile(real), "; kept\n[General]\nZoom=3\n\n[Paths]\nOutput=/videos\n");
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(FolderEntries(Root() + "/real"), std::set<std::string>{"settings.ini"});
}

// A file that exists but cannot be read must not be replaced by a file holding one key.
TEST_F(IniFileWriteTest, WriteRefusesToReplaceAFileItCannotRead) {
  WriteFile(Path(), old_text_);
  ASSERT_EQ(::chmod(Root().c_str(), 0755), 0);
  ASSERT_EQ(::chmod(AppData().c_str(), 0777), 0);
  ASSERT_EQ(::chmod(Path().c_str(), 0200), 0);
  const int status = RunInChild([&] {
    if (!testing::BecomeUnprivileged()) return 2;
    if (::access(Path().c_str(), R_OK) == 0) return 2;
    try {
      IniFile(Path()).WriteString("General", "Zoom", "3");
    } catch (const IniFileError& error) {
      return std::string(error.what()).find(Path()) != std::string::npos ? 3 : 4;
    }
    return 0;
  });
  ASSERT_TRUE(WIFEXITED(status)) << status;
  if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot take the read permission away";
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(ReadFile(Path()), old_text_);
  EXPECT_EQ(FolderEntries(AppData()), std::set<std::string>{"settings.ini"});
}

TEST_F(IniFileWriteTest, ConcurrentWritersLoseNoKey) {
  constexpr int kWrites = 40;
  auto writer = [this](const std::string& prefix) {
    IniFile ini(Path());
    try {
      for (int i = 0; i < kWrites; ++i) ini.WriteInteger("Keys", prefix + std::to_string(i), i);
    } catch (const IniFileError& error) {
      ADD_FAILURE() << error.what();
    }
  };
  std::thread first(writer, "a");
  std::thread second(writer, "b");
  first.join();
  second.join();

  IniFile ini(Path());
  EXPECT_EQ(ini.ReadSectionKeys("Keys").size(), 2u * kWrites);
  for (int i = 0; i < kWrites; ++i) {
    EXPECT_EQ(ini.ReadInteger("Keys", "a" + std::to_string(i), -1), i);
    EXPECT_EQ(ini.ReadInteger("Keys", "b" + std::to_string(i), -1), i);
  }
  EXPECT_EQ(FolderEntries(AppData()), std::set<std::string>{"settings.ini"});
}

}  // namespace
}  // namespace korvex::platform
