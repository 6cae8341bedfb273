// One packet of an input stream: decoded (or, without a packet, flushed) into pictures,
// samples or subtitles that go to every output stream fed by the stream, or copied as it is.
#include <algorithm>
#include <cmath>
#include <cstdint>  // before the libraries' headers, which need its constant macros

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/time.h>
}

#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

template <typename Sample, typename Wide>
void ScaleSamples(uint8_t* data, size_t count, int volume, Wide low, Wide high) {
  auto* samples = reinterpret_cast<Sample*>(data);
  for (size_t i = 0; i < count; ++i) {
    const Wide scaled = (static_cast<Wide>(samples[i]) * volume + 128) >> 8;
    samples[i] = static_cast<Sample>(std::clamp(scaled, low, high));
  }
}

template <typename Sample>
void ScaleFloatSamples(uint8_t* data, size_t count, int volume) {
  auto* samples = reinterpret_cast<Sample*>(data);
  const Sample factor = static_cast<Sample>(volume) / 256;
  for (size_t i = 0; i < count; ++i)
    samples[i] = std::clamp(samples[i] * factor, Sample(-1), Sample(1));
}

// The volume setting scales every sample: 256 is unchanged, 512 doubles; results beyond full
// scale are clipped. 16-bit samples s become (s × volume + 128) >> 8.
void ApplyVolume(AVFrame& frame, int volume) {
  if (av_frame_make_writable(&frame) < 0) return;
  const auto format = static_cast<AVSampleFormat>(frame.format);
  const bool planar = av_sample_fmt_is_planar(format);
  const int channels = frame.ch_layout.nb_channels;
  const int planes = planar ? channels : 1;
  const size_t count = static_cast<size_t>(frame.nb_samples) * (planar ? 1 : channels);
  for (int p = 0; p < planes; ++p) {
    uint8_t* data = frame.extended_data[p];
    switch (av_get_packed_sample_fmt(format)) {
      case AV_SAMPLE_FMT_S16:
        ScaleSamples<int16_t, int32_t>(data, count, volume, -32768, 32767);
        break;
      case AV_SAMPLE_FMT_S32:
        ScaleSamples<int32_t, int64_t>(data, count, volume, INT32_MIN, INT32_MAX);
        break;
      case AV_SAMPLE_FMT_FLT:
        ScaleFloatSamples<float>(data, count, volume);
        break;
      case AV_SAMPLE_FMT_DBL:
        ScaleFloatSamples<double>(data, count, volume);
        break;
      case AV_SAMPLE_FMT_U8: {
        for (size_t i = 0; i < count; ++i) {
          const int centred = data[i] - 128;
          data[i] = static_cast<uint8_t>(std::clamp(((centred * volume + 128) >> 8) + 128, 0, 255));
        }
        break;
      }
      default:
        break;
    }
  }
}

void EmulateRate(const InputStream& ist) {
  const int64_t ahead = ist.pts - (av_gettime_relative() - ist.rate_emulation_start);
  if (ahead > 1000) av_usleep(static_cast<unsigned>(ahead));
}

bool AfterStart(const TranscoderState& s, const InputStream& ist) {
  return s.settings.start_time == 0 || ist.pts >= s.settings.start_time;
}

// Hands the decoded picture to the hook or the frame-hook modules before it is filtered.
void PreprocessPicture(TranscoderState& s, InputStream& ist, AVFrame& frame) {
  ++s.hooked_frames;
  if (s.callouts->PreprocessVideoFrame(frame, s.hooked_frames, ist.pts)) return;
  if (!s.hook_modules.Active()) return;
  if (av_frame_make_writable(&frame) < 0) {
    s.Log(llError, "hook buf malloc error.");
    return;
  }
  s.hook_modules.Process(frame.data, frame.linesize, static_cast<AVPixelFormat>(frame.format),
                         frame.width, frame.height, ist.pts);
}

