// The loop of a task: choose the input whose outputs lag most, read a packet, move its times
// onto the task's time line, process it, report progress; then flush, write the trailers and
// make the final report.
#include <cmath>
#include <cstdint>  // before the libraries' headers, which need its constant macros
#include <limits>

extern "C" {
#include <libavutil/time.h>
}

#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

int KindSlot(AVMediaType type) {
  switch (type) {
    case AVMEDIA_TYPE_VIDEO:
      return 0;
    case AVMEDIA_TYPE_AUDIO:
      return 1;
    case AVMEDIA_TYPE_DATA:
      return 2;
    default:
      return 3;
  }
}

// The file to read next, -1 when none; `any_no_packet` tells whether an input was skipped
// because it had nothing ready.
int ChooseInput(TranscoderState& s, bool& any_no_packet) {
  int chosen = -1;
  int64_t least_output = std::numeric_limits<int64_t>::max();
  int64_t least_input = std::numeric_limits<int64_t>::max();
  any_no_packet = false;
  for (const OutputStream& ost : s.output_streams) {
    if (s.join_mode && ost.file_index != s.current_input) continue;
    const InputStream& ist = s.input_streams[static_cast<size_t>(ost.source_index)];
    const InputFile& file = s.input_files[static_cast<size_t>(ist.file_index)];
    if (ist.is_past_recording_time) continue;
    if (file.no_packet) {
      any_no_packet = true;
      continue;
    }
    const int slot = KindSlot(ost.stream->codecpar->codec_type);
    if (ost.frame_number >= s.settings.max_frames[static_cast<size_t>(slot)]) return -1;
    if (file.eof_reached) continue;
    const int64_t output_time = OutputTime(ost);
    if (s.settings.input_sync ? ist.pts < least_input : output_time < least_output) {
      least_output = output_time;
      least_input = ist.pts;
      chosen = ist.file_index;
    }
  }
  return chosen;
}

bool FileSizeLimitReached(const TranscoderState& s) {
  if (s.settings.file_size_limit <= 0 || s.registered_outputs.empty()) return false;
  const AVIOContext* io = s.registered_outputs.front()->context->pb;
  return io && avio_tell(const_cast<AVIOContext*>(io)) >= s.settings.file_size_limit;
}

// Moves the packet onto the task's time line; false when it is dropped.
bool PlacePacket(TranscoderState& s, InputFile& file, InputStream& ist, AVPacket& packet) {
  const AVRational base = ist.stream->time_base;
  const int64_t offset = av_rescale_q(file.ts_offset, AV_TIME_BASE_Q, base);
  if (packet.dts != AV_NOPTS_VALUE) packet.dts += offset;
  if (packet.pts != AV_NOPTS_VALUE) packet.pts += offset;
  const size_t index = static_cast<size_t>(ist.stream_index);
  if (index < file.ts_scale.size() && file.ts_scale[index] != 0) {
    const double scale = file.ts_scale[index];
    if (packet.pts != AV_NOPTS_VALUE) packet.pts = std::llrint(packet.pts * scale);
    if (packet.dts != AV_NOPTS_VALUE) packet.dts = std::llrint(packet.dts * scale);
  }
  if (s.settings.packet_dump)
    av_pkt_dump_log2(nullptr, AV_LOG_INFO, &packet, s.settings.hex_dump, ist.stream);

  const bool discontinuous = (file.context->iformat->flags & AVFMT_TS_DISCONT) != 0;
  if (discontinuous && packet.dts != AV_NOPTS_VALUE && ist.next_pts != kNoTimestamp &&
      !s.settings.copy_ts) {
    const int64_t dts = av_rescale_q(packet.dts, base, AV_TIME_BASE_Q);
    const int64_t delta = dts - ist.next_pts;
    if (std::llabs(delta) > static_cast<int64_t>(s.settings.dts_delta_threshold * AV_TIME_BASE) ||
        dts + 1 < ist.pts) {
      file.ts_offset -= delta;
      const int64_t shift = av_rescale_q(delta, AV_TIME_BASE_Q, base);
      packet.dts -= shift;
      if (packet.pts != AV_NOPTS_VALUE) packet.pts -= shift;
      if (s.Verbose() > 2)
        s.Log(llVerbose, Format("timestamp discontinuity %d, new offset= %d",
                                static_cast<int>(delta), static_cast<int>(file.ts_offset)));
    }
  }
  const int64_t recording = s.settings.recording_time;
  if (recording != INT64_MAX && packet.pts != AV_NOPTS_VALUE &&
      av_compare_ts(packet.pts, base, recording + s.settings.start_time, AV_TIME_BASE_Q) >= 0) {
    ist.is_past_recording_time = true;
    return false;
  }
  return true;
}

