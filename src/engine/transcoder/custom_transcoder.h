// The transcoder of one conversion task: it opens the task's inputs and outputs from the current
// option settings, maps input streams to output streams, and runs the demux, decode, (hook,
// filter graph or crop and scale, resample), encode, mux pipeline to the end.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

extern "C" {
#include <libavformat/avformat.h>
}

#include "engine/engine_component.h"
#include "engine/options/transcoder_files.h"

namespace korvex::engine {

struct TranscoderSettings;
class OptionDispatcher;
class UserOptions;
class FrameHookModules;
class TranscoderCallouts;
struct TranscoderState;

class TCustomTranscoder : public TranscoderFiles {
 public:
  // `sender` names the owning component in log lines; it may be null.
  explicit TCustomTranscoder(const TEngineComponent* sender = nullptr);
  ~TCustomTranscoder() override;
  TCustomTranscoder(const TCustomTranscoder&) = delete;
  TCustomTranscoder& operator=(const TCustomTranscoder&) = delete;

  // The option state that inputs, outputs and streams consume as they are made.
  TranscoderSettings& Settings();
  OptionDispatcher& Dispatcher();
  UserOptions& Options();
  FrameHookModules& HookModules();

  // The owner's call-outs (not owned; null for none). Set before Transcode.
  void SetCallouts(TranscoderCallouts* callouts);
  // Least time between two progress reports; 500,000 µs until set.
  void SetProgressInterval(int64_t microseconds);

  // Opens the next input from the current settings; false leaves the reason in ErrorText().
  bool OpenInput(std::string_view file_name);
  // Creates the next output and its streams; -1 leaves the reason in ErrorText().
  int OpenOutput(std::string_view file_name, bool join);
  const std::string& ErrorText() const;

  int InputCount() const;
  // The opened demuxer context of an input (owned by the transcoder).
  AVFormatContext* InputContext(int index) const;

  // Sets up the streams and runs the loop to its end; raises EngineException on a failure.
  // Whatever happens, the trailers of outputs whose header was written are written, so that
  // what was converted plays; Finished() is true when the loop ended without a stop request.
  void Transcode();
  // Thread-safe: the loop ends after the current packet (or duplicated frame).
  void RequestStop();
  bool StopRequested() const;
  bool Finished() const;

  // Closes the encoders, then the decoders (under the codec lock). Called by Transcode; safe
  // to call again.
  void CloseCodecs();
  // Closes and frees every input and output; an output file of 0 bytes is deleted. Also done
  // on destruction.
  virtual void CloseFiles();

  // TranscoderFiles, for the options that need the task's files.
  std::vector<AVRational> InputVideoTimeBases() const override;
  int OutputFileCount() const override;
  void AddStreamToLastOutput(AVMediaType type) override;

 protected:
  void SetErrorText(std::string text);

 private:
  std::unique_ptr<TranscoderState> state_;
};

}  // namespace korvex::engine
