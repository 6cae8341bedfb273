// Preparing each output stream for copying or encoding: parameters taken from the input,
// the refusals of copies whose frames would have to be decoded, the sample FIFO, crop bands
// and scaler, the 2-pass log, the bitstream filters and the opened encoder.
#include <climits>
#include <fstream>
#include <iterator>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
}

#include "engine/codec_lock.h"
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

InputStream& SourceOf(TranscoderState& s, const OutputStream& ost) {
  return s.input_streams[static_cast<size_t>(ost.source_index)];
}

// The input's frame duration when its stream counts in finer units than a millisecond.
AVRational CopyTimeBase(const InputStream& ist) {
  const AVStream* stream = ist.stream;
  AVRational codec_base{0, 1};
  if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && stream->r_frame_rate.num > 0)
    codec_base = av_inv_q(stream->r_frame_rate);
  else if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO && stream->codecpar->sample_rate > 0)
    codec_base = AVRational{stream->codecpar->frame_size > 0 ? stream->codecpar->frame_size : 1,
                            stream->codecpar->sample_rate};
  if (codec_base.num > 0 && av_q2d(codec_base) > av_q2d(stream->time_base) &&
      av_q2d(stream->time_base) < 0.001)
    return codec_base;
  return stream->time_base;
}

void PrepareCopy(TranscoderState& s, OutputStream& ost, InputStream& ist) {
  const AVCodecParameters* in = ist.stream->codecpar;
  AVCodecParameters* out = ost.stream->codecpar;
  const AVMediaType kind = in->codec_type;
  if (kind == AVMEDIA_TYPE_VIDEO) {
    if (s.callouts->HookPresent())
      Fail("-vcodec copy and CustomHook are incompatible (frames are not decoded)");
    if (s.hook_modules.Active())
      Fail("-vcodec copy and -vhook are incompatible (frames are not decoded)");
    if (s.callouts->PreviewOn())
      Fail("-vcodec copy and PostHooks are incompatible (frames are not decoded)");
  } else if (kind == AVMEDIA_TYPE_AUDIO) {
    if (s.settings.audio_volume != 256)
      Fail("-acodec copy and -vol are incompatible (frames are not decoded)");
  } else if (kind != AVMEDIA_TYPE_SUBTITLE) {
    Fail("invalid codec_type of output stream");
  }
  if (static_cast<uint64_t>(in->extradata_size) + AV_INPUT_BUFFER_PADDING_SIZE > INT_MAX)
    Fail("icodec.extradata_size is invalid (too large)");
  const AVRational sample_aspect = ost.stream->sample_aspect_ratio;
  if (avcodec_parameters_copy(out, in) < 0) Fail("av_mallocz fail");
  // The muxer takes the input's tag only when its own table agrees with it, or has no table.
  const AVCodecTag* const* tags =
      s.registered_outputs[static_cast<size_t>(ost.file_index)]->context->oformat->codec_tag;
  if (tags && av_codec_get_id(tags, in->codec_tag) != in->codec_id) out->codec_tag = 0;
  ost.stream->time_base = CopyTimeBase(ist);
  ost.packet_time_base = ist.stream->time_base;
  if (kind == AVMEDIA_TYPE_VIDEO) {
    if (sample_aspect.num > 0) out->sample_aspect_ratio = sample_aspect;
    ost.stream->sample_aspect_ratio = out->sample_aspect_ratio;
    ost.stream->avg_frame_rate = ist.stream->avg_frame_rate;
    ost.stream->r_frame_rate = ist.stream->r_frame_rate;
  } else if (kind == AVMEDIA_TYPE_AUDIO) {
    if ((in->codec_id == AV_CODEC_ID_MP3 && in->block_align == 1) ||
        in->codec_id == AV_CODEC_ID_AC3)
      out->block_align = 0;
  }
}

void PrepareAudioEncoding(TranscoderState& s, OutputStream& ost, InputStream& ist) {
  AVCodecContext* encoder = ost.encoder;
  const AVCodecParameters* in = ist.stream->codecpar;
  if (in->ch_layout.nb_channels == encoder->ch_layout.nb_channels &&
      in->ch_layout.order != AV_CHANNEL_ORDER_UNSPEC)
    av_channel_layout_copy(&encoder->ch_layout, &in->ch_layout);
  ost.fifo.reset(av_audio_fifo_alloc(encoder->sample_fmt, encoder->ch_layout.nb_channels, 1024));
  if (!ost.fifo) Fail("av_fifo_alloc fail");
  ost.audio_resample = in->sample_rate != encoder->sample_rate || s.settings.audio_sync_method > 1;
}

