// One block of decoded samples to an audio output stream: kept in step with the input's time
// by dropping, padding with silence or stretching, resampled or converted to the encoder's
// format, and encoded a whole encoder frame at a time.
#include <climits>
#include <cmath>
#include <cstdint>  // before the libraries' headers, which need its constant macros

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/samplefmt.h>
}

#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

bool FixedFrameSize(const AVCodecContext* encoder) {
  return encoder->frame_size > 1 &&
         !(encoder->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
}

// The library takes the layouts as changeable, though it only reads them.
AVChannelLayout* Layout(const AVChannelLayout& layout) {
  return const_cast<AVChannelLayout*>(&layout);
}

void MakeResampler(OutputStream& ost, const AVFrame& samples) {
  const AVCodecContext* encoder = ost.encoder;
  SwrContext* context = nullptr;
  const auto in_format = static_cast<AVSampleFormat>(samples.format);
  const int made = swr_alloc_set_opts2(&context, Layout(encoder->ch_layout), encoder->sample_fmt,
                                       encoder->sample_rate, Layout(samples.ch_layout), in_format,
                                       samples.sample_rate, 0, nullptr);
  ost.resampler.reset(context);
  if (made >= 0) {
    av_opt_set_int(context, "filter_size", 16, 0);
    av_opt_set_int(context, "phase_shift", 10, 0);
    av_opt_set_int(context, "linear_interp", 0, 0);
    av_opt_set_double(context, "cutoff", 0.8, 0);
  }
  if (made < 0 || swr_init(context) < 0) {
    ost.resampler.reset();
    Fail(Format("Can not resample %d channels @ %d Hz to %d channels @ %d Hz",
                samples.ch_layout.nb_channels, samples.sample_rate, encoder->ch_layout.nb_channels,
                encoder->sample_rate));
  }
}

void MakeConverter(OutputStream& ost, const AVFrame& samples) {
  const AVCodecContext* encoder = ost.encoder;
  const auto in_format = static_cast<AVSampleFormat>(samples.format);
  if (ost.converter && ost.converter_in == in_format && ost.converter_out == encoder->sample_fmt)
    return;
  SwrContext* context = nullptr;
  const int made = swr_alloc_set_opts2(&context, Layout(encoder->ch_layout), encoder->sample_fmt,
                                       samples.sample_rate, Layout(samples.ch_layout), in_format,
                                       samples.sample_rate, 0, nullptr);
  ost.converter.reset(context);
  if (made < 0 || swr_init(context) < 0) {
    ost.converter.reset();
    Fail(Format("Cannot convert %s sample format to %s sample format",
                av_get_sample_fmt_name(in_format), av_get_sample_fmt_name(encoder->sample_fmt)));
  }
  ost.converter_in = in_format;
  ost.converter_out = encoder->sample_fmt;
}

// Samples owned for one conversion step.
struct SampleBuffer {
  uint8_t** data = nullptr;
  int capacity = 0;
  SampleBuffer() = default;
  SampleBuffer(const SampleBuffer&) = delete;
  SampleBuffer& operator=(const SampleBuffer&) = delete;
  ~SampleBuffer() {
    if (data) av_freep(&data[0]);
    av_freep(&data);
  }
  void Allocate(int channels, int samples, AVSampleFormat format) {
    if (av_samples_alloc_array_and_samples(&data, nullptr, channels, samples, format, 0) < 0)
      Fail("Out of memory in do_audio_out");
    capacity = samples;
  }
};

// Converts `count` input samples (null data: silence) and appends the result to the FIFO.
bool ConvertInto(TranscoderState& s, OutputStream& ost, SwrContext* context,
                 const uint8_t* const* data, int count) {
  const AVCodecContext* encoder = ost.encoder;
  const int64_t out_samples = swr_get_out_samples(context, count);
  if (out_samples < 0) return false;
  if (out_samples * 2 + 10000 > INT_MAX) Fail("Buffer sizes too large in do_audio_out");
  SampleBuffer output;
  output.Allocate(encoder->ch_layout.nb_channels, static_cast<int>(out_samples) + 16,
                  encoder->sample_fmt);
  const int converted =
      swr_convert(context, output.data, output.capacity, const_cast<const uint8_t**>(data), count);
  if (converted < 0) {
    if (s.settings.exit_on_error) Fail("av_audio_convert() failed");
    s.Log(llError, "av_audio_convert() failed");
    return false;
  }
  if (converted > 0 && av_audio_fifo_write(ost.fifo.get(), reinterpret_cast<void**>(output.data),
                                           converted) < converted)
    Fail("av_fifo_realloc2() failed");
  return true;
}

// Appends samples to the FIFO through the resampler or converter, or as they are.
bool Append(TranscoderState& s, OutputStream& ost, const uint8_t* const* data, int count) {
  SwrContext* context = ost.resampler ? ost.resampler.get() : ost.converter.get();
  if (context) return ConvertInto(s, ost, context, data, count);
  if (count > 0 &&
      av_audio_fifo_write(ost.fifo.get(),
                          const_cast<void**>(reinterpret_cast<const void* const*>(data)),
                          count) < count)
    Fail("av_fifo_realloc2() failed");
  return true;
}

bool AppendSilence(TranscoderState& s, OutputStream& ost, const AVFrame& samples, int count) {
  SampleBuffer silence;
  const auto format = static_cast<AVSampleFormat>(samples.format);
  silence.Allocate(samples.ch_layout.nb_channels, count, format);
  av_samples_set_silence(silence.data, 0, count, samples.ch_layout.nb_channels, format);
  return Append(s, ost, silence.data, count);
}

void EncodeFromFifo(TranscoderState& s, OutputStream& ost, int count) {
  AVCodecContext* encoder = ost.encoder;
  AVFrame* frame = s.audio_frame.get();
  av_frame_unref(frame);
  frame->nb_samples = count;
  frame->format = encoder->sample_fmt;
  frame->sample_rate = encoder->sample_rate;
  if (av_channel_layout_copy(&frame->ch_layout, &encoder->ch_layout) < 0 ||
      av_frame_get_buffer(frame, 0) < 0)
    Fail("Out of memory in do_audio_out");
  const int read = av_audio_fifo_read(ost.fifo.get(), reinterpret_cast<void**>(frame->data), count);
  if (read < count)
    av_samples_set_silence(frame->extended_data, read, count - read, encoder->ch_layout.nb_channels,
                           encoder->sample_fmt);
  frame->pts = ost.sync_opts;
  if (avcodec_send_frame(encoder, frame) < 0) Fail("Audio encoding failed");
  DrainEncoder(s, ost, nullptr);
  ost.sync_opts += count;
}

// Input samples to drop (negative) or silence to add (positive) before the block, from the
// distance between the input's time and what the output has been given.
int SyncCorrection(TranscoderState& s, OutputStream& ost, const AVFrame& samples) {
  const TranscoderSettings& settings = s.settings;
  InputStream& sync = s.input_streams[static_cast<size_t>(ost.sync_index)];
  InputStream& ist = s.input_streams[static_cast<size_t>(ost.source_index)];
  const AVCodecContext* encoder = ost.encoder;
  const double sync_ipts = static_cast<double>(sync.pts - settings.start_time) / AV_TIME_BASE;
  const int64_t buffered = av_audio_fifo_size(ost.fifo.get());
  if (settings.audio_sync_method == 0) {
    ost.sync_opts = std::llrint(sync_ipts * encoder->sample_rate) - buffered;
    return 0;
  }
  const double delta = sync_ipts * encoder->sample_rate - static_cast<double>(ost.sync_opts) -
                       static_cast<double>(buffered);
  const int input_delta = static_cast<int>(delta * samples.sample_rate / encoder->sample_rate);
  if (std::fabs(delta) <= 50) return 0;
  if (ist.is_start || std::fabs(delta) > settings.audio_drift_threshold * encoder->sample_rate) {
    ist.is_start = false;
    if (input_delta < 0) {
      if (s.Verbose() > 2)
        s.Log(llVerbose, Format("discarding %d audio samples", static_cast<int>(-delta)));
      return std::max(input_delta, -samples.nb_samples);
    }
    if (s.Verbose() > 2)
      s.Log(llVerbose, Format("adding %d audio samples of silence", static_cast<int>(delta)));
    return input_delta;
  }
  if (settings.audio_sync_method > 1 && ost.resampler) {
    const int compensation = std::clamp(static_cast<int>(delta), -settings.audio_sync_method,
                                        settings.audio_sync_method);
    if (s.Verbose() > 2)
      s.Log(llVerbose, Format("compensating audio timestamp drift:%f compensation:%d in:%d", delta,
                              compensation, encoder->sample_rate));
    swr_set_compensation(ost.resampler.get(), compensation, encoder->sample_rate);
  }
  return 0;
}

}  // namespace

