#include "workflow/job_record.h"

#include <gtest/gtest.h>

#include "support/temp_environment.h"

namespace korvex::workflow {
namespace {

class JobRecordTest : public testing::TempEnvironment {
 protected:
  std::string IniPath() const { return AppData() + "/korvexavimovconverter.ini"; }
};

TEST_F(JobRecordTest, NewRecordChangesNothingAndLetterboxesByDefault) {
  const TlvFilesRecord job = NewJobRecord("/v/a.avi", AppSettings(IniPath()));
  EXPECT_EQ(job.SourceFile, "/v/a.avi");
  EXPECT_EQ(job.ZoomMode, "lbox");
  EXPECT_EQ(job.TrimStart, 0);
  EXPECT_EQ(job.TrimDuration, 0);
  EXPECT_EQ(job.CropTop + job.CropLeft + job.CropBottom + job.CropRight, 0);
  EXPECT_TRUE(job.Watermarks.empty());
  EXPECT_EQ(job.Brightness, 255);
  EXPECT_EQ(job.Contrast, 0);
  EXPECT_EQ(job.Saturation, 255);
  EXPECT_EQ(job.Exposure, 0);
  EXPECT_FALSE(job.ProcessText || job.ProcessImage);
}

// The zoom comes from the section of the format chosen now, whatever other formats store.
TEST_F(JobRecordTest, ZoomModeOfTheCurrentFormat) {
  WriteFile(IniPath(),
            "[settings]\nFormatCode=104\n[formatInfo1]\nparaZoom=full\n[formatInfo104]\n"
            "PARAZOOM=pan\n");
  EXPECT_EQ(NewJobRecord("/v/a.avi", AppSettings(IniPath())).ZoomMode, "pan");
  WriteFile(IniPath(), "[formatInfo1]\nparaZoom=center\n[formatInfo104]\nparaZoom=pan\n");
  EXPECT_EQ(NewJobRecord("/v/a.avi", AppSettings(IniPath())).ZoomMode, "center")
      << "format 1 when none is chosen";
}

}  // namespace
}  // namespace korvex::workflow
