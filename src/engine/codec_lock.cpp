#include "engine/codec_lock.h"

#include "platform/main_thread.h"

namespace korvex::engine {

std::mutex& CodecMutex() {
  static std::mutex mutex;
  return mutex;
}

CodecLock::CodecLock() {
  std::mutex& mutex = CodecMutex();
  if (!platform::MainThread::IsMainThread()) {
    mutex.lock();
    return;
  }
  platform::MainThread::WaitPumping([&mutex] { return mutex.try_lock(); },
                                    std::chrono::milliseconds::max(), std::chrono::milliseconds(1));
}

CodecLock::~CodecLock() { CodecMutex().unlock(); }

}  // namespace korvex::engine
