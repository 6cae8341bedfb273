// The headless front end run as a user runs it: a separate process with its own output.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "fixtures/sample_media.h"
#include "support/temp_environment.h"

namespace {

using korvex::fixtures::Sample;
using korvex::fixtures::SamplePath;

class KorvexConvertTest : public korvex::testing::TempEnvironment {
 protected:
  struct Result {
    int status;
    std::string out, err;
  };
  Result Run(const std::string& arguments) {
    const std::string out = Root() + "/out.txt", err = Root() + "/err.txt";
    const std::string command =
        std::string("'") + KORVEX_CONVERT + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out), ReadFile(err)};
  }
};

// Every file is described; one that cannot be loaded is named on standard error and makes the
// status 1 without hiding the others.
TEST_F(KorvexConvertTest, InfoDescribesEachFile) {
  const std::string avi = SamplePath(Sample::kAviMpeg4Mp3);
  const std::string missing = Root() + "/missing.avi";
  const std::string mp3 = SamplePath(Sample::kTaggedMp3);

  const Result both = Run("--info '" + avi + "' '" + missing + "' '" + mp3 + "'");
  EXPECT_EQ(both.status, 1);
  EXPECT_EQ(both.err, "korvex-convert: " + missing + ": No such file or directory\n");
  EXPECT_EQ(both.out.rfind("File Name: " + avi + "\nFormat Name: avi\n", 0), 0u) << both.out;
  EXPECT_NE(both.out.find("\n\nFile Name: " + mp3 + "\nFormat Name: mp3\n"), std::string::npos)
      << both.out;
  // The time base 1152/44100 of the MP3 track, reduced.
  EXPECT_NE(both.out.find("\nStream #1, 32/1225: Audio: mp3"), std::string::npos) << both.out;

  const Result good = Run("--info '" + mp3 + "'");
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.err, "");
  EXPECT_NE(good.out.find("  title           : Korvex Tone\n"), std::string::npos) << good.out;
}

}  // namespace
