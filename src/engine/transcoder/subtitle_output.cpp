// A decoded subtitle to a subtitle output stream: its display window moved to start at its
// own time, encoded, and for DVB written a second time, empty, to end the display.
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

constexpr size_t kSubtitleBufferSize = 1 << 20;

}  // namespace

void WriteSubtitle(TranscoderState& s, OutputStream& ost, AVSubtitle& subtitle,
                   int64_t packet_pts_us) {
  if (packet_pts_us == kNoTimestamp) {
    if (s.settings.exit_on_error) Fail("Subtitle packets must have a pts");
    s.Log(llError, "Subtitle packets must have a pts");
    return;
  }
  if (s.subtitle_buffer.empty()) s.subtitle_buffer.resize(kSubtitleBufferSize);
  AVCodecContext* encoder = ost.encoder;
  const bool dvb = encoder->codec_id == AV_CODEC_ID_DVB_SUBTITLE;
  const int copies = dvb ? 2 : 1;
  const uint32_t start_display = subtitle.start_display_time;
  const uint32_t end_display = subtitle.end_display_time;
  const unsigned rects = subtitle.num_rects;
  for (int i = 0; i < copies; ++i) {
    const int64_t time = packet_pts_us + int64_t{start_display} * 1000;
    subtitle.pts = time;
    subtitle.start_display_time = 0;
    subtitle.end_display_time = end_display - start_display;
    if (i == 1) subtitle.num_rects = 0;
    const int size = avcodec_encode_subtitle(encoder, s.subtitle_buffer.data(),
                                             static_cast<int>(s.subtitle_buffer.size()), &subtitle);
    if (size < 0) {
      subtitle.num_rects = rects;
      Fail("Subtitle encoding failed");
    }
    PacketPtr packet(av_packet_alloc());
    if (!packet || av_new_packet(packet.get(), size) < 0) Fail("Subtitle encoding failed");
    std::copy_n(s.subtitle_buffer.data(), size, packet->data);
    int64_t packet_time = time - s.settings.start_time;
    if (dvb) packet_time += int64_t{i == 0 ? start_display : end_display} * 1000;
    packet->pts = av_rescale_q(packet_time, AV_TIME_BASE_Q, ost.packet_time_base);
    packet->dts = packet->pts;
    WritePacket(s, ost, *packet);
  }
  subtitle.num_rects = rects;
  subtitle.start_display_time = start_display;
  subtitle.end_display_time = end_display;
}

}  // namespace korvex::engine
