// The probe: reads a media file's container and stream information and describes it.
// Used from one thread at a time. A probe either owns the demuxer input it opened itself or
// describes one that the player owns (AttachContext), which it then never closes.
#pragma once

#include <cstdint>
#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

#include "engine/engine_component.h"
#include "engine/media_file_io.h"

namespace korvex::engine {

struct TFileStreamInfo {
  int64_t StartTime = -1;  // microseconds, -1 unknown
  int64_t Duration = -1;   // microseconds, -1 unknown
  int BitRate = -1;        // bits per second; 0 or less unknown
  int64_t Timestamp = -1;  // creation time, seconds since 1970 UTC; 0 none
  int Year = -1;
  int Track = -1;
  std::string Title, Author, Copyright, Comment, Album, Genre;
};

struct TVideoStreamInfo {
  std::string Language;
  std::string CodecDesc;
  int64_t StartTimeTB = -1;
  int64_t StartTime = -1;
  int64_t DurationTB = -1;
  int64_t Duration = -1;
  int BitRate = -1;
  int Height = -1;
  int Width = -1;
  float DisplayAspect = -1.0f;
  int PixelFormat = -1;
  int FrameRateNum = -1;
  int FrameRateDen = -1;
};

struct TAudioStreamInfo {
  std::string Language;
  std::string CodecDesc;
  int64_t StartTimeTB = -1;
  int64_t StartTime = -1;
  int64_t DurationTB = -1;
  int64_t Duration = -1;
  int BitRate = -1;
  int Channels = -1;
  int SampleRate = -1;
  int SampleFormat = -1;
};

class TCustomMediaProbe : public TEngineComponent {
 public:
  TCustomMediaProbe() = default;
  ~TCustomMediaProbe() override;

  // Loads the probe's libraries from `folder`; false with the reason in LastErrMsg.
  bool LoadAVLib(const std::string& folder);
  bool AVLibLoaded() const;

  // Opens and analyses a file, with the demuxer named `format_name` or by detection.
  // Raises EngineException when the libraries are not loaded.
  bool LoadFile(const std::string& file_name, const std::string& format_name = "");
  void CloseFile();
  // Describes an open demuxer context without owning it; nullptr detaches.
  void AttachContext(AVFormatContext* context);

  void GetFileStreamInfo(TFileStreamInfo& info);
  void GetVideoStreamInfo(int stream_index, TVideoStreamInfo& info);
  void GetAudioStreamInfo(int stream_index, TAudioStreamInfo& info);
  std::string InfoText();
  bool IsAudioStream(int stream_index);
  bool IsVideoStream(int stream_index);

  std::string FileName() const;
  std::string FormatName() const;
  const std::string& LastErrMsg() const { return last_err_msg_; }
  const std::string& ForceFormat() const { return force_format_; }

  int64_t FileSize() const { return file_size_; }
  int StreamCount() const { return stream_count_; }
  int ProgramCount() const { return program_count_; }
  int AudioStreamCount() const { return audio_stream_count_; }
  int VideoStreamCount() const { return video_stream_count_; }
  int SubtitleStreamCount() const { return subtitle_stream_count_; }
  int FirstAudioStream() const { return first_audio_stream_; }
  int FirstVideoStream() const { return first_video_stream_; }
  int FirstSubtitleStream() const { return first_subtitle_stream_; }

 private:
  void CheckLibraries() const;
  void Recount();
  void Fail(int level, const std::string& message);
  // Each reports why it fails: "file not loaded." or "stream index #%d is invalid.".
  bool CheckLoaded();
  bool CheckIndex(int stream_index);
  // The stream of the kind asked for, or -1 after reporting why there is none.
  int LookUpStream(int stream_index, AVMediaType kind);
  bool IsStreamOfKind(int stream_index, AVMediaType kind);
  const AVStream* Stream(int index) const { return context_->streams[index]; }
  std::string StreamLine(int index) const;

  InputContextPtr owned_input_;         // the input this probe opened, if any
  AVFormatContext* context_ = nullptr;  // the described context (owned or attached)
  std::string last_err_msg_;
  std::string force_format_;
  int64_t file_size_ = -1;
  int stream_count_ = -1;
  int program_count_ = -1;
  int audio_stream_count_ = -1;
  int video_stream_count_ = -1;
  int subtitle_stream_count_ = -1;
  int first_audio_stream_ = -1;
  int first_video_stream_ = -1;
  int first_subtitle_stream_ = -1;
};

class TMediaProbe final : public TCustomMediaProbe {};

}  // namespace korvex::engine
