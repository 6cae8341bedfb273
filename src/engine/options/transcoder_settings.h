// The current option state of one conversion task. Options change it; each input, output and
// stream the task creates consumes what applies to it, and the consume calls below clear what
// must not carry over to the next one.
#pragma once

#include <cstdint>  // before the libraries' headers, which need its constant macros

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
#include <libavutil/samplefmt.h>
}

#include <array>
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvex::engine {

inline constexpr int kMaxFiles = 20;    // inputs and outputs per task
inline constexpr int kMaxStreams = 20;  // stream-id and timestamp-scale tables
inline constexpr int kMaxStreamMaps = 400;
inline constexpr int kMaxMetaDataMaps = 20;

struct StreamMap {
  int file_index = 0;
  int stream_index = 0;
  int sync_file_index = 0;
  int sync_stream_index = 0;
};

struct MetaDataMap {
  int out_file = 0;
  int in_file = 0;
};

// A bitstream filter for the next stream of a kind: its name and any "=arguments" after it.
struct BitstreamFilterEntry {
  std::string name;
  std::string arguments;
};

using QuantMatrix = std::array<uint16_t, 64>;

// Per-kind state that each new output stream of that kind consumes.
struct StreamKindSettings {
  std::string codec_name;  // empty = the muxer's choice
  bool stream_copy = false;
  bool disabled = false;
  std::string language;
  uint32_t codec_tag = 0;  // four characters, first in the lowest byte
  std::vector<BitstreamFilterEntry> bitstream_filters;
};

struct TranscoderSettings {
  // Files.
  std::string forced_format;  // for the next input or output
  bool pgmyuv_input = false;
  std::vector<StreamMap> stream_maps;
  std::vector<MetaDataMap> meta_data_maps;
  std::vector<std::pair<std::string, std::string>> pending_metadata;  // for the next output
  std::array<int, kMaxStreams> stream_ids{};         // for the next output; 0 = none
  std::array<double, kMaxStreams> input_ts_scale{};  // for the next input; 0 = none
  std::optional<int> program_id;                     // for the next input
  int64_t recording_time = INT64_MAX;                // microseconds
  int64_t start_time = 0;                            // microseconds
  int64_t input_ts_offset = 0;                       // microseconds, next input
  int64_t recording_timestamp = 0;                   // seconds since 1970 UTC
  int64_t file_size_limit = 0;                       // bytes; 0 = none
  int64_t total_duration = -1;                       // microseconds, for progress

  // Frames and sizes.
  int frame_width = 0;
  int frame_height = 0;
  double frame_aspect_ratio = 0;
  AVPixelFormat frame_pix_fmt = AV_PIX_FMT_NONE;
  int crop_top = 0;
  int crop_bottom = 0;
  int crop_left = 0;
  int crop_right = 0;
  AVRational frame_rate{0, 0};
  std::array<int, 4> max_frames{INT_MAX, INT_MAX, INT_MAX,
                                INT_MAX};  // video, audio, data, subtitle

  // Video coding.
  double video_qscale = 0;
  int intra_dc_precision = 8;
  bool intra_only = false;
  bool same_quality = false;
  int video_discard = 0;
  std::string rc_override;
  int me_threshold = 0;
  int do_pass = 0;
  std::string pass_log_filename;
  bool deinterlace = false;
  bool psnr = false;
  std::string vstats_filename;
  std::string filters;  // video filter graph text
  std::optional<QuantMatrix> intra_matrix;
  std::optional<QuantMatrix> inter_matrix;
  int top_field_first = -1;
  bool qp_hist = false;
  bool force_fps = false;
  int video_global_header = 0;
  int sws_flags = 4;  // bicubic
  int video_channel = 0;
  std::string video_standard;

  // Audio coding.
  int audio_sample_rate = 44100;
  int audio_channels = 2;
  double audio_qscale = -99999.0;
  int audio_volume = 256;
  AVSampleFormat audio_sample_fmt = AV_SAMPLE_FMT_NONE;

  // Per stream kind: video, audio, subtitle.
  StreamKindSettings video;
  StreamKindSettings audio;
  StreamKindSettings subtitle;

  // Muxing and timing.
  double mux_preload = 0.5;    // seconds
  double mux_max_delay = 0.7;  // seconds
  int loop_output = -1;
  int video_sync_method = -1;
  int audio_sync_method = 0;
  double audio_drift_threshold = 0.1;  // seconds
  double dts_delta_threshold = 10.0;   // seconds
  int copy_initial_nonkeyframes = 0;
  int verbose = 1;
  int thread_count = 1;
  int packet_buffer_size = 262144;

  bool copy_ts = false;
  bool shortest = false;
  bool input_sync = false;
  bool exit_on_error = false;
  bool loop_input = false;
  bool rate_emulation = false;
  bool packet_dump = false;
  bool hex_dump = false;

  // The per-kind state of video, audio or subtitle; nullptr for other kinds.
  StreamKindSettings* Kind(AVMediaType type);
  // A codec name for the next stream of the kind: "copy" means a stream copy.
  void SetCodecName(AVMediaType type, std::string_view name);

  // What an opened input has used: its forced format and decoders, start time, timestamp
  // offset and scales, program number and capture channel.
  void ConsumeInputSettings();
  // What a created output has used: its forced format, pending tags and stream ids.
  void ConsumeOutputSettings();
  // What a new stream of the kind has used: codec name, copy and disable flags, language and
  // bitstream filters, and for video the pixel format.
  void ConsumeStreamSettings(AVMediaType type);
};

}  // namespace korvex::engine
