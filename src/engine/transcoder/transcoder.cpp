#include "engine/transcoder/transcoder.h"

#include <array>
#include <exception>
#include <utility>

#include "engine/options/option_dispatcher.h"
#include "engine/options/option_text.h"
#include "engine/options/record_options.h"
#include "engine/options/transcoder_settings.h"

namespace korvex::engine {

namespace {

struct NewStreamLine {
  std::string_view key;
  std::array<std::string_view, 4> companions;  // applied first, in this order
};

constexpr NewStreamLine kNewStreamLines[] = {
    {"newaudio", {"acodec", "apre"}},
    {"newvideo", {"vcodec", "vpre", "s", "vf"}},
    {"newsubtitle", {"scodec", "spre"}},
};

// Each "newaudio", "newvideo" or "newsubtitle" line of the text adds a stream to the output
// just made, with the next unused codec, preset, size and filter lines of its kind, or the
// record's own values when the text has no more.
void AddNewStreams(const std::string& text, OutputPresetList& presets,
                   OptionDispatcher& dispatcher) {
  for (const OptionLine& line : ParseOptionText(text)) {
    for (const NewStreamLine& kind : kNewStreamLines) {
      if (line.key != kind.key) continue;
      for (std::string_view companion : kind.companions) {
        if (companion.empty()) continue;
        std::string value;
        if (!presets.TakeFirst(companion, value))
          value = presets.Value("def_" + std::string(companion));
        if (!value.empty()) dispatcher.Dispatch(companion, value);
      }
      dispatcher.Dispatch(line.key, line.value);
    }
  }
}

}  // namespace

TTranscoder::TTranscoder(const TEngineComponent* sender) : TCustomTranscoder(sender) {}
TTranscoder::~TTranscoder() { TTranscoder::CloseFiles(); }

void TTranscoder::CloseFiles() {
  // The probes describe inputs that the files own: detach them first.
  for (auto& probe : probes_) probe->AttachContext(nullptr);
  TCustomTranscoder::CloseFiles();
}

bool TTranscoder::AddInput(std::string_view file_name, const TInputOptions* options) {
  try {
    std::optional<TInputOptions> record;
    if (options) {
      record = *options;
      if (record->FileName.empty()) record->FileName = std::string(file_name);
      ApplyInputOptions(*record, Dispatcher());
    }
    if (!OpenInput(file_name)) return false;
    auto probe = std::make_unique<TMediaProbe>();
    probe->AttachContext(InputContext(InputCount() - 1));
    probes_.push_back(std::move(probe));
    input_records_.push_back(std::move(record));
    return true;
  } catch (const std::exception& error) {
    SetErrorText(error.what());
    return false;
  }
}

bool TTranscoder::AddOutput(std::string_view file_name, const TOutputOptions* options) {
  try {
    if (OutputCount() >= kMaxFiles) {
      SetErrorText("max output files " + std::to_string(kMaxFiles) + " reached");
      return false;
    }
    std::optional<TOutputOptions> record;
    OutputPresetList presets;
    if (options) {
      record = *options;
      if (record->FileName.empty()) record->FileName = std::string(file_name);
      presets = ApplyOutputOptions(*record, Dispatcher());
      if (record->CustomHook) custom_hook_asked_ = true;
    }
    if (OpenOutput(file_name, record && record->JoinInputs) < 0) return false;
    output_records_.push_back(record);
    if (record) AddNewStreams(record->ExtOptions, presets, Dispatcher());
    return true;
  } catch (const std::exception& error) {
    SetErrorText(error.what());
    return false;
  }
}

TMediaProbe& TTranscoder::InputProbe(int index) const {
  return *probes_.at(static_cast<size_t>(index));
}

const std::optional<TInputOptions>& TTranscoder::InputRecord(int index) const {
  return input_records_.at(static_cast<size_t>(index));
}

const std::optional<TOutputOptions>& TTranscoder::OutputRecord(int index) const {
  return output_records_.at(static_cast<size_t>(index));
}

int TTranscoder::OutputCount() const { return static_cast<int>(output_records_.size()); }

}  // namespace korvex::engine
