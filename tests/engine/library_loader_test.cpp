#include "engine/library_loader.h"

#include <gtest/gtest.h>

#include "engine/engine_exception.h"
#include "engine/media_probe.h"
#include "support/temp_environment.h"

namespace korvex::engine {
namespace {

class LibraryLoaderTest : public korvex::testing::TempEnvironment {
 protected:
  void TearDown() override {
    TLibraryLoader::Instance().ResetForTesting();
    TempEnvironment::TearDown();
  }
  TLibraryLoader& loader = TLibraryLoader::Instance();
};

TEST_F(LibraryLoaderTest, FileNamesFollowTheLibrariesOfThisSystem) {
  EXPECT_EQ(loader.LibraryFileName(lsAVCodec), "libavcodec.so.59");
  EXPECT_EQ(loader.LibraryFileName(lsAVUtil), "libavutil.so.57");
  EXPECT_EQ(loader.LibraryFileName(lsSwScale), "libswscale.so.6");
  EXPECT_EQ(loader.LibraryFileName(lsCRuntime), "libc.so.6");
  EXPECT_EQ(loader.LibraryFileName(lsSDL), "libSDL2-2.0.so.0");
  loader.SetCustomFileName(lsSDL, "libSDL2.so");
  EXPECT_EQ(loader.LibraryFileName(lsSDL), "libSDL2.so");
}

TEST_F(LibraryLoaderTest, EveryComponentSetLoadsAndUnloads) {
  for (LibrarySet set : {kConverterLibraries, kPlayerLibraries, kProbeLibraries}) {
    ASSERT_TRUE(loader.LoadLibs(set)) << loader.LastLoadError();
    EXPECT_TRUE(loader.LibsLoaded(set));
    loader.UnloadLibs(set);
    EXPECT_FALSE(loader.LibsLoaded(set));
  }
  EXPECT_FALSE(loader.LibLoaded(lsAVDevice));
  EXPECT_FALSE(loader.LibLoaded(-1));
  EXPECT_FALSE(loader.LoadLib(kLibrarySlotCount));
}

// The player's set fails at its last slot when the library folder lacks SDL: every slot of the
// set is unloaded again, also those the converter had loaded before.
TEST_F(LibraryLoaderTest, AFailureAtTheSdlSlotUnloadsTheWholeSet) {
  ASSERT_TRUE(loader.LoadLibs(kConverterLibraries));
  loader.SetLibraryFolder(Root());
  loader.RestrictToLibraryFolderForTesting(lsSDL, true);

  EXPECT_FALSE(loader.LoadLibs(kPlayerLibraries));
  EXPECT_EQ(loader.LastLoadError(), "Load library " + Root() +
                                        "/libSDL2-2.0.so.0 error: cannot open shared object "
                                        "file: No such file or directory");
  for (int slot = 0; slot < kLibrarySlotCount; ++slot) {
    EXPECT_FALSE(loader.LibLoaded(slot)) << "slot " << slot;
  }
  EXPECT_FALSE(loader.LibsLoaded(kConverterLibraries));

  loader.RestrictToLibraryFolderForTesting(lsSDL, false);
  EXPECT_TRUE(loader.LoadLibs(kPlayerLibraries)) << loader.LastLoadError();
}

TEST_F(LibraryLoaderTest, AMissingEntryPointNamesItAndTheLibrary) {
  struct Case {
    SymbolKind kind;
    const char* expected_start;
  };
  for (const Case& c :
       {Case{SymbolKind::kFunction, "Load function sws_missing@libswscale.so.6 error: "},
        Case{SymbolKind::kVariable, "Load variable sws_missing@libswscale.so.6 error: "}}) {
    loader.ResetForTesting();
    loader.RequireSymbolForTesting(lsSwScale, "sws_missing", c.kind);
    EXPECT_FALSE(loader.LoadLib(lsSwScale));
    EXPECT_FALSE(loader.LibLoaded(lsSwScale));
    EXPECT_EQ(loader.LastLoadError().rfind(c.expected_start, 0), 0u) << loader.LastLoadError();
    EXPECT_NE(loader.LastLoadError().find("undefined symbol: sws_missing"), std::string::npos);
  }
}

// The probe refuses to work without its libraries and names the first one missing.
TEST_F(LibraryLoaderTest, TheProbeNamesTheFirstMissingLibrary) {
  struct Case {
    LibrarySet loaded;
    const char* message;
  };
  const Case cases[] = {
      {{}, "LibAVCodec not loaded."},
      {{lsAVCodec}, "LibAVFormat not loaded."},
      {{lsAVCodec, lsAVFormat}, "LibAVUtil not loaded."},
      {{lsAVCodec, lsAVFormat, lsAVUtil}, "LibSwScale not loaded."},
  };
  for (const Case& c : cases) {
    loader.ResetForTesting();
    ASSERT_TRUE(loader.LoadLibs(c.loaded));
    TMediaProbe probe;
    try {
      probe.LoadFile(Root() + "/none.avi");
      ADD_FAILURE() << "no exception for " << c.message;
    } catch (const EngineException& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
    EXPECT_THROW(probe.AttachContext(nullptr), EngineException);
  }
  TMediaProbe probe;
  EXPECT_TRUE(probe.LoadAVLib(Root()));
  EXPECT_TRUE(probe.AVLibLoaded());
}

}  // namespace
}  // namespace korvex::engine
