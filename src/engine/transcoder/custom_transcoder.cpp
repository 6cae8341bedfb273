#include "engine/transcoder/custom_transcoder.h"

#include <cstdarg>
#include <filesystem>
#include <system_error>

#include "engine/codec_lock.h"
#include "engine/engine_exception.h"
#include "engine/file_names.h"
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

TranscoderState::TranscoderState(const TEngineComponent* owner, TranscoderFiles* files)
    : sender(owner), dispatcher(settings, options, hook_modules, files, owner) {}

void TranscoderState::Log(TLogLevel level, std::string_view text) const {
  TEngineLogger::Instance().Log(sender, level, text);
}

void Fail(std::string text) { throw EngineException(std::move(text)); }

std::string Format(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  va_list counting;
  va_copy(counting, arguments);
  const int length = std::vsnprintf(nullptr, 0, format, counting);
  va_end(counting);
  std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, arguments);
  va_end(arguments);
  return text;
}

const char* KindName(AVMediaType type) {
  const char* name = av_get_media_type_string(type);
  return name ? name : "unknown";
}

TCustomTranscoder::TCustomTranscoder(const TEngineComponent* sender)
    : state_(std::make_unique<TranscoderState>(sender, this)) {}

TCustomTranscoder::~TCustomTranscoder() {
  CloseCodecs();
  CloseFiles();
}

TranscoderSettings& TCustomTranscoder::Settings() { return state_->settings; }
OptionDispatcher& TCustomTranscoder::Dispatcher() { return state_->dispatcher; }
UserOptions& TCustomTranscoder::Options() { return state_->options; }
FrameHookModules& TCustomTranscoder::HookModules() { return state_->hook_modules; }

void TCustomTranscoder::SetCallouts(TranscoderCallouts* callouts) {
  state_->callouts = callouts ? callouts : &state_->default_callouts;
}

void TCustomTranscoder::SetProgressInterval(int64_t microseconds) {
  state_->progress_interval = microseconds;
}

const std::string& TCustomTranscoder::ErrorText() const { return state_->error_text; }
void TCustomTranscoder::SetErrorText(std::string text) { state_->error_text = std::move(text); }

int TCustomTranscoder::InputCount() const { return static_cast<int>(state_->input_files.size()); }

AVFormatContext* TCustomTranscoder::InputContext(int index) const {
  return state_->input_files.at(static_cast<size_t>(index)).context.get();
}

void TCustomTranscoder::RequestStop() { state_->stop_requested = true; }
bool TCustomTranscoder::StopRequested() const { return state_->stop_requested; }
bool TCustomTranscoder::Finished() const { return state_->finished; }

void TCustomTranscoder::Transcode() {
  TranscoderState& s = *state_;
  s.finished = false;
  PrepareTranscode(s);
  RunTranscodeLoop(s);
  CloseCodecs();
  s.finished = !s.stop_requested;
}

void TCustomTranscoder::CloseCodecs() {
  TranscoderState& s = *state_;
  for (OutputStream& ost : s.output_streams) {
    if (!ost.encoder_storage) continue;
    CodecLock lock;
    ost.encoder_storage.reset();
    ost.encoder = nullptr;
    ost.encoder_opened = false;
  }
  for (InputStream& ist : s.input_streams) {
    if (!ist.decoder) continue;
    CodecLock lock;
    ist.decoder.reset();
    ist.decoder_opened = false;
  }
}

void TCustomTranscoder::CloseFiles() {
  TranscoderState& s = *state_;
  for (InputStream& ist : s.input_streams) ist.filters = VideoFilterGraph{};
  s.output_streams.clear();
  s.input_streams.clear();
  s.input_files.clear();
  s.registered_outputs.clear();
  for (std::unique_ptr<OutputFile>& file : s.output_files) {
    const bool wrote_file = file->io != nullptr;
    file->context.reset();
    file->io.reset();
    if (!wrote_file) continue;
    // A file that holds nothing is no conversion result; one with content stays, whatever
    // ended the task, so that what was converted can be played.
    std::error_code error;
    const std::filesystem::path path(file->name);
    if (std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) == 0 && !error)
      std::filesystem::remove(path, error);
  }
  s.output_files.clear();
}

std::vector<AVRational> TCustomTranscoder::InputVideoTimeBases() const {
  std::vector<AVRational> bases;
  for (const InputFile& file : state_->input_files) {
    for (unsigned i = 0; i < file.context->nb_streams; ++i) {
      const AVStream* stream = file.context->streams[i];
      if (stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
      const AVRational rate = stream->r_frame_rate;
      bases.push_back(rate.num > 0 ? av_inv_q(rate) : stream->time_base);
    }
  }
  return bases;
}

int TCustomTranscoder::OutputFileCount() const {
  return static_cast<int>(state_->registered_outputs.size());
}

}  // namespace korvex::engine
