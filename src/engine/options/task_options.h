// The two records a caller fills to describe one input and one output of a conversion task. The
// converter turns their fields into option calls in a fixed order; option text in `ExtOptions`
// reaches the rest of the transcoder's options.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_types.h"

namespace korvex::engine {

// Tags and the recording date of an output.
struct TStreamInfo {
  // Local date-time in days since 30 December 1899; 0 = now, negative = not set.
  double Timestamp = -1.0;
  int32_t Year = -1;
  int32_t Track = -1;
  std::string Title;
  std::string Author;
  std::string Copyright;
  std::string Comment;
  std::string Album;
  std::string Genre;
};

struct TInputOptions {
  std::string FileName;  // UTF-8; empty = the file name given to the task
  std::string ForceFormat;
  int64_t StartTime = kNoTimestamp;  // microseconds
  int32_t ProgramID = -1;
  std::string ExtOptions;
};

// Numeric fields apply when > 0 unless the field says otherwise.
struct TOutputOptions {
  std::string FileName;  // UTF-8; empty = the file name given to the task
  std::string Reserved;  // carried for callers, never read by the engine
  std::string ForceFormat;
  int32_t PacketSize = -1;
  int32_t MuxRate = -1;
  float MuxDelay = -1.0f;    // seconds
  float MuxPreload = -1.0f;  // seconds
  std::string AudioCodec;
  std::string AudioPreset;
  bool DisableAudio = false;
  int32_t AudioVolume = -1;  // 256 = unchanged; applies when >= 0
  int32_t AudioChannels = -1;
  int32_t AudioSampleRate = -1;
  int32_t AudioBitrate = -1;  // bit/s
  int32_t AudioBitrateTolerance = -1;
  std::string AudioLanguage;  // always applied
  int32_t AudioSync = 0;      // always applied
  std::string AudioTag;
  std::string VideoCodec;
  std::string VideoPreset;
  bool DisableVideo = false;
  std::string FrameRate;
  std::string FrameSize;
  std::string AspectRatio;
  int32_t CropTop = -1;  // source pixels
  int32_t CropBottom = -1;
  int32_t CropLeft = -1;
  int32_t CropRight = -1;
  int32_t GOPSize = -1;
  int32_t VideoBitrate = -1;  // bit/s
  int32_t VideoMaxRate = -1;
  int32_t VideoMinRate = -1;
  int32_t VideoBitrateTolerance = -1;
  int32_t VideoBufSize = -1;
  int32_t VideoSync = -1;  // always applied
  std::string VideoTag;
  std::string VideoFilters;
  std::string VideoLanguage;  // always applied
  std::string SubtitleCodec;
  std::string SubtitlePreset;
  bool DisableSubtitle = false;
  std::string SubtitleLanguage;  // always applied
  bool InputSync = false;        // always applied
  bool CopyTimestamps = false;
  int64_t StartTime = kNoTimestamp;  // microseconds
  int64_t Duration = kNoTimestamp;   // microseconds
  TStreamInfo Metadata;
  int32_t Target = 0;             // 0 none, 1 vcd, 2 svcd, 3 dvd
  int32_t TargetNorm = 0;         // 0 detect, 1 pal, 2 ntsc
  int32_t TargetDefaultNorm = 1;  // 1 pal, anything else ntsc
  bool CustomHook = false;
  bool JoinInputs = false;
  std::string ExtOptions;
};

}  // namespace korvex::engine
