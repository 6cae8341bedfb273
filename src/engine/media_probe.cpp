#include "engine/media_probe.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>

#include "engine/codec_lock.h"
#include "engine/engine_exception.h"
#include "engine/engine_logger.h"
#include "engine/engine_texts.h"
#include "engine/file_names.h"
#include "engine/library_loader.h"
#include "engine/probe_text.h"
#include "platform/text.h"

namespace korvex::engine {
namespace {

int ClampToInt(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::string Tag(const AVDictionary* tags, const char* key) {
  const AVDictionaryEntry* entry = av_dict_get(tags, key, nullptr, 0);
  return entry ? entry->value : "";
}

// The leading number of a tag such as "3/12" or "2026-05-01"; 0 when there is none.
int LeadingNumber(const std::string& text) {
  int value = 0;
  return sscanf(text.c_str(), "%d", &value) == 1 ? value : 0;
}

AVRational UsableTimeBase(AVRational time_base) {
  if (time_base.den == 0) time_base.den = time_base.num != 0 ? time_base.num : 1;
  return time_base;
}

}  // namespace

TCustomMediaProbe::~TCustomMediaProbe() { CloseFile(); }

bool TCustomMediaProbe::LoadAVLib(const std::string& folder) {
  TLibraryLoader& loader = TLibraryLoader::Instance();
  loader.SetLibraryFolder(folder);
  if (loader.LoadLibs(kProbeLibraries)) return true;
  last_err_msg_ = loader.LastLoadError();
  return false;
}

bool TCustomMediaProbe::AVLibLoaded() const {
  return TLibraryLoader::Instance().LibsLoaded(kProbeLibraries);
}

void TCustomMediaProbe::CheckLibraries() const {
  const TLibraryLoader& loader = TLibraryLoader::Instance();
  if (!loader.LibLoaded(lsAVCodec)) throw EngineException("LibAVCodec not loaded.");
  if (!loader.LibLoaded(lsAVFormat)) throw EngineException("LibAVFormat not loaded.");
  if (!loader.LibLoaded(lsAVUtil)) throw EngineException("LibAVUtil not loaded.");
  if (!loader.LibLoaded(lsSwScale)) throw EngineException("LibSwScale not loaded.");
}

void TCustomMediaProbe::Fail(int level, const std::string& message) {
  last_err_msg_ = message;
  TEngineLogger::Instance().Log(this, static_cast<TLogLevel>(level), message);
}

bool TCustomMediaProbe::LoadFile(const std::string& file_name, const std::string& format_name) {
  CheckLibraries();
  CloseFile();
  const AVInputFormat* format = nullptr;
  if (!format_name.empty()) {
    format = av_find_input_format(format_name.c_str());
    if (!format) {
      last_err_msg_ = "Unknown input format: " + format_name;
      return false;
    }
  }
  InputContextPtr input;
  if (const int error = OpenInputContext(file_name, format, nullptr, input); error < 0) {
    Fail(llError, ErrorText(file_name, error));
    CloseFile();
    return false;
  }
  int found;
  {
    CodecLock lock;
    found = avformat_find_stream_info(input.get(), nullptr);
  }
  if (found < 0) {
    last_err_msg_ = file_name + ": could not find codec parameters";
    CloseFile();
    return false;
  }
  owned_input_ = std::move(input);
  context_ = owned_input_.get();
  Recount();
  force_format_ = format_name;
  return true;
}

void TCustomMediaProbe::CloseFile() {
  force_format_.clear();
  context_ = nullptr;
  owned_input_.reset();
  Recount();
}

void TCustomMediaProbe::AttachContext(AVFormatContext* context) {
  CheckLibraries();
  CloseFile();
  context_ = context;
  Recount();
}

void TCustomMediaProbe::Recount() {
  file_size_ = -1;
  stream_count_ = program_count_ = -1;
  audio_stream_count_ = video_stream_count_ = subtitle_stream_count_ = -1;
  first_audio_stream_ = first_video_stream_ = first_subtitle_stream_ = -1;
  if (!context_) return;

  const int64_t container_size = context_->pb ? avio_size(context_->pb) : -1;
  file_size_ = container_size;
  if (container_size <= 0 && context_->url) {
    struct stat info {};
    const std::string path = FileNameFromLibrary(context_->url);
    if (stat(path.c_str(), &info) == 0) file_size_ = static_cast<int64_t>(info.st_size);
  }
  stream_count_ = static_cast<int>(context_->nb_streams);
  program_count_ = static_cast<int>(context_->nb_programs);
  audio_stream_count_ = video_stream_count_ = subtitle_stream_count_ = 0;
  for (int index = 0; index < stream_count_; ++index) {
    switch (Stream(index)->codecpar->codec_type) {
      case AVMEDIA_TYPE_VIDEO:
        ++video_stream_count_;
        if (first_video_stream_ < 0) first_video_stream_ = index;
        break;
      case AVMEDIA_TYPE_AUDIO:
        ++audio_stream_count_;
        if (first_audio_stream_ < 0) first_audio_stream_ = index;
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        ++subtitle_stream_count_;
        if (first_subtitle_stream_ < 0) first_subtitle_stream_ = index;
        break;
      default:
        break;
    }
  }
}

void TCustomMediaProbe::GetFileStreamInfo(TFileStreamInfo& info) {
  info = TFileStreamInfo{};
  if (!CheckLoaded()) return;
  if (context_->start_time != AV_NOPTS_VALUE) info.StartTime = context_->start_time;
  if (context_->duration != AV_NOPTS_VALUE) info.Duration = context_->duration;
  info.BitRate = ClampToInt(context_->bit_rate);
  const AVDictionary* tags = context_->metadata;
  info.Timestamp = CreationTime(tags);
  const std::string date = Tag(tags, "date");
  info.Year = LeadingNumber(date.empty() ? Tag(tags, "year") : date);
  info.Track = LeadingNumber(Tag(tags, "track"));
  info.Title = Tag(tags, "title");
  // Current demuxers name the author tag "artist".
  info.Author = Tag(tags, "author");
  if (info.Author.empty()) info.Author = Tag(tags, "artist");
  info.Copyright = Tag(tags, "copyright");
  info.Comment = Tag(tags, "comment");
  info.Album = Tag(tags, "album");
  info.Genre = Tag(tags, "genre");
}

bool TCustomMediaProbe::CheckLoaded() {
  if (!context_) Fail(llWarning, "file not loaded.");
  return context_ != nullptr;
}

bool TCustomMediaProbe::CheckIndex(int stream_index) {
  if (stream_index >= 0 && stream_index < stream_count_) return true;
  char message[64];
  snprintf(message, sizeof message, "stream index #%d is invalid.", stream_index);
  Fail(llError, message);
  return false;
}

int TCustomMediaProbe::LookUpStream(int stream_index, AVMediaType kind) {
  const bool video = kind == AVMEDIA_TYPE_VIDEO;
  if (!CheckLoaded()) return -1;
  if (stream_index < 0) {
    const int first = video ? first_video_stream_ : first_audio_stream_;
    if (first < 0) Fail(llError, video ? "no video stream." : "no audio stream.");
    return first;
  }
  if (!CheckIndex(stream_index)) return -1;
  if (Stream(stream_index)->codecpar->codec_type != kind) {
    char message[64];
    snprintf(message, sizeof message, "stream #%d is not %s stream.", stream_index,
             video ? "video" : "audio");
    Fail(llError, message);
    return -1;
  }
  return stream_index;
}

namespace {

// Language, codec text, start and duration: the fields every stream record has.
template <typename Info>
void FillCommon(const AVStream* stream, Info& info) {
  info.Language = Tag(stream->metadata, "language");
  info.CodecDesc = CodecNameText(stream->codecpar->codec_id, stream->codecpar->codec_tag, false);
  info.StartTimeTB = stream->start_time;
  info.DurationTB = stream->duration;
  const AVRational time_base = UsableTimeBase(stream->time_base);
  if (stream->start_time != AV_NOPTS_VALUE) {
    info.StartTime = av_rescale_q(stream->start_time, time_base, AV_TIME_BASE_Q);
  }
  if (stream->duration != AV_NOPTS_VALUE) {
    info.Duration = av_rescale_q(stream->duration, time_base, AV_TIME_BASE_Q);
  }
}

}  // namespace

void TCustomMediaProbe::GetVideoStreamInfo(int stream_index, TVideoStreamInfo& info) {
  info = TVideoStreamInfo{};
  const int index = LookUpStream(stream_index, AVMEDIA_TYPE_VIDEO);
  if (index < 0) return;
  const AVStream* stream = Stream(index);
  FillCommon(stream, info);
  const AVCodecParameters* parameters = stream->codecpar;
  info.BitRate = ClampToInt(parameters->bit_rate);
  info.Height = parameters->height;
  info.Width = parameters->width;
  info.PixelFormat = parameters->format;
  // An unknown sample aspect (0) means square pixels, so the display aspect stays meaningful.
  const AVRational sar = parameters->sample_aspect_ratio;
  const double pixel_aspect = sar.num > 0 && sar.den > 0 ? av_q2d(sar) : 1.0;
  info.DisplayAspect =
      parameters->height > 0
          ? static_cast<float>(pixel_aspect * parameters->width / parameters->height)
          : 0.0f;
  info.FrameRateNum = stream->r_frame_rate.num;
  info.FrameRateDen = stream->r_frame_rate.den;
}

void TCustomMediaProbe::GetAudioStreamInfo(int stream_index, TAudioStreamInfo& info) {
  info = TAudioStreamInfo{};
  const int index = LookUpStream(stream_index, AVMEDIA_TYPE_AUDIO);
  if (index < 0) return;
  const AVStream* stream = Stream(index);
  FillCommon(stream, info);
  const AVCodecParameters* parameters = stream->codecpar;
  info.BitRate = ClampToInt(parameters->bit_rate);
  info.Channels = parameters->ch_layout.nb_channels;
  info.SampleRate = parameters->sample_rate;
  info.SampleFormat = parameters->format;
}

bool TCustomMediaProbe::IsAudioStream(int stream_index) {
  return IsStreamOfKind(stream_index, AVMEDIA_TYPE_AUDIO);
}

bool TCustomMediaProbe::IsVideoStream(int stream_index) {
  return IsStreamOfKind(stream_index, AVMEDIA_TYPE_VIDEO);
}

bool TCustomMediaProbe::IsStreamOfKind(int stream_index, AVMediaType kind) {
  return CheckLoaded() && CheckIndex(stream_index) &&
         Stream(stream_index)->codecpar->codec_type == kind;
}

std::string TCustomMediaProbe::FileName() const {
  return context_ && context_->url ? FileNameFromLibrary(context_->url) : "";
}

std::string TCustomMediaProbe::FormatName() const {
  return context_ && context_->iformat ? context_->iformat->name : "";
}

}  // namespace korvex::engine