void WriteAudio(TranscoderState& s, OutputStream& ost, AVFrame& samples) {
  const AVCodecContext* encoder = ost.encoder;
  const int in_channels = samples.ch_layout.nb_channels;
  if (in_channels != encoder->ch_layout.nb_channels) ost.audio_resample = true;
  if (ost.audio_resample && !ost.resampler) MakeResampler(ost, samples);
  if (!ost.audio_resample && samples.format != encoder->sample_fmt) MakeConverter(ost, samples);
  if (!ost.audio_resample && samples.format == encoder->sample_fmt) ost.converter.reset();

  const int correction = SyncCorrection(s, ost, samples);
  int skip = 0;
  if (correction < 0) {
    skip = -correction;
    if (skip >= samples.nb_samples) return;
  } else if (correction > 0 && !AppendSilence(s, ost, samples, correction)) {
    return;
  }
  const auto format = static_cast<AVSampleFormat>(samples.format);
  const bool planar = av_sample_fmt_is_planar(format);
  const int planes = planar ? in_channels : 1;
  const int offset = skip * av_get_bytes_per_sample(format) * (planar ? 1 : in_channels);
  std::vector<const uint8_t*> data(static_cast<size_t>(planes));
  for (int p = 0; p < planes; ++p) data[static_cast<size_t>(p)] = samples.extended_data[p] + offset;
  if (!Append(s, ost, data.data(), samples.nb_samples - skip)) return;

  if (FixedFrameSize(encoder)) {
    while (av_audio_fifo_size(ost.fifo.get()) >= encoder->frame_size)
      EncodeFromFifo(s, ost, encoder->frame_size);
  } else if (av_audio_fifo_size(ost.fifo.get()) > 0) {
    EncodeFromFifo(s, ost, av_audio_fifo_size(ost.fifo.get()));
  }
}

void FlushOutputStream(TranscoderState& s, OutputStream& ost) {
  if (ost.encoder_flushed || !ost.encoder_opened) return;
  AVCodecContext* encoder = ost.encoder;
  if (encoder->codec_type == AVMEDIA_TYPE_AUDIO) {
    if (encoder->frame_size <= 1) return;
    // What is left is padded with silence to a whole encoder frame.
    if (ost.resampler) {
      // The resampler holds a few samples of its filter delay.
      ConvertInto(s, ost, ost.resampler.get(), nullptr, 0);
    }
    const int left = av_audio_fifo_size(ost.fifo.get());
    if (left > 0) EncodeFromFifo(s, ost, FixedFrameSize(encoder) ? encoder->frame_size : left);
  } else if (encoder->codec_type != AVMEDIA_TYPE_VIDEO) {
    return;
  }
  ost.encoder_flushed = true;
  if (avcodec_send_frame(encoder, nullptr) < 0)
    Fail(encoder->codec_type == AVMEDIA_TYPE_AUDIO ? "Audio encoding failed"
                                                   : "Video encoding failed");
  DrainEncoder(s, ost, nullptr);
}

}  // namespace korvex::engine