// Join mode: the next input goes on where this one ended, with the same encoders.
bool NextJoinedInput(TranscoderState& s, int file_index) {
  for (size_t i = 0; i < s.input_streams.size(); ++i) {
    InputStream& ist = s.input_streams[i];
    if (ist.file_index == file_index && ist.decoding_needed && !ist.flushed)
      ProcessPacket(s, static_cast<int>(i), nullptr, false);
  }
  const int group = s.current_input;
  const bool last = group + 1 >= static_cast<int>(s.input_files.size());
  int64_t end = 0;
  std::vector<OutputStream*> current, next;
  for (OutputStream& ost : s.output_streams) {
    if (ost.file_index == group) current.push_back(&ost);
    if (ost.file_index == group + 1) next.push_back(&ost);
  }
  for (OutputStream* ost : current) {
    end = std::max(end, OutputTime(*ost));
    ost->progress_active = false;
  }
  if (last) {
    for (OutputStream* ost : current) ost->progress_active = true;
    return false;
  }
  for (size_t k = 0; k < current.size() && k < next.size(); ++k) {
    next[k]->sync_opts = current[k]->sync_opts;
    next[k]->frame_number = current[k]->frame_number;
    next[k]->written_time_us = current[k]->written_time_us;
    // Samples not yet encoded go on with the next input's.
    std::swap(next[k]->fifo, current[k]->fifo);
  }
  s.input_files[static_cast<size_t>(group + 1)].ts_offset += end;
  s.current_input = group + 1;
  return true;
}

// An input has ended; false ends the loop.
bool InputEnded(TranscoderState& s, int file_index) {
  s.input_files[static_cast<size_t>(file_index)].eof_reached = true;
  if (s.join_mode) return NextJoinedInput(s, file_index);
  return !s.settings.shortest;
}

void HandlePacket(TranscoderState& s, int file_index, AVPacket& packet) {
  InputFile& file = s.input_files[static_cast<size_t>(file_index)];
  // Streams that appeared after the setup have no place in the tables.
  const int stream_count =
      file_index + 1 < static_cast<int>(s.input_files.size())
          ? s.input_files[static_cast<size_t>(file_index) + 1].first_stream - file.first_stream
          : static_cast<int>(s.input_streams.size()) - file.first_stream;
  if (packet.stream_index >= stream_count) return;
  const int ist_index = file.first_stream + packet.stream_index;
  InputStream& ist = s.input_streams[static_cast<size_t>(ist_index)];
  if (ist.discard) return;
  if (!PlacePacket(s, file, ist, packet)) return;
  if (!ProcessPacket(s, ist_index, &packet)) {
    const std::string text = Format("Error while decoding stream #%d.%d (%s)", ist.file_index,
                                    ist.stream_index, KindName(ist.stream->codecpar->codec_type));
    if (s.settings.exit_on_error) Fail(text);
    if (s.Verbose() >= 0) s.Log(llVerbose, text);
  }
}

void WriteTrailers(TranscoderState& s) {
  const size_t outputs = s.join_mode ? 1 : s.registered_outputs.size();
  for (size_t i = 0; i < outputs; ++i) {
    OutputFile& file = *s.registered_outputs[i];
    if (!file.header_written) continue;
    file.header_written = false;
    const int written = av_write_trailer(file.context.get());
    if (written < 0)
      Fail(Format("Could not write trailer for output file #%d", static_cast<int>(i)));
  }
}

void FlushInputs(TranscoderState& s) {
  for (size_t i = 0; i < s.input_streams.size(); ++i) {
    InputStream& ist = s.input_streams[i];
    if (ist.decoding_needed && !ist.flushed) ProcessPacket(s, static_cast<int>(i), nullptr);
  }
}

void Loop(TranscoderState& s) {
  PacketPtr packet(av_packet_alloc());
  if (!packet) Fail("av_mallocz fail");
  while (!s.stop_requested) {
    s.callouts->BeforePacket();
    bool any_no_packet = false;
    const int file_index = ChooseInput(s, any_no_packet);
    if (file_index < 0) {
      if (s.join_mode || !any_no_packet) break;
      for (InputFile& file : s.input_files) file.no_packet = false;
      av_usleep(10000);
      continue;
    }
    if (FileSizeLimitReached(s)) break;
    InputFile& file = s.input_files[static_cast<size_t>(file_index)];
    const int read = av_read_frame(file.context.get(), packet.get());
    if (read == AVERROR(EAGAIN)) {
      file.no_packet = true;
      continue;
    }
    if (read < 0) {
      if (!InputEnded(s, file_index)) break;
      continue;
    }
    HandlePacket(s, file_index, *packet);
    av_packet_unref(packet.get());
    s.last_file_index = file_index;
    if (av_gettime_relative() - s.last_report > s.progress_interval) ReportProgress(s, false);
  }
}

}  // namespace

void RunTranscodeLoop(TranscoderState& s) {
  s.decoded_frame.reset(av_frame_alloc());
  s.filtered_frame.reset(av_frame_alloc());
  s.audio_frame.reset(av_frame_alloc());
  s.encoded_packet.reset(av_packet_alloc());
  if (!s.decoded_frame || !s.filtered_frame || !s.audio_frame || !s.encoded_packet)
    Fail("av_mallocz fail");
  s.transcode_start = av_gettime_relative();
  s.last_report = s.transcode_start;
  try {
    Loop(s);
    FlushInputs(s);
  } catch (...) {
    // What was converted stays playable: the files get their trailers before the failure
    // ends the task.
    try {
      WriteTrailers(s);
    } catch (const std::exception& trailer_failure) {
      s.Log(llError, trailer_failure.what());
    }
    throw;
  }
  WriteTrailers(s);
  ReportProgress(s, true);
}

}  // namespace korvex::engine
