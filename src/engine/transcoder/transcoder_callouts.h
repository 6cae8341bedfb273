// The points where a running transcoding task calls out to its owner: the pre-processing of
// every decoded video frame, the preview of encoded frames, progress reports, and a gate at
// every packet. The defaults do nothing, so a task without an owner simply converts.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
}

#include <cstdint>

#include "engine/transcoder/transcode_progress.h"

namespace korvex::engine {

class TranscoderCallouts {
 public:
  virtual ~TranscoderCallouts() = default;

  // True while a per-frame hook wants the decoded pictures; a copied video stream is then
  // refused, since its frames are never decoded.
  virtual bool HookPresent() const { return false; }
  // True while encoded frames are previewed; a copied video stream is then refused as well.
  virtual bool PreviewOn() const { return false; }

  // Called with every decoded video frame before the filter graph or scaler; `frame_number`
  // counts from 1 and `pts_us` is the input stream's current time. The callee may change the
  // picture (make it writable first) or replace the frame's contents with a picture of the same
  // size and format. Returns false when it has not handled the frame, so that loaded frame-hook
  // modules get it instead.
  virtual bool PreprocessVideoFrame(AVFrame& frame, int frame_number, int64_t pts_us) {
    (void)frame, (void)frame_number, (void)pts_us;
    return false;
  }

  // Called after the encoder accepted `picture` (in the encoder's format and size) and gave
  // coded output timed `pts_us`.
  virtual void PreviewFrame(const AVFrame& picture, int frame_number, int64_t pts_us) {
    (void)picture, (void)frame_number, (void)pts_us;
  }

  // True when progress goes to a handler; without one the status line is logged instead.
  virtual bool HasProgressHandler() const { return false; }
  // At most one report per progress interval, and a final one. May throw: the task then ends
  // with that failure.
  virtual void Progress(const TranscodeProgress& progress) { (void)progress; }

  // Called before every packet is read; a pause blocks here.
  virtual void BeforePacket() {}
};

}  // namespace korvex::engine
