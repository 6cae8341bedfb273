// Coded packets to the muxer: received from the encoder with their statistics, passed through
// the stream's bitstream filters and written interleaved.
#include <cmath>
#include <cstring>

#include "engine/engine_texts.h"
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

// The encoder's quantiser and per-plane errors, from the statistics it attaches to a packet.
void NoteQuality(OutputStream& ost, const AVPacket& packet, int& picture_type) {
  size_t size = 0;
  const uint8_t* stats = av_packet_get_side_data(&packet, AV_PKT_DATA_QUALITY_STATS, &size);
  picture_type = AV_PICTURE_TYPE_NONE;
  if (!stats || size < 5) return;
  int32_t quality = 0;
  std::memcpy(&quality, stats, sizeof quality);
  ost.last_quality = static_cast<float>(quality) / FF_QP2LAMBDA;
  picture_type = stats[4];
  const int errors = size >= 6 ? stats[5] : 0;
  for (int i = 0; i < errors && i < 3 && size >= 8 + 8 * static_cast<size_t>(i + 1); ++i) {
    int64_t error = 0;
    std::memcpy(&error, stats + 8 + 8 * i, sizeof error);
    ost.psnr_error[static_cast<size_t>(i)] += static_cast<double>(error);
  }
  const int q = static_cast<int>(std::lrint(ost.last_quality));
  if (q >= 0 && q < 32) ++ost.qp_histogram[static_cast<size_t>(q)];
}

void WriteToMuxer(TranscoderState& s, OutputStream& ost, AVPacket& packet, AVRational base) {
  av_packet_rescale_ts(&packet, base, ost.stream->time_base);
  packet.stream_index = ost.stream_index;
  const int64_t stamp = packet.pts != AV_NOPTS_VALUE ? packet.pts : packet.dts;
  if (stamp != AV_NOPTS_VALUE)
    ost.written_time_us =
        av_rescale_q(stamp + packet.duration, ost.stream->time_base, AV_TIME_BASE_Q);
  AVFormatContext* muxer = s.registered_outputs[static_cast<size_t>(ost.file_index)]->context.get();
  const int written = av_interleaved_write_frame(muxer, &packet);
  if (written < 0) Fail(ErrorText("av_interleaved_write_frame()", written));
}

void FilterFailure(TranscoderState& s, const OutputStream& ost, const AVBSFContext* filter,
                   int error) {
  const std::string text =
      Format("%s failed for stream %d, codec %s", filter->filter->name, ost.stream_index,
             ost.stream_copy ? "copy" : avcodec_get_name(ost.stream->codecpar->codec_id)) +
      ErrorDescription(error);
  if (s.settings.exit_on_error) Fail(text);
  s.Log(llError, text);
}

// Passes the packet through filters [first, end) and writes what comes out.
void Filter(TranscoderState& s, OutputStream& ost, size_t first, AVPacket& packet,
            AVRational base) {
  if (first == ost.bitstream_filters.size()) {
    WriteToMuxer(s, ost, packet, base);
    return;
  }
  AVBSFContext* filter = ost.bitstream_filters[first].get();
  const int sent = av_bsf_send_packet(filter, &packet);
  if (sent < 0) {
    av_packet_unref(&packet);
    FilterFailure(s, ost, filter, sent);
    return;
  }
  PacketPtr out(av_packet_alloc());
  if (!out) Fail("av_mallocz fail");
  for (;;) {
    const int received = av_bsf_receive_packet(filter, out.get());
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
    if (received < 0) {
      FilterFailure(s, ost, filter, received);
      break;
    }
    Filter(s, ost, first + 1, *out, filter->time_base_out);
    av_packet_unref(out.get());
  }
}

}  // namespace

void WritePacket(TranscoderState& s, OutputStream& ost, AVPacket& packet) {
  Filter(s, ost, 0, packet, ost.packet_time_base);
}

int DrainEncoder(TranscoderState& s, OutputStream& ost, const AVFrame* previewed) {
  AVCodecContext* encoder = ost.encoder;
  const bool video = encoder->codec_type == AVMEDIA_TYPE_VIDEO;
  AVPacket* packet = s.encoded_packet.get();
  int written = 0;
  for (;;) {
    const int received = avcodec_receive_packet(encoder, packet);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
    if (received < 0) Fail(video ? "Video encoding failed" : "Audio encoding failed");
    int picture_type = AV_PICTURE_TYPE_NONE;
    if (video) {
      NoteQuality(ost, *packet, picture_type);
      s.video_size += packet->size;
      if (previewed && s.callouts->PreviewOn())
        s.callouts->PreviewFrame(*previewed, s.hooked_frames,
                                 av_rescale_q(packet->pts, encoder->time_base, AV_TIME_BASE_Q));
      if (!s.settings.vstats_filename.empty()) WriteVideoStats(s, ost, packet->size, picture_type);
    } else {
      s.audio_size += packet->size;
    }
    if (ost.pass_log && encoder->stats_out) std::fputs(encoder->stats_out, ost.pass_log.get());
    WritePacket(s, ost, *packet);
    av_packet_unref(packet);
    ++written;
  }
  return written;
}

}  // namespace korvex::engine
