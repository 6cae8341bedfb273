#include "engine/frame_hooks/frame_hook_modules.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_exception.h"
#include "support/temp_environment.h"
#include "yuv_picture.h"

namespace korvex::engine {
namespace {

constexpr int64_t kPts = 1234567890123;  // beyond 32 bits

// True while the process has the library loaded, asked without loading it.
bool Loaded(const std::string& module) {
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

// Every visible byte of `after` is `change` of the same byte of `before`.
void ExpectEachByteChanged(const YuvPicture& before, const YuvPicture& after,
                           const std::function<uint8_t(uint8_t)>& change) {
  for (int plane = 0; plane < 3; ++plane) {
    for (int y = 0; y < before.PlaneHeight(plane); ++y) {
      for (int x = 0; x < before.PlaneWidth(plane); ++x) {
        ASSERT_EQ(after.At(plane, x, y), change(before.At(plane, x, y)))
            << "plane " << plane << " x " << x << " y " << y;
      }
    }
  }
}

class FrameHookModulesTest : public korvex::testing::TempEnvironment {
 protected:
  std::string LogPath() const { return Root() + "/hook.log"; }
  std::string Log() const { return ReadFile(LogPath()); }
  // The test module with its log file and the given operation.
  std::string Hook(const std::string& operation) const {
    return std::string(KORVEX_TEST_HOOK_MODULE) + " " + LogPath() + " " + operation;
  }
  // The log line of the test module's configuration with these words after the log file.
  std::string Configured(const std::string& words) const {
    return "configure|" KORVEX_TEST_HOOK_MODULE "|" + LogPath() + "|" + words + "\n";
  }
  static void Process(FrameHookModules& hooks, YuvPicture& picture) {
    hooks.Process(picture.Data(), picture.Linesize(), YuvPicture::kFormat, picture.Width(),
                  picture.Height(), kPts);
  }
};

TEST_F(FrameHookModulesTest, ModuleReceivesItsWordsAndChangesThePicture) {
  const YuvPicture original(6, 4);
  YuvPicture picture(6, 4);
  {
    FrameHookModules hooks;
    EXPECT_FALSE(hooks.Active());
    hooks.Add(" \t" + std::string(KORVEX_TEST_HOOK_MODULE) + "  \t " + LogPath() + "\tinvert  ");
    EXPECT_TRUE(hooks.Active());
    Process(hooks, picture);
    ExpectEachByteChanged(original, picture, [](uint8_t value) { return 255 - value; });
    EXPECT_EQ(Log(), Configured("invert") + "process invert fmt=0 6x4 pts=1234567890123\n");
  }
  EXPECT_EQ(Log(), Configured("invert") +
                       "process invert fmt=0 6x4 pts=1234567890123\n"
                       "release invert\n");
  EXPECT_FALSE(Loaded(KORVEX_TEST_HOOK_MODULE));
}

// The same file loaded twice gives two modules with their own contexts. Adding 3 and then
// inverting differs from the other order at every byte.
TEST_F(FrameHookModulesTest, ModulesProcessInOrderAndReleaseInReverse) {
  const YuvPicture original(5, 3);
  YuvPicture picture(5, 3);
  {
    FrameHookModules hooks;
    hooks.Add(Hook("add 3"));
    hooks.Add(Hook("invert"));
    Process(hooks, picture);
    ExpectEachByteChanged(original, picture, [](uint8_t value) { return 255 - (value + 3); });
  }
  EXPECT_EQ(Log(), Configured("add|3") + Configured("invert") +
                       "process add 3 fmt=0 5x3 pts=1234567890123\n"
                       "process invert fmt=0 5x3 pts=1234567890123\n"
                       "release invert\n"
                       "release add 3\n");
  EXPECT_FALSE(Loaded(KORVEX_TEST_HOOK_MODULE));
}

TEST_F(FrameHookModulesTest, SwitchedOffModulesSkipPicturesButAreStillReleased) {
  const YuvPicture original(4, 2);
  YuvPicture picture(4, 2);
  {
    FrameHookModules hooks;
    hooks.Add(Hook("invert"));
    hooks.SwitchOff();
    EXPECT_FALSE(hooks.Active());
    Process(hooks, picture);
    ExpectEachByteChanged(original, picture, [](uint8_t value) { return value; });
  }
  EXPECT_EQ(Log(), Configured("invert") + "release invert\n");
}

// The test program's run path holds the module's folder, as a system library folder would.
TEST_F(FrameHookModulesTest, BareNameIsFoundAlongTheLibrarySearchPath) {
  const YuvPicture original(2, 2);
  YuvPicture picture(2, 2);
  FrameHookModules hooks;
  hooks.Add(std::string(KORVEX_TEST_HOOK_FILE_NAME) + " " + LogPath() + " add 1");
  Process(hooks, picture);
  ExpectEachByteChanged(original, picture, [](uint8_t value) { return value + 1; });
  EXPECT_EQ(Log().substr(0, Log().find('\n')),
            "configure|" KORVEX_TEST_HOOK_FILE_NAME "|" + LogPath() + "|add|1");
}

TEST_F(FrameHookModulesTest, FailedAddRaisesAndLeavesNothingLoaded) {
  const std::string text_file = Root() + "/not_a_library.so";
  WriteFile(text_file, "just text\n");
  const std::string incomplete = KORVEX_INCOMPLETE_HOOK_MODULE;
  const std::vector<std::string> arguments = {
      "",
      " \t ",
      Root() + "/missing.so " + LogPath() + " invert",
      "  korvex_no_such_hook.so invert ",
      text_file,
      incomplete + " " + LogPath() + " invert",
      Hook("fail"),
  };
  for (const std::string& argument : arguments) {
    SCOPED_TRACE("argument \"" + argument + "\"");
    FrameHookModules hooks;
    try {
      hooks.Add(argument);
      ADD_FAILURE() << "no exception";
    } catch (const EngineException& error) {
      EXPECT_STREQ(error.what(), ("Failed to add video hook function: " + argument).c_str());
    }
    EXPECT_FALSE(hooks.Active());
    EXPECT_FALSE(Loaded(incomplete));
    EXPECT_FALSE(Loaded(KORVEX_TEST_HOOK_MODULE));
  }
  // The refusing module was asked, and is not released: it never got that far.
  EXPECT_EQ(Log(), Configured("fail"));
}

// A refused second instance of a loaded file must close only its own handle.
TEST_F(FrameHookModulesTest, FailedAddKeepsTheModulesAddedBefore) {
  const YuvPicture original(2, 2);
  YuvPicture picture(2, 2);
  {
    FrameHookModules hooks;
    hooks.Add(Hook("invert"));
    EXPECT_THROW(hooks.Add(Hook("fail")), EngineException);
    EXPECT_TRUE(hooks.Active());
    Process(hooks, picture);
    ExpectEachByteChanged(original, picture, [](uint8_t value) { return 255 - value; });
  }
  EXPECT_EQ(Log(), Configured("invert") + Configured("fail") +
                       "process invert fmt=0 2x2 pts=1234567890123\n"
                       "release invert\n");
  EXPECT_FALSE(Loaded(KORVEX_TEST_HOOK_MODULE));
}

}  // namespace
}  // namespace korvex::engine
