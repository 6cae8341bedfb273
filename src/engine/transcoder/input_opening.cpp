// Opening an input: the demuxer with the open parameters of the current settings, the stream
// information, the start-time seek, the per-stream settings and the total duration.
#include <cstdint>  // before the libraries' headers, which need its constant macros
#include <string>

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include "engine/codec_lock.h"
#include "engine/engine_exception.h"
#include "engine/engine_texts.h"
#include "engine/transcoder/custom_transcoder.h"
#include "engine/transcoder/encoder_lookup.h"
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

void SetNumber(AVDictionary** dictionary, const char* key, int64_t value) {
  av_dict_set_int(dictionary, key, value, 0);
}

// The demuxer parameters the options gave: they matter to raw and capture inputs.
DictionaryPtr OpenParameters(const TranscoderSettings& s, const UserOptions& options) {
  DictionaryPtr parameters = options.FormatOptions();
  AVDictionary* d = parameters.release();
  SetNumber(&d, "sample_rate", s.audio_sample_rate);
  SetNumber(&d, "channels", s.audio_channels);
  if (s.frame_rate.num > 0 && s.frame_rate.den > 0)
    av_dict_set(&d, "framerate", Format("%d/%d", s.frame_rate.num, s.frame_rate.den).c_str(), 0);
  if (s.frame_width > 0 && s.frame_height > 0)
    av_dict_set(&d, "video_size", Format("%dx%d", s.frame_width, s.frame_height).c_str(), 0);
  if (s.frame_pix_fmt != AV_PIX_FMT_NONE)
    av_dict_set(&d, "pixel_format", av_get_pix_fmt_name(s.frame_pix_fmt), 0);
  if (s.video_channel != 0) SetNumber(&d, "channel", s.video_channel);
  if (!s.video_standard.empty()) av_dict_set(&d, "standard", s.video_standard.c_str(), 0);
  if (s.loop_input) SetNumber(&d, "loop", 1);
  return DictionaryPtr(d);
}

void KeepProgram(AVFormatContext* context, int program_id) {
  for (unsigned i = 0; i < context->nb_streams; ++i) context->streams[i]->discard = AVDISCARD_ALL;
  bool found = false;
  for (unsigned p = 0; p < context->nb_programs; ++p) {
    const AVProgram* program = context->programs[p];
    if (program->id != program_id) continue;
    found = true;
    for (unsigned k = 0; k < program->nb_stream_indexes; ++k)
      context->streams[program->stream_index[k]]->discard = AVDISCARD_DEFAULT;
  }
  if (!found) Fail("Specified program id not found");
}

struct ForcedDecoders {
  const AVCodec* video = nullptr;
  const AVCodec* audio = nullptr;
  const AVCodec* subtitle = nullptr;
};

ForcedDecoders FindForcedDecoders(TranscoderState& s) {
  auto find = [&](StreamKindSettings& kind, AVMediaType type) {
    return FindCodecByName(kind.codec_name, type, false,
                           s.options.CodingDefaults(type).strict_std_compliance);
  };
  return {find(s.settings.video, AVMEDIA_TYPE_VIDEO), find(s.settings.audio, AVMEDIA_TYPE_AUDIO),
          find(s.settings.subtitle, AVMEDIA_TYPE_SUBTITLE)};
}

void NoteVideoStream(TranscoderState& s, AVStream* stream, AVCodecContext* decoder,
                     int stream_index) {
  TranscoderSettings& settings = s.settings;
  const AVCodecParameters* par = stream->codecpar;
  s.options.ApplyCodecOptions(decoder, AVMEDIA_TYPE_VIDEO);
  int width = par->width, height = par->height;
  const int lowres = s.options.CodingDefaults(AVMEDIA_TYPE_VIDEO).lowres;
  for (int step = 0; step < lowres; ++step) width /= 2, height /= 2;
  settings.frame_width = width;
  settings.frame_height = height;
  AVRational sar =
      stream->sample_aspect_ratio.num ? stream->sample_aspect_ratio : par->sample_aspect_ratio;
  if (width <= 0 || height <= 0)
    settings.frame_aspect_ratio = 4.0 / 3.0;
  else if (sar.num > 0 && sar.den > 0)
    settings.frame_aspect_ratio = av_q2d(sar) * width / height;
  else
    settings.frame_aspect_ratio = static_cast<double>(width) / height;
  settings.frame_pix_fmt = par->format == AV_PIX_FMT_NONE ? static_cast<AVPixelFormat>(0)
                                                          : static_cast<AVPixelFormat>(par->format);
  const AVRational real = stream->r_frame_rate;
  const AVRational coded = stream->avg_frame_rate;
  if (s.Verbose() >= 0 && real.num > 0 && coded.num > 0 && av_cmp_q(real, coded) != 0) {
    s.Log(llInfo, Format("Seems stream %d codec frame rate differs from container frame rate: "
                         "%2.2f (%d/%d) -> %2.2f (%d/%d)",
                         stream_index, av_q2d(coded), coded.num, coded.den, av_q2d(real), real.num,
                         real.den));
  }
  settings.frame_rate = real;
  stream->discard =
      settings.video.disabled ? AVDISCARD_ALL : static_cast<AVDiscard>(settings.video_discard);
}

