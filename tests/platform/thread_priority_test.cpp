#include "platform/thread_priority.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "child_process.h"

namespace korvex::platform {
namespace {

struct Scheduling {
  int policy;
  int nice;
};

Scheduling CurrentThreadScheduling() {
  errno = 0;
  const int nice = ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()));
  EXPECT_EQ(errno, 0);
  return {::sched_getscheduler(0), nice};
}

// Sets the priority on a fresh thread and returns that thread's scheduling afterwards.
Scheduling SchedulingOnFreshThread(TThreadPriority priority) {
  Scheduling result{-1, 0};
  std::thread worker([&] {
    EXPECT_TRUE(SetCurrentThreadPriority(priority));
    result = CurrentThreadScheduling();
  });
  worker.join();
  return result;
}

TEST(ThreadPriorityTest, LowerStepsChangeOnlyTheCallingThread) {
  const Scheduling main_before = CurrentThreadScheduling();
  struct Case {
    TThreadPriority priority;
    int policy;
    int nice;
  };
  const Case cases[] = {
      {TThreadPriority::tpLowest, SCHED_OTHER, 10},
      {TThreadPriority::tpLower, SCHED_OTHER, 5},
      {TThreadPriority::tpNormal, SCHED_OTHER, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.priority));
    const Scheduling got = SchedulingOnFreshThread(c.priority);
    EXPECT_EQ(got.policy, c.policy);
    EXPECT_EQ(got.nice, c.nice);
  }
  EXPECT_EQ(SchedulingOnFreshThread(TThreadPriority::tpIdle).policy, SCHED_IDLE);

  const Scheduling main_after = CurrentThreadScheduling();
  EXPECT_EQ(main_after.policy, main_before.policy);
  EXPECT_EQ(main_after.nice, main_before.nice);
}

// Without the privilege to raise it, an idle thread stays idle: the request fails and changes
// nothing. RLIMIT_NICE 1 lets the thread leave SCHED_IDLE at nice 19 but not lower its nice.
TEST(ThreadPriorityTest, RefusedRaiseKeepsThePriority) {
  for (TThreadPriority raise : {TThreadPriority::tpHigher, TThreadPriority::tpLowest}) {
    SCOPED_TRACE(static_cast<int>(raise));
    const int status = testing::RunInChild([raise] {
      rlimit nice_limit{};
      if (::getrlimit(RLIMIT_NICE, &nice_limit) != 0) return 2;
      nice_limit.rlim_cur = 1;
      if (nice_limit.rlim_max < 1) nice_limit.rlim_max = 1;
      if (::setrlimit(RLIMIT_NICE, &nice_limit) != 0 || !testing::BecomeUnprivileged()) return 2;
      if (!SetCurrentThreadPriority(TThreadPriority::tpIdle)) return 3;
      if (SetCurrentThreadPriority(raise)) return 4;
      if (::sched_getscheduler(0) != SCHED_IDLE) return 5;
      if (::getpriority(PRIO_PROCESS, 0) != 19) return 6;
      return 0;
    });
    ASSERT_TRUE(WIFEXITED(status)) << status;
    if (WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot give up the privilege to raise";
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
}

}  // namespace
}  // namespace korvex::platform
