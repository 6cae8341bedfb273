// What one transcoding task reports as it runs: the figures of a progress report and the
// status line made from them.
#pragma once

#include <cstdint>
#include <string>

namespace korvex::engine {

struct TranscodeProgress {
  int32_t FileIndex = -1;       // input of the packet handled last; -1 in the final report
  int32_t FrameNumber = -1;     // frames written on the first video output; -1 without video
  int32_t FPS = -1;             // frames per second since transcoding began; -1 without video
  float Quality = -1;           // quantiser of the last encoded video frame; -1 for copy or none
  float BitRate = 0;            // kbit/s of the first output so far
  int64_t CurrentSize = 0;      // bytes of the first output so far
  int64_t CurrentDuration = 0;  // microseconds reached by the outputs (at least 0.01 s)
  int64_t TotalDuration = -1;   // microseconds expected; -1 unknown
  bool Final = false;           // the report made after the loop
  std::string StatusLine;       // "frame=... size=... time=... bitrate=..." (empty when not made)
};

}  // namespace korvex::engine