void NoteAudioStream(TranscoderState& s, AVStream* stream, AVCodecContext* decoder) {
  s.options.ApplyCodecOptions(decoder, AVMEDIA_TYPE_AUDIO);
  const AVCodecParameters* par = stream->codecpar;
  s.settings.audio_channels = par->ch_layout.nb_channels;
  s.settings.audio_sample_rate = par->sample_rate;
  s.settings.audio_sample_fmt = static_cast<AVSampleFormat>(par->format);
  if (s.settings.audio.disabled) stream->discard = AVDISCARD_ALL;
}

// A decoder context for every stream, filled from the stream's parameters; opened later, when
// an output needs the stream decoded.
CodecContextPtr MakeDecoder(TranscoderState& s, AVStream* stream, const ForcedDecoders& forced) {
  const AVCodecParameters* par = stream->codecpar;
  const AVCodec* codec = par->codec_type == AVMEDIA_TYPE_VIDEO      ? forced.video
                         : par->codec_type == AVMEDIA_TYPE_AUDIO    ? forced.audio
                         : par->codec_type == AVMEDIA_TYPE_SUBTITLE ? forced.subtitle
                                                                    : nullptr;
  if (!codec) codec = avcodec_find_decoder(par->codec_id);
  CodecContextPtr decoder(avcodec_alloc_context3(codec));
  if (!decoder || avcodec_parameters_to_context(decoder.get(), par) < 0)
    Fail("avcodec_alloc_context failed");
  decoder->pkt_timebase = stream->time_base;
  decoder->thread_count = s.settings.thread_count;
  return decoder;
}

void OpenInputFile(TranscoderState& s, std::string_view file_name) {
  TranscoderSettings& settings = s.settings;
  if (static_cast<int>(s.input_files.size()) >= kMaxFiles)
    Fail(Format("max input files %d reached", kMaxFiles));
  const AVInputFormat* format = nullptr;
  if (!settings.forced_format.empty()) {
    format = av_find_input_format(settings.forced_format.c_str());
    if (!format) Fail(Format("Unknown input format: \"%s\"", settings.forced_format.c_str()));
    settings.forced_format.clear();
  }
  const ForcedDecoders forced = FindForcedDecoders(s);
  DictionaryPtr parameters = OpenParameters(settings, s.options);
  AVDictionary* open_options = parameters.release();
  InputFile file;
  const int opened = OpenInputContext(file_name, format, &open_options, file.context);
  av_dict_free(&open_options);
  if (opened < 0) Fail(ErrorText(file_name, opened));
  AVFormatContext* context = file.context.get();
  // Capture devices must not block the loop: it polls every input in turn.
  context->flags |= AVFMT_FLAG_NONBLOCK;

  if (settings.program_id) {
    KeepProgram(context, *settings.program_id);
    settings.program_id.reset();
    s.program_selected = true;
  }
  {
    CodecLock lock;
    if (avformat_find_stream_info(context, nullptr) < 0) {
      const std::string text = std::string(file_name) + ": could not find codec parameters";
      if (s.Verbose() >= 0) s.Log(llVerbose, text);
      Fail(text);
    }
  }

  int64_t start = settings.start_time;
  if (context->start_time != AV_NOPTS_VALUE) start += context->start_time;
  if (settings.start_time != 0 && av_seek_frame(context, -1, start, AVSEEK_FLAG_BACKWARD) < 0 &&
      s.Verbose() > 0) {
    s.Log(llVerbose, Format("%s: could not seek to position %0.3f", std::string(file_name).c_str(),
                            static_cast<double>(start) / AV_TIME_BASE));
  }
  settings.start_time = 0;

  std::vector<InputStream> streams;
  for (unsigned i = 0; i < context->nb_streams; ++i) {
    AVStream* stream = context->streams[i];
    InputStream ist;
    ist.file_index = static_cast<int>(s.input_files.size());
    ist.stream_index = static_cast<int>(i);
    ist.stream = stream;
    ist.decoder = MakeDecoder(s, stream, forced);
    switch (stream->codecpar->codec_type) {
      case AVMEDIA_TYPE_VIDEO:
        NoteVideoStream(s, stream, ist.decoder.get(), static_cast<int>(i));
        break;
      case AVMEDIA_TYPE_AUDIO:
        NoteAudioStream(s, stream, ist.decoder.get());
        break;
      case AVMEDIA_TYPE_SUBTITLE:
        if (settings.subtitle.disabled) stream->discard = AVDISCARD_ALL;
        break;
      case AVMEDIA_TYPE_DATA:
      case AVMEDIA_TYPE_ATTACHMENT:
        break;
      default:
        Fail("invalid codec_type");
    }
    streams.push_back(std::move(ist));
  }

  if (context->duration != AV_NOPTS_VALUE && context->duration > s.total_duration)
    s.total_duration = context->duration;
  file.ts_offset = settings.copy_ts ? settings.input_ts_offset : settings.input_ts_offset - start;
  file.ts_scale = settings.input_ts_scale;
  file.first_stream = static_cast<int>(s.input_streams.size());
  if (s.Verbose() >= 0)
    av_dump_format(context, static_cast<int>(s.input_files.size()), std::string(file_name).c_str(),
                   0);
  for (InputStream& ist : streams) s.input_streams.push_back(std::move(ist));
  s.input_files.push_back(std::move(file));
  settings.ConsumeInputSettings();
}

}  // namespace

bool TCustomTranscoder::OpenInput(std::string_view file_name) {
  try {
    OpenInputFile(*state_, file_name);
    return true;
  } catch (const EngineException& error) {
    state_->error_text = error.what();
    return false;
  }
}

}  // namespace korvex::engine
