// The generic option setter. Any option name the transcoder has no handler of its own for is
// looked up in the media libraries' option classes: the codec options of each stream kind, the
// private options of encoders and decoders, the muxer and demuxer options with their private
// options, and the scaler options. An accepted pair is kept in a dictionary per kind and handed
// to every codec, file or scaler context the task opens later.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libswscale/swscale.h>
}

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/library_objects.h"

namespace korvex::engine {

class UserOptions {
 public:
  UserOptions();
  ~UserOptions();
  UserOptions(const UserOptions&) = delete;
  UserOptions& operator=(const UserOptions&) = delete;

  // Both texts are trimmed; an empty name or value, an unknown name or a refused value gives
  // false (a refused value also logs "Invalid value ..." to the library log). Never throws.
  bool Set(std::string_view name, std::string_view value);

  // The coding defaults of a stream kind (video, audio, data, subtitle, attachment), with every
  // accepted option of that kind set on them.
  const AVCodecContext& CodingDefaults(AVMediaType type) const;
  const AVFormatContext& FormatDefaults() const;

  // Copies of the accepted pairs, for the open calls that take a dictionary.
  DictionaryPtr CodecOptions(AVMediaType type) const;
  DictionaryPtr FormatOptions() const;
  DictionaryPtr ScalerOptions() const;

  // Sets the kind's accepted pairs on a codec context (and its private options when the context
  // was made for a codec); pairs the context does not know are left out.
  void ApplyCodecOptions(AVCodecContext* context, AVMediaType type) const;
  void ApplyFormatOptions(AVFormatContext* context) const;
  void ApplyScalerOptions(SwsContext* context) const;

  // Names accepted so far, each once, in the order first set.
  const std::vector<std::string>& UserOptionNames() const { return user_option_names_; }

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::vector<std::string> user_option_names_;
};

}  // namespace korvex::engine
