// Collects what the engine logger delivers during a test, on the calling thread.
#pragma once

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "engine/engine_logger.h"

namespace korvex::engine {

class CapturedLog {
 public:
  struct Line {
    TLogLevel level;
    std::string text;
  };

  CapturedLog() {
    TEngineLogger& logger = TEngineLogger::Instance();
    logger.SetTriggerEventInMainThread(false);
    logger.SetLogLevel(llDebug);
    logger.SetOnLog([this](TEngineLogger*, uint32_t, TLogLevel level, const std::string& text) {
      std::lock_guard lock(mutex_);
      lines_.push_back({level, text});
    });
  }
  ~CapturedLog() {
    TEngineLogger& logger = TEngineLogger::Instance();
    logger.SetOnLog(nullptr);
    logger.SetLogLevel(llInfo);
    logger.SetTriggerEventInMainThread(true);
  }

  bool Contains(TLogLevel level, const std::string& text) const {
    std::lock_guard lock(mutex_);
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const Line& line) { return line.level == level && line.text == text; });
  }
  bool ContainsText(const std::string& part) const {
    std::lock_guard lock(mutex_);
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const Line& line) { return line.text.find(part) != std::string::npos; });
  }

 private:
  mutable std::mutex mutex_;
  std::vector<Line> lines_;
};

}  // namespace korvex::engine
