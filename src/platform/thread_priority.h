// Scheduling priority of a thread, in the steps the converter offers for its workers.
#pragma once

namespace korvex::platform {

enum class TThreadPriority {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical,
};

// Sets the priority of the calling thread: tpIdle is the SCHED_IDLE policy; the others are
// the normal policy with nice values 10 (lowest), 5 (lower), 0 (normal), -5, -10 and -15.
// Raising a thread above normal needs the privilege to do so. False when the system refused;
// the thread then keeps its priority.
bool SetCurrentThreadPriority(TThreadPriority priority);

}  // namespace korvex::platform
