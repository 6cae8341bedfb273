// The inside of one transcoding task: its input files and streams, output files and streams,
// counters and shared buffers. Everything here is owned by the task's thread while it
// transcodes; only the stop flag is read and written from other threads.
#pragma once

#include <cstdint>  // before the libraries' headers, which need its constant macros

extern "C" {
#include <libavcodec/bsf.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include <array>
#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine_component.h"
#include "engine/engine_logger.h"
#include "engine/engine_types.h"
#include "engine/frame_hooks/frame_hook_modules.h"
#include "engine/library_objects.h"
#include "engine/media_file_io.h"
#include "engine/options/option_dispatcher.h"
#include "engine/options/transcoder_settings.h"
#include "engine/options/user_options.h"
#include "engine/transcoder/transcoder_callouts.h"

namespace korvex::engine {

struct ResamplerDeleter {
  void operator()(SwrContext* context) const { swr_free(&context); }
};
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerDeleter>;

struct AudioFifoDeleter {
  void operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }
};
using AudioFifoPtr = std::unique_ptr<AVAudioFifo, AudioFifoDeleter>;

struct BitstreamFilterDeleter {
  void operator()(AVBSFContext* context) const { av_bsf_free(&context); }
};
using BitstreamFilterPtr = std::unique_ptr<AVBSFContext, BitstreamFilterDeleter>;

struct FilterGraphDeleter {
  void operator()(AVFilterGraph* graph) const { avfilter_graph_free(&graph); }
};
using FilterGraphPtr = std::unique_ptr<AVFilterGraph, FilterGraphDeleter>;

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

struct InputFile {
  InputContextPtr context;
  int64_t ts_offset = 0;  // microseconds added to every packet time
  std::array<double, kMaxStreams> ts_scale{};
  int first_stream = 0;  // index of its first stream in the input stream table
  bool eof_reached = false;
  bool no_packet = false;
};

// The video filter graph of one input stream: "src" → [crop] → [scale] → user text → "out".
struct VideoFilterGraph {
  FilterGraphPtr graph;
  AVFilterContext* source = nullptr;  // owned by the graph
  AVFilterContext* sink = nullptr;
};

struct InputStream {
  int file_index = 0;
  int stream_index = 0;
  AVStream* stream = nullptr;  // owned by the input file
  CodecContextPtr decoder;     // made when the input is opened; opened when decoding is needed
  bool decoder_opened = false;
  bool discard = true;  // until an output uses the stream
  bool decoding_needed = false;
  int64_t next_pts = kNoTimestamp;  // microseconds
  int64_t pts = 0;                  // microseconds
  bool is_start = true;             // until the first audio correction
  bool is_past_recording_time = false;
  bool flushed = false;
  bool multiple_frames_logged = false;
  int64_t rate_emulation_start = 0;
  VideoFilterGraph filters;
};

// What creating an output stream decided, kept with the file until the setup makes the output
// stream table.
struct StreamDraft {
  CodecContextPtr encoder;         // the coding parameters; opened at setup when encoding
  const AVCodec* codec = nullptr;  // the encoder asked for by name or guessed; may be null
  bool stream_copy = false;
  std::vector<BitstreamFilterEntry> bitstream_filters;
};

struct OutputFile {
  FormatContextPtr context;  // the muxer; its pb is `io` when the muxer writes a file
  FileIoPtr io;
  std::string name;
  std::vector<StreamDraft> drafts;  // one per muxer stream, in order
  bool header_written = false;
};

struct OutputStream {
  int file_index = 0;     // in the registered output table (a joined file appears once per input)
  int stream_index = 0;   // in the muxer
  int source_index = -1;  // input stream table
  int sync_index = -1;
  AVStream* stream = nullptr;  // owned by the muxer
  // The encoder: owned by the stream's first registration; a joined file's further
  // registrations share it.
  CodecContextPtr encoder_storage;
  AVCodecContext* encoder = nullptr;
  const AVCodec* codec = nullptr;  // the encoder asked for by name or guessed, or null
  bool stream_copy = false;
  bool encoding_needed = false;
  bool encoder_opened = false;
  int frame_number = 0;
  int64_t sync_opts = 0;  // frames for video, samples for audio, in encoder time base units
  std::vector<BitstreamFilterEntry> bitstream_filter_entries;
  std::vector<BitstreamFilterPtr> bitstream_filters;  // made when the stream is prepared
  AVRational packet_time_base{1, AV_TIME_BASE};       // of the packets handed to WritePacket
  bool progress_active = true;
  FilePtr pass_log;
  std::string pass_stats;  // pass 2: the log read back; the encoder points at it
  bool encoder_flushed = false;
  int64_t written_time_us = 0;  // end of the last packet written, for choosing the next input
  float last_quality = -1;      // quantiser of the last coded frame
  std::array<double, 3> psnr_error{};  // summed squared errors of the planes
  std::array<int64_t, 32> qp_histogram{};

  // Video.
  bool video_crop = false;
  int top_band = 0, bottom_band = 0, left_band = 0, right_band = 0;
  int original_top_band = 0, original_bottom_band = 0, original_left_band = 0,
      original_right_band = 0;
  bool video_resample = false;
  ScalerContextPtr scaler;
  FramePtr scaled_picture;  // in the encoder's format and size
  int resample_width = 0, resample_height = 0;
  AVPixelFormat resample_pix_fmt = AV_PIX_FMT_NONE;
  int original_width = 0, original_height = 0;

  // Audio.
  bool audio_resample = false;
  ResamplerPtr resampler;  // rate or channel change (and drift compensation)
  ResamplerPtr converter;  // sample format change only
  AVSampleFormat converter_in = AV_SAMPLE_FMT_NONE, converter_out = AV_SAMPLE_FMT_NONE;
  AudioFifoPtr fifo;
};

struct TranscoderState {
  TranscoderState(const TEngineComponent* owner, TranscoderFiles* files);

  const TEngineComponent* sender;
  TranscoderSettings settings;
  UserOptions options;
  FrameHookModules hook_modules;
  OptionDispatcher dispatcher;
  TranscoderCallouts default_callouts;
  TranscoderCallouts* callouts = &default_callouts;
  std::string error_text;

  std::vector<InputFile> input_files;
  std::vector<std::unique_ptr<OutputFile>> output_files;  // each file once
  std::vector<OutputFile*> registered_outputs;            // a joined file once per input
  std::vector<InputStream> input_streams;
  std::vector<OutputStream> output_streams;

  bool program_selected = false;  // an input kept only the streams of one program
  bool join_mode = false;
  int current_input = 0;  // join mode: the input being read
  int64_t total_duration = -1;
  int64_t progress_interval = 500000;
  std::atomic<bool> stop_requested{false};
  bool finished = false;

  // Counters of the loop.
  int64_t video_size = 0, audio_size = 0, extra_size = 0;
  int dup_frames = 0, drop_frames = 0;
  bool new_dup_or_drop = false;
  int64_t transcode_start = 0;  // av_gettime_relative at the start of the loop
  int64_t last_report = 0;
  int last_file_index = 0;
  int hooked_frames = 0;  // decoded video frames handed to pre-processing
  FilePtr vstats;

  std::vector<uint8_t> subtitle_buffer;  // 1 MiB, made on the first subtitle

  // Shared work frames, reused packet after packet.
  FramePtr decoded_frame;
  FramePtr filtered_frame;
  FramePtr audio_frame;
  PacketPtr encoded_packet;

  void Log(TLogLevel level, std::string_view text) const;
  int Verbose() const { return settings.verbose; }
};

// Raises EngineException with the text; the common end of every fatal failure.
[[noreturn]] void Fail(std::string text);
// printf-style text.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "#%d.%d (%s)" texts name streams by file, index and kind.
const char* KindName(AVMediaType type);

// Setup (transcode_setup.cpp and its parts).
void PrepareTranscode(TranscoderState& state);
void BuildOutputStreamTable(TranscoderState& state);
void MapStreams(TranscoderState& state);
void PrepareOutputStream(TranscoderState& state, OutputStream& ost);
void BuildVideoFilterGraph(TranscoderState& state, InputStream& ist, OutputStream& ost);
void OpenEncoder(TranscoderState& state, OutputStream& ost);
void OpenPassLogs(TranscoderState& state, OutputStream& ost, int overall_index);

// The loop (transcode_loop.cpp, packet_processing.cpp).
void RunTranscodeLoop(TranscoderState& state);
// False when the packet could not be decoded. `packet` null flushes the stream's decoder and,
// with `flush_encoders`, the encoders it feeds.
bool ProcessPacket(TranscoderState& state, int ist_index, const AVPacket* packet,
                   bool flush_encoders = true);
// The output stream's time reached so far, in microseconds.
int64_t OutputTime(const OutputStream& ost);
void FlushOutputStream(TranscoderState& state, OutputStream& ost);

// The stream outputs.
// `filtered`: the picture came out of the filter graph, already cropped and scaled.
void WriteVideo(TranscoderState& state, OutputStream& ost, AVFrame& picture, bool filtered);
void WriteAudio(TranscoderState& state, OutputStream& ost, AVFrame& samples);
void WriteSubtitle(TranscoderState& state, OutputStream& ost, AVSubtitle& subtitle,
                   int64_t packet_pts_us);
void WritePacket(TranscoderState& state, OutputStream& ost, AVPacket& packet);
// Receives every packet the encoder has ready and writes it; returns how many were written.
int DrainEncoder(TranscoderState& state, OutputStream& ost, const AVFrame* previewed);

// Reports (transcode_status.cpp).
void ReportProgress(TranscoderState& state, bool final_report);
void WriteVideoStats(TranscoderState& state, OutputStream& ost, int frame_size, int picture_type);

}  // namespace korvex::engine
