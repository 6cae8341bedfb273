// The engine-wide codec lock. Opening and closing decoders and encoders and reading stream
// information are not safe to run concurrently in the media libraries, so every such call in
// converter, player and probe holds this one process-wide lock.
#pragma once

#include <mutex>

namespace korvex::engine {

std::mutex& CodecMutex();

// Holds the codec lock for its lifetime. On the main thread it waits in short slices and pumps
// the main-thread hand-offs meanwhile: a worker that holds the lock may itself be waiting for
// the main thread (a log line delivered there), and a plain wait would deadlock both.
class CodecLock {
 public:
  CodecLock();
  ~CodecLock();
  CodecLock(const CodecLock&) = delete;
  CodecLock& operator=(const CodecLock&) = delete;
};

}  // namespace korvex::engine
