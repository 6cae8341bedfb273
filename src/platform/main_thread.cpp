#include "platform/main_thread.h"

#include <atomic>
#include <deque>
#include <exception>
#include <future>
#include <mutex>
#include <thread>

namespace korvex::platform {

namespace {

// Lives on the caller's stack while it waits. The main thread stores the function's exception
// in `error` before it sets `done`, so it keeps no reference to the exception once the caller
// may have returned, and the caller rethrows it from here.
struct HandOff {
  const std::function<void()>* fn;
  std::exception_ptr error;
  std::promise<void> done;
};

struct State {
  std::mutex mutex;              // guards the fields below
  std::deque<HandOff*> pending;  // hand-offs not yet run, oldest first
  std::function<void()> wake_up;
  std::function<void()> window_pump;
  std::atomic<std::thread::id> main_id{std::this_thread::get_id()};
};

State& TheState() {
  static State state;
  return state;
}

// Constructed during static initialisation, which runs on the thread that starts the program.
const bool kMainRecorded = (TheState(), true);

}  // namespace

void MainThread::MakeCurrentThreadMain() { TheState().main_id = std::this_thread::get_id(); }

bool MainThread::IsMainThread() {
  (void)kMainRecorded;
  return TheState().main_id.load() == std::this_thread::get_id();
}

void MainThread::Run(const std::function<void()>& fn) {
  if (IsMainThread()) {
    fn();
    return;
  }
  State& state = TheState();
  HandOff hand_off{&fn, {}, {}};
  std::future<void> finished = hand_off.done.get_future();
  std::function<void()> wake_up;
  {
    std::lock_guard lock(state.mutex);
    state.pending.push_back(&hand_off);
    wake_up = state.wake_up;
  }
  if (wake_up) wake_up();
  finished.get();
  if (hand_off.error) std::rethrow_exception(hand_off.error);
}

void MainThread::Pump() {
  State& state = TheState();
  for (;;) {
    HandOff* next = nullptr;
    {
      std::lock_guard lock(state.mutex);
      if (state.pending.empty()) break;
      next = state.pending.front();
      state.pending.pop_front();
    }
    std::exception_ptr error;
    try {
      (*next->fn)();
    } catch (...) {
      error = std::current_exception();
    }
    next->error = std::move(error);
    next->done.set_value();
  }
  std::function<void()> window_pump;
  {
    std::lock_guard lock(state.mutex);
    window_pump = state.window_pump;
  }
  if (window_pump) window_pump();
}

bool MainThread::WaitPumping(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                             std::chrono::milliseconds slice) {
  const bool on_main = IsMainThread();
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    if (done()) return true;
    // Compared in milliseconds: the default timeout, milliseconds::max(), overflows when it
    // is converted to the clock's nanoseconds and would end the wait at once.
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    if (waited >= timeout) return false;
    if (on_main) Pump();
    if (done()) return true;
    std::this_thread::sleep_for(slice);
  }
}

void MainThread::SetWakeUp(std::function<void()> wake_up) {
  std::lock_guard lock(TheState().mutex);
  TheState().wake_up = std::move(wake_up);
}

void MainThread::SetWindowPump(std::function<void()> window_pump) {
  std::lock_guard lock(TheState().mutex);
  TheState().window_pump = std::move(window_pump);
}

}  // namespace korvex::platform
