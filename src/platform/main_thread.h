// The hand-off of work to the main (GUI) thread.
//
// Engine threads call Run() to have a function executed on the main thread; they wait until
// it has run. The main thread executes pending hand-offs whenever it calls Pump(), so every
// wait that happens on the main thread must wait in short slices and pump between them
// (WaitPumping does exactly that). The UI installs two hooks: a wake-up that schedules a
// Pump() on its event loop when a hand-off arrives, and a window pump that processes window
// events inside Pump(). Headless programs install neither: their Pump() runs hand-offs only.
#pragma once

#include <chrono>
#include <functional>

namespace korvex::platform {

class MainThread {
 public:
  // The thread that initialised the program is the main thread until this is called.
  static void MakeCurrentThreadMain();
  static bool IsMainThread();

  // Runs `fn` on the main thread and waits for it; on the main thread it is called directly.
  // An exception thrown by `fn` is rethrown to the caller.
  static void Run(const std::function<void()>& fn);

  // Runs every pending hand-off, then the window pump when one is installed. Main thread only.
  static void Pump();

  // Waits until `done` returns true, pumping every `slice` when called on the main thread.
  // Returns false when `timeout` passed first.
  static bool WaitPumping(const std::function<bool()>& done,
                          std::chrono::milliseconds timeout = std::chrono::milliseconds::max(),
                          std::chrono::milliseconds slice = std::chrono::milliseconds(5));

  // Hooks of the UI; an empty function removes a hook.
  static void SetWakeUp(std::function<void()> wake_up);
  static void SetWindowPump(std::function<void()> window_pump);
};

}  // namespace korvex::platform
