// One conversion task as the converter holds it: the transcoder together with the records it
// was given, the probe of each input, and the record rules for inputs and outputs.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/media_probe.h"
#include "engine/options/task_options.h"
#include "engine/transcoder/custom_transcoder.h"

namespace korvex::engine {

class TTranscoder : public TCustomTranscoder {
 public:
  explicit TTranscoder(const TEngineComponent* sender = nullptr);
  ~TTranscoder() override;

  // Applies the record (its `FileName` defaults to `file_name`), opens the file as the next
  // input and fills that input's probe from it. False leaves the reason in ErrorText(); every
  // failure, refused options included, ends here.
  bool AddInput(std::string_view file_name, const TInputOptions* options = nullptr);
  // Applies the record (without one the output is made from the current settings and never
  // joins), creates the output and adds the streams its "newvideo", "newaudio" and
  // "newsubtitle" lines ask for. False leaves the reason in ErrorText(): "max output files %d
  // reached" for a 21st output, or the failure of the options or of the file.
  bool AddOutput(std::string_view file_name, const TOutputOptions* options = nullptr);

  // The probe describing an opened input; it does not own the input.
  TMediaProbe& InputProbe(int index) const;
  const std::optional<TInputOptions>& InputRecord(int index) const;
  const std::optional<TOutputOptions>& OutputRecord(int index) const;
  int OutputCount() const;
  // Detaches the probes, then closes the files.
  void CloseFiles() override;

  // True when an output record asked for the per-frame hook (`CustomHook`).
  bool CustomHookAsked() const { return custom_hook_asked_; }

 private:
  std::vector<std::unique_ptr<TMediaProbe>> probes_;
  std::vector<std::optional<TInputOptions>> input_records_;
  std::vector<std::optional<TOutputOptions>> output_records_;
  bool custom_hook_asked_ = false;
};

}  // namespace korvex::engine
