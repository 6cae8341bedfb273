#include "engine/engine_logger.h"

#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/log.h>
}

#include <atomic>
#include <thread>
#include <vector>

#include "engine/engine_exception.h"
#include "engine/library_loader.h"
#include "platform/main_thread.h"

namespace korvex::engine {
namespace {

struct Delivered {
  uint32_t thread_id;
  TLogLevel level;
  std::string text;
  std::thread::id ran_on;
};

class EngineLoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    logger.SetLogLevel(llInfo);
    logger.SetTriggerEventInMainThread(true);
    logger.SetOnLog(
        [this](TEngineLogger* sender, uint32_t thread, TLogLevel level, const std::string& text) {
          EXPECT_EQ(sender, &logger);
          delivered.push_back({thread, level, text, std::this_thread::get_id()});
        });
  }
  void TearDown() override {
    logger.SetOnLog(nullptr);
    TLibraryLoader::Instance().ResetForTesting();
  }
  TEngineLogger& logger = TEngineLogger::Instance();
  std::vector<Delivered> delivered;
};

TEST(LogLevelMapping, LibraryLevelsMapBothWays) {
  const std::pair<int, TLogLevel> cases[] = {{-9, llQuiet},   {-8, llQuiet}, {-1, llPanic},
                                             {0, llPanic},    {8, llFatal},  {16, llError},
                                             {24, llWarning}, {32, llInfo},  {40, llVerbose},
                                             {47, llVerbose}, {48, llDebug}, {56, llDebug}};
  for (const auto& [library, level] : cases) {
    EXPECT_EQ(LogLevelFromLibrary(library), level) << library;
  }
  for (int n = llQuiet; n <= llDebug; ++n) {
    EXPECT_EQ(LogLevelFromLibrary(LibraryLevelOf(static_cast<TLogLevel>(n))), n);
  }
  EXPECT_EQ(LibraryLevelOf(llQuiet), -8);
  EXPECT_STREQ(LogLevelName(llWarning), "warning");
}

// The level filter, with the exception for status lines (llVerbose) at every level but quiet.
TEST_F(EngineLoggerTest, TheLevelFilterPassesWhatTheLevelAllows) {
  struct Case {
    TLogLevel log_level, message_level;
    bool passes;
  };
  const Case cases[] = {
      {llQuiet, llVerbose, false}, {llQuiet, llQuiet, true},     {llWarning, llVerbose, true},
      {llWarning, llInfo, false},  {llWarning, llWarning, true}, {llWarning, llError, true},
      {llInfo, llDebug, false},    {llDebug, llDebug, true},
  };
  for (const Case& c : cases) {
    delivered.clear();
    logger.SetLogLevel(c.log_level);
    logger.Log(nullptr, c.message_level, "plain");
    logger.LogFormat(nullptr, c.message_level, "formatted %d", 7);
    ASSERT_EQ(delivered.size(), c.passes ? 2u : 0u)
        << LogLevelName(c.log_level) << " / " << LogLevelName(c.message_level);
    if (c.passes) {
      EXPECT_EQ(delivered[0].text, "plain");
      EXPECT_EQ(delivered[1].text, "formatted 7");
      EXPECT_EQ(delivered[1].level, c.message_level);
      EXPECT_EQ(delivered[1].thread_id, static_cast<uint32_t>(syscall(SYS_gettid)));
    }
  }
}

TEST_F(EngineLoggerTest, TheLoglevelOptionTakesNamesAndNumbers) {
  const std::pair<const char*, TLogLevel> cases[] = {
      {"error", llError}, {"ERROR", llError}, {"40", llVerbose}, {"quiet", llQuiet},
      {"-8", llQuiet},    {"Debug", llDebug}, {"33", llInfo},    {"warning", llWarning}};
  for (const auto& [text, level] : cases) {
    logger.SetLogLevelByName(text);
    EXPECT_EQ(logger.LogLevel(), level) << text;
  }
  try {
    logger.SetLogLevelByName("loud");
    ADD_FAILURE() << "no exception";
  } catch (const EngineException& error) {
    EXPECT_STREQ(error.what(), "'loud' is not a valid integer value");
  }
}

TEST_F(EngineLoggerTest, OnlyOneLoggerExists) {
  try {
    TEngineLogger second;
    ADD_FAILURE() << "a second logger was created";
  } catch (const EngineException& error) {
    EXPECT_STREQ(error.what(), "Allow creating only one instance of TEngineLogger.");
  }
  EXPECT_EQ(&TEngineLogger::Instance(), &logger);
}

// A worker's message runs on the main thread while the worker waits, or on the worker itself.
TEST_F(EngineLoggerTest, DeliveryRunsOnTheThreadAskedFor) {
  for (bool in_main : {true, false}) {
    delivered.clear();
    logger.SetTriggerEventInMainThread(in_main);
    std::atomic<uint32_t> worker_tid{0};
    std::thread::id worker_id;
    std::atomic<bool> done{false};
    std::thread worker([&] {
      worker_tid = static_cast<uint32_t>(syscall(SYS_gettid));
      logger.Log(nullptr, llError, "from the worker");
      done = true;
    });
    worker_id = worker.get_id();
    ASSERT_TRUE(
        platform::MainThread::WaitPumping([&] { return done.load(); }, std::chrono::seconds(10)));
    worker.join();
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].thread_id, worker_tid.load());
    EXPECT_EQ(delivered[0].ran_on, in_main ? std::this_thread::get_id() : worker_id);
  }
}

// The libraries' messages come in pieces; the bridge makes whole lines with the context prefix
// and filters by the libraries' own level, which follows LogLevel.
TEST_F(EngineLoggerTest, TheBridgeAssemblesLibraryLines) {
  ASSERT_TRUE(TLibraryLoader::Instance().LoadLib(lsAVUtil));
  logger.SetTriggerEventInMainThread(false);
  logger.SetLogLevel(llWarning);
  EXPECT_EQ(av_log_get_level(), AV_LOG_WARNING);

  AVFormatContext* context = avformat_alloc_context();
  av_log(context, AV_LOG_ERROR, "first half, ");
  EXPECT_TRUE(delivered.empty());
  av_log(context, AV_LOG_ERROR, "second half\nnext ");
  av_log(nullptr, AV_LOG_WARNING, "line\n");
  av_log(context, AV_LOG_INFO, "dropped by the library level\n");
  av_log(nullptr, AV_LOG_WARNING, "no context\n");

  char prefix[64];
  snprintf(prefix, sizeof prefix, "[AVFormatContext @ %p]", static_cast<void*>(context));
  ASSERT_EQ(delivered.size(), 3u);
  EXPECT_EQ(delivered[0].text, std::string(prefix) + "first half, second half");
  EXPECT_EQ(delivered[0].level, llError);
  EXPECT_EQ(delivered[1].text, "next line");
  EXPECT_EQ(delivered[1].level, llWarning);
  EXPECT_EQ(delivered[2].text, "no context");
  avformat_free_context(context);

  // Once the utility library is released the bridge is gone.
  TLibraryLoader::Instance().UnloadLib(lsAVUtil);
  delivered.clear();
  av_log_set_level(AV_LOG_QUIET);
  av_log(nullptr, AV_LOG_ERROR, "not bridged\n");
  EXPECT_TRUE(delivered.empty());
}

}  // namespace
}  // namespace korvex::engine
