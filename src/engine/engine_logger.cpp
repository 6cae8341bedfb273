#include "engine/engine_logger.h"

#include <sys/syscall.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <shared_mutex>

#include "engine/engine_exception.h"
#include "engine/library_loader.h"
#include "platform/main_thread.h"
#include "platform/text.h"

namespace korvex::engine {

void DeliverLibraryLine(int library_level, const std::string& line);

namespace {

// Deliveries hold the instance lock shared, so the logger is not destroyed under them while
// several threads (and the main thread asking for the instance) go on at once.
std::shared_mutex g_instance_mutex;
TEngineLogger* g_instance = nullptr;  // guarded by g_instance_mutex

uint32_t CurrentThreadId() { return static_cast<uint32_t>(syscall(SYS_gettid)); }

struct LevelName {
  const char* name;
  int library_level;
};
constexpr LevelName kLevelNames[] = {{"quiet", -8},   {"panic", 0}, {"fatal", 8},    {"error", 16},
                                     {"warning", 24}, {"info", 32}, {"verbose", 40}, {"debug", 48}};

// The libraries' messages arrive in pieces; each thread assembles its own line.
void LibraryLogCallback(void* context, int level, const char* format, va_list arguments) {
  if (level > av_log_get_level()) return;
  char buffer[2048] = {};
  vsnprintf(buffer, sizeof buffer, format, arguments);
  thread_local std::string pending;
  if (pending.empty() && context) {
    const AVClass* av_class = *static_cast<const AVClass* const*>(context);
    if (av_class) {
      char prefix[256];
      snprintf(prefix, sizeof prefix, "[%s @ %p]", av_class->class_name, context);
      pending = prefix;
    }
  }
  pending += buffer;
  for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
    const std::string line = pending.substr(0, end);
    pending.erase(0, end + 1);
    DeliverLibraryLine(level, line);
  }
}

}  // namespace

// Called from inside the media libraries: nothing may be thrown back through their C frames.
void DeliverLibraryLine(int library_level, const std::string& line) {
  std::shared_lock lock(g_instance_mutex);
  if (!g_instance) return;
  try {
    g_instance->Deliver(LogLevelFromLibrary(library_level), line);
  } catch (...) {
  }
}

TLogLevel LogLevelFromLibrary(int library_level) {
  if (library_level < -8) return llQuiet;
  if (library_level >= 48) return llDebug;
  const int shifted = (library_level < 0 ? library_level + 7 : library_level) >> 3;
  return static_cast<TLogLevel>(shifted + 1);
}

int LibraryLevelOf(TLogLevel level) { return (static_cast<int>(level) - 1) * 8; }

const char* LogLevelName(TLogLevel level) {
  const int index = static_cast<int>(level);
  return index >= 0 && index <= llDebug ? kLevelNames[index].name : "unknown";
}

TEngineLogger& TEngineLogger::Instance() {
  static std::mutex creation_mutex;
  static std::unique_ptr<TEngineLogger> owned;
  std::lock_guard creation(creation_mutex);
  {
    std::shared_lock lock(g_instance_mutex);
    if (g_instance) return *g_instance;
  }
  owned = std::make_unique<TEngineLogger>();
  return *owned;
}

TEngineLogger::TEngineLogger() {
  std::lock_guard lock(g_instance_mutex);
  if (g_instance) throw EngineException("Allow creating only one instance of TEngineLogger.");
  g_instance = this;
}

TEngineLogger::~TEngineLogger() {
  if (bridge_installed_) RemoveLibraryBridge();
  std::lock_guard lock(g_instance_mutex);
  if (g_instance == this) g_instance = nullptr;
}

void TEngineLogger::SetLogLevel(TLogLevel level) {
  if (log_level_.exchange(level) == level) return;
  if (TLibraryLoader::Instance().LibLoaded(lsAVUtil)) av_log_set_level(LibraryLevelOf(level));
}

void TEngineLogger::SetLogLevelByName(std::string_view text) {
  for (const LevelName& entry : kLevelNames) {
    if (platform::EqualsIgnoreCase(text, entry.name)) {
      SetLogLevel(LogLevelFromLibrary(entry.library_level));
      return;
    }
  }
  const std::optional<int> number = platform::ParseInt(text);
  if (!number) throw EngineException("'" + std::string(text) + "' is not a valid integer value");
  SetLogLevel(LogLevelFromLibrary(*number));
}

void TEngineLogger::SetOnLog(TLogEvent handler) {
  std::lock_guard lock(handler_mutex_);
  on_log_ = std::move(handler);
}

bool TEngineLogger::Passes(TLogLevel level) const {
  {
    std::lock_guard lock(handler_mutex_);
    if (!on_log_) return false;
  }
  const TLogLevel current = log_level_;
  return current >= level || (level == llVerbose && current != llQuiet);
}

void TEngineLogger::Log(const TEngineComponent*, TLogLevel level, std::string_view message) {
  if (Passes(level)) Deliver(level, std::string(message));
}

void TEngineLogger::LogFormat(const TEngineComponent*, TLogLevel level, const char* format, ...) {
  if (!Passes(level)) return;
  va_list arguments;
  va_start(arguments, format);
  va_list copy;
  va_copy(copy, arguments);
  const int length = vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string message(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) vsnprintf(message.data(), message.size() + 1, format, arguments);
  va_end(arguments);
  Deliver(level, message);
}

void TEngineLogger::Deliver(TLogLevel level, const std::string& message) {
  TLogEvent handler;
  {
    std::lock_guard lock(handler_mutex_);
    handler = on_log_;
  }
  if (!handler) return;
  const uint32_t thread_id = CurrentThreadId();
  if (trigger_in_main_thread_ && !platform::MainThread::IsMainThread()) {
    // The main thread runs one hand-off at a time, which serialises the handler's calls.
    platform::MainThread::Run([&] { handler(this, thread_id, level, message); });
    return;
  }
  std::lock_guard lock(delivery_mutex_);
  handler(this, thread_id, level, message);
}

void TEngineLogger::InstallLibraryBridge() {
  av_log_set_callback(LibraryLogCallback);
  av_log_set_level(LibraryLevelOf(log_level_));
  bridge_installed_ = true;
}

void TEngineLogger::RemoveLibraryBridge() {
  av_log_set_callback(av_log_default_callback);
  bridge_installed_ = false;
}

}  // namespace korvex::engine
