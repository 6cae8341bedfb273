// What the options need to know about a task's files: the video streams of its inputs (for
// detecting a target's norm) and its outputs (for the options that add streams to the last one).
#pragma once

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/rational.h>
}

#include <vector>

namespace korvex::engine {

class TranscoderFiles {
 public:
  virtual ~TranscoderFiles() = default;

  // The frame time base (one frame's duration) of every video stream of every input, in order.
  virtual std::vector<AVRational> InputVideoTimeBases() const = 0;
  virtual int OutputFileCount() const = 0;
  // Adds a stream of the kind to the last output file; raises EngineException on failure.
  virtual void AddStreamToLastOutput(AVMediaType type) = 0;
};

}  // namespace korvex::engine