void ToEncodedOutputs(TranscoderState& s, int ist_index, AVFrame& frame, bool filtered) {
  InputStream& ist = s.input_streams[static_cast<size_t>(ist_index)];
  if (!AfterStart(s, ist)) return;
  for (OutputStream& ost : s.output_streams) {
    if (ost.source_index != ist_index || !ost.encoding_needed || !ost.progress_active) continue;
    if (frame.format < 0) continue;
    if (ist.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
      WriteVideo(s, ost, frame, filtered);
    else
      WriteAudio(s, ost, frame);
  }
}

// Pictures leave the graph timed in microseconds; the loop keeps timing them by the input.
void DrainFilterGraph(TranscoderState& s, int ist_index) {
  InputStream& ist = s.input_streams[static_cast<size_t>(ist_index)];
  AVFrame* filtered = s.filtered_frame.get();
  while (av_buffersink_get_frame(ist.filters.sink, filtered) >= 0) {
    ToEncodedOutputs(s, ist_index, *filtered, true);
    av_frame_unref(filtered);
  }
}

void HandleVideoFrame(TranscoderState& s, int ist_index, AVFrame& frame) {
  InputStream& ist = s.input_streams[static_cast<size_t>(ist_index)];
  PreprocessPicture(s, ist, frame);
  if (!ist.filters.graph) {
    ToEncodedOutputs(s, ist_index, frame, false);
    return;
  }
  frame.pts = ist.pts;
  if (av_buffersrc_add_frame_flags(ist.filters.source, &frame, AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
    Fail("Error opening filters!");
  DrainFilterGraph(s, ist_index);
}

AVRational FrameDuration(const AVStream* stream) {
  if (stream->r_frame_rate.num > 0) return av_inv_q(stream->r_frame_rate);
  if (stream->avg_frame_rate.num > 0) return av_inv_q(stream->avg_frame_rate);
  return AVRational{1, 25};
}

// Frames carry their own times when the decoder knows them; otherwise they follow on.
void TimeDecodedFrame(InputStream& ist, const AVFrame& frame) {
  const AVStream* stream = ist.stream;
  const int64_t stamp = frame.best_effort_timestamp;
  ist.pts = stamp != AV_NOPTS_VALUE ? av_rescale_q(stamp, stream->time_base, AV_TIME_BASE_Q)
                                    : ist.next_pts;
  if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
    if (frame.sample_rate > 0)
      ist.next_pts = ist.pts + av_rescale(frame.nb_samples, AV_TIME_BASE, frame.sample_rate);
    return;
  }
  int64_t duration = frame.pkt_duration > 0
                         ? av_rescale_q(frame.pkt_duration, stream->time_base, AV_TIME_BASE_Q)
                         : av_rescale_q(1, FrameDuration(stream), AV_TIME_BASE_Q);
  duration += duration * frame.repeat_pict / 2;
  ist.next_pts = ist.pts + duration;
}

void NoteFrameInPacket(TranscoderState& s, InputStream& ist, int frames) {
  if (frames < 2) return;
  if ((s.Verbose() > 0 && !ist.multiple_frames_logged) || s.Verbose() > 1) {
    s.Log(llError, Format("Multiple frames in a packet from stream %d", ist.stream_index));
    ist.multiple_frames_logged = true;
  }
}

bool DecodeFrames(TranscoderState& s, int ist_index, const AVPacket* packet) {
  InputStream& ist = s.input_streams[static_cast<size_t>(ist_index)];
  AVCodecContext* decoder = ist.decoder.get();
  const int sent = avcodec_send_packet(decoder, packet);
  if (sent < 0 && sent != AVERROR_EOF && sent != AVERROR(EAGAIN)) return false;
  AVFrame* frame = s.decoded_frame.get();
  int frames = 0;
  for (;;) {
    const int received = avcodec_receive_frame(decoder, frame);
    if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) break;
    if (received < 0) return false;
    NoteFrameInPacket(s, ist, ++frames);
    TimeDecodedFrame(ist, *frame);
    if (decoder->codec_type == AVMEDIA_TYPE_VIDEO) {
      HandleVideoFrame(s, ist_index, *frame);
    } else {
      if (s.settings.audio_volume != 256) ApplyVolume(*frame, s.settings.audio_volume);
      if (s.settings.rate_emulation) EmulateRate(ist);
      ToEncodedOutputs(s, ist_index, *frame, false);
    }
    av_frame_unref(frame);
    if (decoder->codec_type == AVMEDIA_TYPE_VIDEO && s.settings.rate_emulation) EmulateRate(ist);
  }
  if (!packet && ist.filters.graph) {
    // The end of the input drains what the filters still hold.
    if (av_buffersrc_add_frame_flags(ist.filters.source, nullptr, 0) >= 0)
      DrainFilterGraph(s, ist_index);
  }
  return true;
}

bool DecodeSubtitle(TranscoderState& s, int ist_index, const AVPacket* packet) {
  InputStream& ist = s.input_streams[static_cast<size_t>(ist_index)];
  AVCodecContext* decoder = ist.decoder.get();
  PacketPtr empty;
  if (!packet) {
    if (!(decoder->codec->capabilities & AV_CODEC_CAP_DELAY)) return true;
    empty.reset(av_packet_alloc());
    packet = empty.get();
  }
  AVSubtitle subtitle{};
  int got = 0;
  if (avcodec_decode_subtitle2(decoder, &subtitle, &got, const_cast<AVPacket*>(packet)) < 0)
    return false;
  if (!got) return true;
  int64_t pts = kNoTimestamp;
  if (subtitle.pts != AV_NOPTS_VALUE)
    pts = subtitle.pts;
  else if (packet->pts != AV_NOPTS_VALUE)
    pts = av_rescale_q(packet->pts, ist.stream->time_base, AV_TIME_BASE_Q);
  if (AfterStart(s, ist)) {
    for (OutputStream& ost : s.output_streams) {
      if (ost.source_index == ist_index && ost.encoding_needed)
        WriteSubtitle(s, ost, subtitle, pts);
    }
  }
  avsubtitle_free(&subtitle);
  return true;
}

// Copied packets keep their data; their times move to the output minus the start time.
void CopyPacket(TranscoderState& s, int ist_index, const AVPacket& packet) {
  InputStream& ist = s.input_streams[static_cast<size_t>(ist_index)];
  if (!AfterStart(s, ist)) return;
  const AVRational base = ist.stream->time_base;
  const int64_t start = av_rescale_q(s.settings.start_time, AV_TIME_BASE_Q, base);
  for (OutputStream& ost : s.output_streams) {
    if (ost.source_index != ist_index || !ost.stream_copy || !ost.progress_active) continue;
    if (ost.frame_number == 0 && !(packet.flags & AV_PKT_FLAG_KEY) &&
        !s.settings.copy_initial_nonkeyframes)
      continue;
    PacketPtr copy(av_packet_clone(&packet));
    if (!copy) Fail("av_mallocz fail");
    if (ist.stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
      s.audio_size += copy->size;
    else if (ist.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO)
      s.video_size += copy->size;
    if (copy->pts != AV_NOPTS_VALUE) copy->pts -= start;
    copy->dts =
        (packet.dts == AV_NOPTS_VALUE ? av_rescale_q(ist.pts, AV_TIME_BASE_Q, base) : packet.dts) -
        start;
    WritePacket(s, ost, *copy);
    ++ost.frame_number;
  }
}

void AdvanceCopiedStream(InputStream& ist, const AVPacket& packet) {
  const AVCodecParameters* par = ist.stream->codecpar;
  ist.pts = ist.next_pts;
  if (par->codec_type == AVMEDIA_TYPE_AUDIO && par->sample_rate > 0 && par->frame_size > 0) {
    ist.next_pts += av_rescale(par->frame_size, AV_TIME_BASE, par->sample_rate);
  } else if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
    ist.next_pts += packet.duration > 0
                        ? av_rescale_q(packet.duration, ist.stream->time_base, AV_TIME_BASE_Q)
                        : av_rescale_q(1, FrameDuration(ist.stream), AV_TIME_BASE_Q);
  }
}

}  // namespace

