// The one process-wide logger of the engine. Components report warnings, errors and the
// transcoder's status lines here; the logger filters them by level and hands what passes to
// its OnLog handler, on the main thread when asked to. It also receives the media libraries'
// own messages through a log callback and turns them into whole lines.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "engine/engine_component.h"

namespace korvex::engine {

enum TLogLevel : int { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };

class TEngineLogger;
using TLogEvent = std::function<void(TEngineLogger* Sender, uint32_t AThreadID, TLogLevel ALogLevel,
                                     const std::string& ALogMsg)>;

// Level numbers of the media libraries (-8 quiet ... 48 debug) and back.
TLogLevel LogLevelFromLibrary(int library_level);
int LibraryLevelOf(TLogLevel level);
// "quiet", "panic", ..., "debug".
const char* LogLevelName(TLogLevel level);

class TEngineLogger : public TEngineComponent {
 public:
  // The logger, created on the first request.
  static TEngineLogger& Instance();

  // Refused with "Allow creating only one instance of TEngineLogger." while one exists.
  TEngineLogger();
  ~TEngineLogger() override;

  TLogLevel LogLevel() const { return log_level_; }
  void SetLogLevel(TLogLevel level);
  // The "loglevel" option: a level name (ignoring case) or a decimal library level.
  void SetLogLevelByName(std::string_view text);

  bool TriggerEventInMainThread() const { return trigger_in_main_thread_; }
  void SetTriggerEventInMainThread(bool value) { trigger_in_main_thread_ = value; }

  void SetOnLog(TLogEvent handler);

  // True when a handler is assigned and a message of this level would reach it.
  bool Passes(TLogLevel level) const;
  void Log(const TEngineComponent* sender, TLogLevel level, std::string_view message);
  // Formats only when the message passes.
  void LogFormat(const TEngineComponent* sender, TLogLevel level, const char* format, ...)
      __attribute__((format(printf, 4, 5)));

  // Called by the library loader once the utility library is bound, and before it is released.
  void InstallLibraryBridge();
  void RemoveLibraryBridge();

 private:
  friend void DeliverLibraryLine(int library_level, const std::string& line);
  void Deliver(TLogLevel level, const std::string& message);

  std::atomic<TLogLevel> log_level_{llInfo};
  std::atomic<bool> trigger_in_main_thread_{true};
  std::atomic<bool> bridge_installed_{false};

  // Serialises the handler's calls, so lines from several threads never overlap; recursive
  // because a handler may log itself.
  std::recursive_mutex delivery_mutex_;
  mutable std::mutex handler_mutex_;  // guards on_log_
  TLogEvent on_log_;
};

}  // namespace korvex::engine