void PrepareVideoEncoding(TranscoderState& s, OutputStream& ost, InputStream& ist) {
  const TranscoderSettings& settings = s.settings;
  AVCodecContext* encoder = ost.encoder;
  const AVCodecParameters* in = ist.stream->codecpar;
  if (encoder->pix_fmt == AV_PIX_FMT_NONE)
    Fail("Video pixel format is unknown, stream cannot be encoded");
  ost.top_band = ost.original_top_band = settings.crop_top;
  ost.bottom_band = ost.original_bottom_band = settings.crop_bottom;
  ost.left_band = ost.original_left_band = settings.crop_left;
  ost.right_band = ost.original_right_band = settings.crop_right;
  ost.video_crop = ost.top_band || ost.bottom_band || ost.left_band || ost.right_band;
  const int cropped_width = in->width - ost.left_band - ost.right_band;
  const int cropped_height = in->height - ost.top_band - ost.bottom_band;
  const auto in_format = static_cast<AVPixelFormat>(in->format);
  ost.video_resample = encoder->width != cropped_width || encoder->height != cropped_height ||
                       encoder->pix_fmt != in_format;
  const bool graph = !settings.filters.empty();
  if (ost.video_resample && !graph) {
    ost.scaled_picture.reset(av_frame_alloc());
    if (!ost.scaled_picture) Fail("Cannot allocate temp picture, check pix fmt");
    ost.scaled_picture->format = encoder->pix_fmt;
    ost.scaled_picture->width = encoder->width;
    ost.scaled_picture->height = encoder->height;
    if (av_frame_get_buffer(ost.scaled_picture.get(), 0) < 0)
      Fail("Cannot allocate temp picture, check pix fmt");
    ost.scaler.reset(sws_getContext(cropped_width, cropped_height, in_format, encoder->width,
                                    encoder->height, encoder->pix_fmt, settings.sws_flags, nullptr,
                                    nullptr, nullptr));
    if (!ost.scaler) Fail("Cannot get resampling context");
    s.options.ApplyScalerOptions(ost.scaler.get());
  }
  if (!graph) {
    ost.original_width = in->width;
    ost.original_height = in->height;
  }
  ost.resample_width = cropped_width;
  ost.resample_height = cropped_height;
  ost.resample_pix_fmt = in_format;
}

}  // namespace

void PrepareOutputStream(TranscoderState& s, OutputStream& ost) {
  InputStream& ist = SourceOf(s, ost);
  if (ost.stream_copy) {
    PrepareCopy(s, ost, ist);
    return;
  }
  ost.encoding_needed = true;
  switch (ist.stream->codecpar->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
      PrepareAudioEncoding(s, ost, ist);
      break;
    case AVMEDIA_TYPE_VIDEO:
      PrepareVideoEncoding(s, ost, ist);
      break;
    case AVMEDIA_TYPE_SUBTITLE:
      break;
    default:
      Fail("invalid codec_type of output stream");
  }
  ist.decoding_needed = true;
  if (ist.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !s.settings.filters.empty())
    BuildVideoFilterGraph(s, ist, ost);
}

void OpenPassLogs(TranscoderState& s, OutputStream& ost, int overall_index) {
  const int pass = s.settings.do_pass;
  if (!ost.encoding_needed || (pass != 1 && pass != 2)) return;
  const std::string prefix =
      s.settings.pass_log_filename.empty() ? "ffmpeg2pass" : s.settings.pass_log_filename;
  std::string name = prefix + "-" + std::to_string(overall_index) + ".log";
  if (name.size() > 1023) name.resize(1023);
  if (pass == 1) {
    ost.pass_log.reset(std::fopen(name.c_str(), "wb"));
    if (!ost.pass_log) Fail(Format("Cannot write log file %s for pass-1 encoding", name.c_str()));
    return;
  }
  std::ifstream log(name, std::ios::binary);
  if (!log)
    Fail(Format("Cannot read file: Error reading log file \"%s\" for pass-2 encoding",
                name.c_str()));
  ost.pass_stats.assign(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>());
  if (log.bad())
    Fail(
        Format("Could not allocate file buffer: Error reading log file \"%s\" for pass-2 "
               "encoding",
               name.c_str()));
  // The encoder reads the statistics from this text, which lives as long as the stream.
  ost.encoder->stats_in = ost.pass_stats.data();
}

void OpenEncoder(TranscoderState& s, OutputStream& ost) {
  AVCodecContext* encoder = ost.encoder;
  const AVMediaType kind = encoder->codec_type;
  const AVCodec* codec = ost.codec ? ost.codec : avcodec_find_encoder(encoder->codec_id);
  if (!codec)
    Fail(Format("Encoder (codec id %d) not found for output stream #%d.%d (%s)",
                static_cast<int>(encoder->codec_id), ost.file_index, ost.stream_index,
                KindName(kind)));
  int opened = 0;
  {
    CodecLock lock;
    opened = avcodec_open2(encoder, codec, nullptr);
  }
  if (opened < 0)
    Fail(
        Format("Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect "
               "parameters such as bit_rate, rate, width or height. Please check error log "
               "message to find out more detail information.",
               ost.file_index, ost.stream_index, KindName(kind)));
  ost.encoder_opened = true;
  ost.codec = codec;
  if (avcodec_parameters_from_context(ost.stream->codecpar, encoder) < 0) Fail("av_mallocz fail");
  ost.stream->time_base = encoder->time_base;
  ost.packet_time_base = encoder->time_base;
  if (kind == AVMEDIA_TYPE_VIDEO) {
    ost.stream->sample_aspect_ratio = encoder->sample_aspect_ratio;
    ost.stream->avg_frame_rate = encoder->framerate;
  }
  s.extra_size += encoder->extradata_size;
}

}  // namespace korvex::engine