bool ProcessPacket(TranscoderState& s, int ist_index, const AVPacket* packet, bool flush_encoders) {
  InputStream& ist = s.input_streams[static_cast<size_t>(ist_index)];
  if (ist.next_pts == kNoTimestamp) ist.next_pts = ist.pts;
  if (packet && packet->dts != AV_NOPTS_VALUE)
    ist.next_pts = ist.pts = av_rescale_q(packet->dts, ist.stream->time_base, AV_TIME_BASE_Q);

  if (ist.decoding_needed) {
    const AVMediaType kind = ist.decoder->codec_type;
    const bool decoded = kind == AVMEDIA_TYPE_SUBTITLE ? DecodeSubtitle(s, ist_index, packet)
                                                       : DecodeFrames(s, ist_index, packet);
    if (!decoded) return false;
  } else if (packet) {
    AdvanceCopiedStream(ist, *packet);
  }
  if (packet) {
    if (!ist.decoding_needed) CopyPacket(s, ist_index, *packet);
    return true;
  }
  ist.flushed = true;
  if (!flush_encoders) return true;
  for (OutputStream& ost : s.output_streams) {
    if (ost.source_index == ist_index && ost.encoding_needed) FlushOutputStream(s, ost);
  }
  return true;
}

int64_t OutputTime(const OutputStream& ost) {
  if (ost.encoding_needed && ost.encoder)
    return av_rescale_q(ost.sync_opts, ost.encoder->time_base, AV_TIME_BASE_Q);
  return ost.written_time_us;
}

}  // namespace korvex::engine
