#include "platform/main_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>

namespace korvex::platform {
namespace {

using std::chrono::milliseconds;

class MainThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { MainThread::MakeCurrentThreadMain(); }
  void TearDown() override {
    MainThread::SetWakeUp({});
    MainThread::SetWindowPump({});
  }
};

TEST_F(MainThreadTest, RunFromAnotherThreadExecutesOnlyWhenTheMainThreadPumps) {
  std::atomic<int> wake_ups{0};
  std::atomic<int> window_pumps{0};
  MainThread::SetWakeUp([&] { ++wake_ups; });
  MainThread::SetWindowPump([&] { ++window_pumps; });

  const std::thread::id main_id = std::this_thread::get_id();
  std::atomic<bool> ran{false};
  std::atomic<bool> ran_on_main{false};
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    EXPECT_FALSE(MainThread::IsMainThread());
    MainThread::Run([&] {
      ran_on_main = std::this_thread::get_id() == main_id;
      ran = true;
    });
    returned = true;
  });

  // The hand-off has arrived, but nothing runs it until the main thread pumps.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (wake_ups == 0 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
  EXPECT_EQ(wake_ups, 1);
  std::this_thread::sleep_for(milliseconds(20));
  EXPECT_FALSE(ran);
  EXPECT_FALSE(returned);

  EXPECT_TRUE(MainThread::WaitPumping([&] { return returned.load(); }, milliseconds(10000)));
  worker.join();
  EXPECT_TRUE(ran_on_main);
  EXPECT_GE(window_pumps, 1);
}

TEST_F(MainThreadTest, ExceptionOfTheFunctionReachesTheCaller) {
  std::string caught;
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    try {
      MainThread::Run([] { throw std::runtime_error("from the main thread"); });
    } catch (const std::runtime_error& error) {
      caught = error.what();
    }
    returned = true;
  });
  EXPECT_TRUE(MainThread::WaitPumping([&] { return returned.load(); }, milliseconds(10000)));
  worker.join();
  EXPECT_EQ(caught, "from the main thread");
}

TEST_F(MainThreadTest, RunOnTheMainThreadCallsDirectly) {
  EXPECT_TRUE(MainThread::IsMainThread());
  int calls = 0;
  MainThread::Run([&] { ++calls; });
  EXPECT_EQ(calls, 1);
  EXPECT_THROW(MainThread::Run([] { throw std::logic_error("direct"); }), std::logic_error);
}

TEST_F(MainThreadTest, WaitPumpingReportsTimeoutAndCompletion) {
  EXPECT_FALSE(MainThread::WaitPumping([] { return false; }, milliseconds(20), milliseconds(1)));

  // With the default timeout it waits as long as needed.
  int polls = 0;
  EXPECT_TRUE(
      MainThread::WaitPumping([&] { return ++polls >= 5; }, milliseconds::max(), milliseconds(1)));
  polls = 0;
  EXPECT_TRUE(MainThread::WaitPumping([&] { return ++polls >= 5; }));
}

TEST_F(MainThreadTest, AnotherThreadCanBecomeTheMainThread) {
  std::atomic<bool> was_main{false};
  std::thread other([&] {
    MainThread::MakeCurrentThreadMain();
    was_main = MainThread::IsMainThread();
  });
  other.join();
  EXPECT_TRUE(was_main);
  EXPECT_FALSE(MainThread::IsMainThread());
  MainThread::MakeCurrentThreadMain();
  EXPECT_TRUE(MainThread::IsMainThread());
}

}  // namespace
}  // namespace korvex::platform
