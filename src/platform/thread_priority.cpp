#include "platform/thread_priority.h"

#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace korvex::platform {

namespace {

int NiceValue(TThreadPriority priority) {
  switch (priority) {
    case TThreadPriority::tpIdle:
      return 19;
    case TThreadPriority::tpLowest:
      return 10;
    case TThreadPriority::tpLower:
      return 5;
    case TThreadPriority::tpNormal:
      return 0;
    case TThreadPriority::tpHigher:
      return -5;
    case TThreadPriority::tpHighest:
      return -10;
    case TThreadPriority::tpTimeCritical:
      return -15;
  }
  return 0;
}

}  // namespace

bool SetCurrentThreadPriority(TThreadPriority priority) {
  // On Linux the nice value and the policy belong to the thread, addressed by its thread id.
  const pid_t thread = static_cast<pid_t>(::syscall(SYS_gettid));
  const int old_policy = ::sched_getscheduler(thread);
  sched_param old_param{};
  if (old_policy < 0 || ::sched_getparam(thread, &old_param) != 0) return false;

  sched_param param{};
  const int policy = priority == TThreadPriority::tpIdle ? SCHED_IDLE : SCHED_OTHER;
  if (::sched_setscheduler(thread, policy, &param) != 0) return false;
  if (::setpriority(PRIO_PROCESS, static_cast<id_t>(thread), NiceValue(priority)) == 0) return true;
  // The nice value was refused after the policy changed: an unprivileged idle thread may
  // leave SCHED_IDLE within its RLIMIT_NICE but not lower its nice value. Going back to the
  // old policy undoes the change, so the thread keeps its priority.
  ::sched_setscheduler(thread, old_policy, &old_param);
  return false;
}

}  // namespace korvex::platform
