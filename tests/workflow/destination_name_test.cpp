#include "workflow/destination_name.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/fake_dialogs.h"
#include "support/temp_environment.h"

namespace korvex::workflow {
namespace {

namespace fs = std::filesystem;

class DestinationNameTest : public testing::TempEnvironment {
 protected:
  void SetUp() override {
    TempEnvironment::SetUp();
    settings_.emplace(AppData() + "/korvexavimovconverter.ini");
    settings_->SetFolder(FolderSetting::kOutput, Out());
  }
  std::string Out() const { return Root() + "/out"; }
  void Touch(const std::string& name) { WriteFile(Out() + "/" + name, ""); }

  std::optional<AppSettings> settings_;
  testing::FakeDialogs dialogs_;
};

TEST_F(DestinationNameTest, FirstFreeNumberAfterTheTakenNames) {
  struct Case {
    std::vector<std::string> existing;
    std::string name;
  };
  const Case cases[] = {
      {{}, "holiday_(new).mov"},
      {{"holiday_(new).mov"}, "holiday_(new_1).mov"},
      {{"holiday_(new).mov", "holiday_(new_1).mov"}, "holiday_(new_2).mov"},
      {{"holiday_(new).mov", "holiday_(new_2).mov"}, "holiday_(new_1).mov"},
      {{"holiday_(new).mp4", "holiday.mov", "holiday_(new)_ipod.mov"}, "holiday_(new).mov"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(Out());
    for (const std::string& name : c.existing) Touch(name);
    EXPECT_EQ(DestinationName("/videos/holiday.avi", ".mov", *settings_, dialogs_),
              Out() + "/" + c.name);
  }
  EXPECT_TRUE(dialogs_.messages.empty());
}

TEST_F(DestinationNameTest, OnlyTheLastExtensionOfTheSourceIsDropped) {
  EXPECT_EQ(DestinationName("/v/a.b.avi", "_ipod.mp4", *settings_, dialogs_),
            Out() + "/a.b_(new)_ipod.mp4");
  EXPECT_EQ(DestinationName("/v/noext", ".mp4", *settings_, dialogs_), Out() + "/noext_(new).mp4");
}

TEST_F(DestinationNameTest, FolderIsCreatedAndAFolderAtTheNameCountsAsTaken) {
  settings_->SetFolder(FolderSetting::kOutput, Out() + "/deeper/");
  fs::create_directories(Out() + "/deeper/clip_(new).mp4");
  EXPECT_EQ(DestinationName("/v/clip.avi", ".mp4", *settings_, dialogs_),
            Out() + "/deeper/clip_(new_1).mp4");
  EXPECT_TRUE(fs::is_directory(Out() + "/deeper"));
}

TEST_F(DestinationNameTest, FolderThatCannotBeMadeGivesNamesInTheDefaultFolder) {
  WriteFile(Root() + "/blocker", "a file where a folder should be");
  settings_->SetFolder(FolderSetting::kOutput, Root() + "/blocker/out");
  EXPECT_EQ(DestinationName("/v/clip.avi", ".mp4", *settings_, dialogs_),
            Home() + "/Videos/videoconverter/clip_(new).mp4");
  EXPECT_EQ(dialogs_.messages.size(), 1u);
}

// Sources that share a base name never get the same output within one batch.
TEST_F(DestinationNameTest, ReservationsKeepTheJobsOfOneBatchApart) {
  Touch("clip_(new).mp4");
  DestinationReservations batch;
  EXPECT_EQ(DestinationName("/a/clip.avi", ".mp4", *settings_, dialogs_, batch),
            Out() + "/clip_(new_1).mp4");
  EXPECT_EQ(DestinationName("/b/clip.mov", ".mp4", *settings_, dialogs_, batch),
            Out() + "/clip_(new_2).mp4");
  EXPECT_EQ(DestinationName("/b/clip.mov", ".avi", *settings_, dialogs_, batch),
            Out() + "/clip_(new).avi");
  EXPECT_TRUE(batch.IsReserved(Out() + "/clip_(new_2).mp4"));

  DestinationReservations next_batch;
  EXPECT_EQ(DestinationName("/b/clip.mov", ".mp4", *settings_, dialogs_, next_batch),
            Out() + "/clip_(new_1).mp4")
      << "a new batch starts with no reservations";
  EXPECT_EQ(DestinationName("/b/clip.mov", ".mp4", *settings_, dialogs_),
            Out() + "/clip_(new_1).mp4")
      << "without reservations only existing files count";
}

}  // namespace
}  // namespace korvex::workflow
