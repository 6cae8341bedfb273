// Creating an output: the muxer, the stream decisions against the inputs, the streams with
// their encoders and coding parameters, the pending tags, the file, and join mode.
#include <cmath>
#include <cstdint>  // before the libraries' headers, which need its constant macros
#include <ctime>
#include <string>

extern "C" {
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include "engine/engine_exception.h"
#include "engine/engine_texts.h"
#include "engine/file_names.h"
#include "engine/transcoder/custom_transcoder.h"
#include "engine/transcoder/encoder_lookup.h"
#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

int Strictness(const TranscoderState& s, AVMediaType type) {
  return s.options.CodingDefaults(type).strict_std_compliance;
}

// The encoder named for the kind, else the one the muxer would pick for the file name.
const AVCodec* ChooseEncoder(TranscoderState& s, OutputFile& file, AVMediaType type) {
  const StreamKindSettings& kind = *s.settings.Kind(type);
  if (!kind.codec_name.empty())
    return FindCodecByName(kind.codec_name, type, true, Strictness(s, type));
  const AVCodecID id =
      av_guess_codec(file.context->oformat, nullptr, file.name.c_str(), nullptr, type);
  return avcodec_find_encoder(id);
}

AVCodecID GuessedCodecId(const OutputFile& file, AVMediaType type) {
  return av_guess_codec(file.context->oformat, nullptr, file.name.c_str(), nullptr, type);
}

AVRational AspectAsSampleRatio(double aspect, int width, int height) {
  if (width > 0 && height > 0) return av_d2q(aspect * height / width, 255);
  return av_d2q(aspect * 3 / 4, 255);
}

// "start,end,q/start,end,q...": q > 0 a fixed quantiser, q <= 0 a quality factor -q / 100.
void ParseRateOverride(const std::string& text, AVCodecContext* encoder) {
  if (text.empty()) return;
  std::vector<RcOverride> entries;
  size_t position = 0;
  while (position <= text.size()) {
    const size_t end = std::min(text.find('/', position), text.size());
    const std::string entry = text.substr(position, end - position);
    int start = 0, stop = 0, q = 0;
    char rest = 0;
    if (std::sscanf(entry.c_str(), "%d,%d,%d%c", &start, &stop, &q, &rest) != 3)
      Fail("error parsing rc_override");
    RcOverride o{};
    o.start_frame = start;
    o.end_frame = stop;
    if (q > 0) {
      o.qscale = q;
      o.quality_factor = 1.0f;
    } else {
      o.qscale = 0;
      o.quality_factor = -q / 100.0f;
    }
    entries.push_back(o);
    position = end + 1;
  }
  encoder->rc_override =
      static_cast<RcOverride*>(av_malloc_array(entries.size(), sizeof(RcOverride)));
  if (!encoder->rc_override) Fail("error parsing rc_override");
  std::copy(entries.begin(), entries.end(), encoder->rc_override);
  encoder->rc_override_count = static_cast<int>(entries.size());
}

uint16_t* CopyMatrix(const QuantMatrix& matrix) {
  auto* copy = static_cast<uint16_t*>(av_malloc(sizeof(uint16_t) * 64));
  if (copy) std::copy(matrix.begin(), matrix.end(), copy);
  return copy;
}

AVPixelFormat SupportedPixelFormat(const AVCodec* codec, AVPixelFormat wanted, int strict) {
  if (!codec || !codec->pix_fmts) return wanted;
  for (const AVPixelFormat* f = codec->pix_fmts; *f != AV_PIX_FMT_NONE; ++f) {
    if (*f == wanted) return wanted;
  }
  // The MJPEG encoder also writes plain 4:2:0 and 4:2:2 unless standards are enforced.
  if (codec->id == AV_CODEC_ID_MJPEG && strict <= FF_COMPLIANCE_NORMAL &&
      (wanted == AV_PIX_FMT_YUV420P || wanted == AV_PIX_FMT_YUV422P))
    return wanted;
  return codec->pix_fmts[0];
}

void SetVideoCoding(TranscoderState& s, AVCodecContext* encoder, const AVCodec* codec) {
  TranscoderSettings& settings = s.settings;
  s.options.ApplyCodecOptions(encoder, AVMEDIA_TYPE_VIDEO);
  AVRational rate = settings.frame_rate.num > 0 && settings.frame_rate.den > 0 ? settings.frame_rate
                                                                               : AVRational{25, 1};
  if (codec && codec->supported_framerates && !settings.force_fps)
    rate = codec->supported_framerates[av_find_nearest_q_idx(rate, codec->supported_framerates)];
  encoder->framerate = rate;
  encoder->time_base = av_inv_q(rate);
  encoder->width = settings.frame_width;
  encoder->height = settings.frame_height;
  if (settings.frame_aspect_ratio > 0 && settings.frame_width > 0 && settings.frame_height > 0)
    encoder->sample_aspect_ratio = AspectAsSampleRatio(settings.frame_aspect_ratio,
                                                       settings.frame_width, settings.frame_height);
  encoder->pix_fmt =
      SupportedPixelFormat(codec, settings.frame_pix_fmt, Strictness(s, AVMEDIA_TYPE_VIDEO));
  if (settings.intra_only) encoder->gop_size = 0;
  if (settings.video_qscale != 0 || settings.same_quality) {
    encoder->flags |= AV_CODEC_FLAG_QSCALE;
    encoder->global_quality = static_cast<int>(FF_QP2LAMBDA * settings.video_qscale);
  }
  if (settings.intra_matrix) encoder->intra_matrix = CopyMatrix(*settings.intra_matrix);
  if (settings.inter_matrix) encoder->inter_matrix = CopyMatrix(*settings.inter_matrix);
  ParseRateOverride(settings.rc_override, encoder);
  if (encoder->rc_initial_buffer_occupancy == 0)
    encoder->rc_initial_buffer_occupancy = encoder->rc_buffer_size * 3 / 4;
  encoder->intra_dc_precision = settings.intra_dc_precision - 8;
  if (settings.psnr) encoder->flags |= AV_CODEC_FLAG_PSNR;
  if (settings.do_pass == 1) encoder->flags |= AV_CODEC_FLAG_PASS1;
  if (settings.do_pass == 2) encoder->flags |= AV_CODEC_FLAG_PASS2;
}

int NearestSampleRate(const AVCodec* codec, int wanted) {
  if (!codec || !codec->supported_samplerates) return wanted;
  int best = codec->supported_samplerates[0];
  for (const int* rate = codec->supported_samplerates; *rate != 0; ++rate) {
    if (std::abs(*rate - wanted) < std::abs(best - wanted)) best = *rate;
  }
  return best;
}

AVSampleFormat SupportedSampleFormat(const AVCodec* codec, AVSampleFormat wanted) {
  if (!codec || !codec->sample_fmts)
    return wanted == AV_SAMPLE_FMT_NONE ? AV_SAMPLE_FMT_S16 : wanted;
  for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f) {
    if (*f == wanted) return wanted;
  }
  return codec->sample_fmts[0];
}

void SetAudioCoding(TranscoderState& s, AVCodecContext* encoder, const AVCodec* codec) {
  TranscoderSettings& settings = s.settings;
  s.options.ApplyCodecOptions(encoder, AVMEDIA_TYPE_AUDIO);
  if (settings.audio_qscale > -99999) {
    encoder->flags |= AV_CODEC_FLAG_QSCALE;
    encoder->global_quality = static_cast<int>(FF_QP2LAMBDA * settings.audio_qscale);
  }
  av_channel_layout_uninit(&encoder->ch_layout);
  av_channel_layout_default(&encoder->ch_layout, settings.audio_channels);
  encoder->sample_fmt = SupportedSampleFormat(codec, settings.audio_sample_fmt);
  const int rate = NearestSampleRate(codec, settings.audio_sample_rate);
  if (rate != settings.audio_sample_rate)
    s.Log(llWarning,
          Format("Requested sampling rate unsupported using closest supported (%d)", rate));
  encoder->sample_rate = rate;
  encoder->time_base = AVRational{1, rate};
}

void AddStream(TranscoderState& s, OutputFile& file, AVMediaType type) {
  TranscoderSettings& settings = s.settings;
  StreamKindSettings& kind = *settings.Kind(type);
  AVFormatContext* muxer = file.context.get();
  const int index = static_cast<int>(muxer->nb_streams);
  AVStream* stream = avformat_new_stream(muxer, nullptr);
  if (!stream) Fail("Could not alloc stream");
  if (index < kMaxStreams && settings.stream_ids[static_cast<size_t>(index)] != 0)
    stream->id = settings.stream_ids[static_cast<size_t>(index)];

  StreamDraft draft;
  draft.stream_copy = kind.stream_copy;
  if (!draft.stream_copy && type != AVMEDIA_TYPE_SUBTITLE)
    draft.codec = ChooseEncoder(s, file, type);
  else if (!draft.stream_copy)
    draft.codec = FindCodecByName(kind.codec_name, type, true, Strictness(s, type));
  draft.encoder.reset(avcodec_alloc_context3(draft.codec));
  if (!draft.encoder) Fail("Could not alloc stream");
  AVCodecContext* encoder = draft.encoder.get();
  encoder->codec_type = type;
  if (!draft.codec && !draft.stream_copy) encoder->codec_id = GuessedCodecId(file, type);
  draft.bitstream_filters = std::move(kind.bitstream_filters);
  kind.bitstream_filters.clear();
  encoder->thread_count = settings.thread_count;
  if (kind.codec_tag != 0) encoder->codec_tag = kind.codec_tag;

  const bool wants_global_header = (muxer->oformat->flags & AVFMT_GLOBALHEADER) != 0;
  if (type == AVMEDIA_TYPE_VIDEO) {
    if ((settings.video_global_header & 1) ||
        (settings.video_global_header == 0 && wants_global_header))
      encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (settings.video_global_header & 2) encoder->flags2 |= AV_CODEC_FLAG2_LOCAL_HEADER;
  } else if (type == AVMEDIA_TYPE_AUDIO && wants_global_header) {
    encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }

  if (draft.stream_copy) {
    if (type == AVMEDIA_TYPE_VIDEO) {
      stream->sample_aspect_ratio = AspectAsSampleRatio(
          settings.frame_aspect_ratio, settings.frame_width, settings.frame_height);
    } else if (type == AVMEDIA_TYPE_AUDIO) {
      av_channel_layout_default(&encoder->ch_layout, settings.audio_channels);
      encoder->sample_rate = settings.audio_sample_rate;
    }
  } else if (type == AVMEDIA_TYPE_VIDEO) {
    SetVideoCoding(s, encoder, draft.codec);
  } else if (type == AVMEDIA_TYPE_AUDIO) {
    SetAudioCoding(s, encoder, draft.codec);
  } else {
    s.options.ApplyCodecOptions(encoder, AVMEDIA_TYPE_SUBTITLE);
    encoder->time_base = AV_TIME_BASE_Q;  // subtitles are timed in microseconds
  }
  if (!kind.language.empty()) av_dict_set(&stream->metadata, "language", kind.language.c_str(), 0);
  file.drafts.push_back(std::move(draft));
  settings.ConsumeStreamSettings(type);
}

// Video, audio and subtitles are written when the muxer or the options ask for them and, with
// inputs, when an input (the first one only when joining) has a stream of that kind.
std::array<bool, 3> DecideStreams(TranscoderState& s, const AVOutputFormat* format, bool join) {
  const TranscoderSettings& settings = s.settings;
  std::array<bool, 3> wanted = {
      format->video_codec != AV_CODEC_ID_NONE || !settings.video.codec_name.empty() ||
          settings.video.stream_copy,
      format->audio_codec != AV_CODEC_ID_NONE || !settings.audio.codec_name.empty() ||
          settings.audio.stream_copy,
      format->subtitle_codec != AV_CODEC_ID_NONE || !settings.subtitle.codec_name.empty() ||
          settings.subtitle.stream_copy,
  };
  if (!s.input_files.empty()) {
    std::array<bool, 3> present{};
    const size_t files = join ? 1 : s.input_files.size();
    for (size_t f = 0; f < files; ++f) {
      const AVFormatContext* input = s.input_files[f].context.get();
      for (unsigned i = 0; i < input->nb_streams; ++i) {
        switch (input->streams[i]->codecpar->codec_type) {
          case AVMEDIA_TYPE_VIDEO:
            present[0] = true;
            break;
          case AVMEDIA_TYPE_AUDIO:
            present[1] = true;
            break;
          case AVMEDIA_TYPE_SUBTITLE:
            present[2] = true;
            break;
          case AVMEDIA_TYPE_DATA:
          case AVMEDIA_TYPE_ATTACHMENT:
            break;
          default:
            Fail("check_audio_video_sub_inputs fail: invalid codec_type of input file");
        }
      }
    }
    for (size_t k = 0; k < 3; ++k) wanted[k] = wanted[k] && present[k];
  }
  wanted[0] = wanted[0] && !settings.video.disabled;
  wanted[1] = wanted[1] && !settings.audio.disabled;
  wanted[2] = wanted[2] && !settings.subtitle.disabled;
  return wanted;
}

void AddDecidedStream(TranscoderState& s, OutputFile& file, AVMediaType type, const char* what) {
  try {
    AddStream(s, file, type);
  } catch (const EngineException& error) {
    Fail(Format("%s fail: %s", what, error.what()));
  }
}

void SetRecordingTimestamp(AVFormatContext* muxer, int64_t seconds) {
  if (seconds == 0) return;
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&time, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S.000000Z", &utc);
  av_dict_set(&muxer->metadata, "creation_time", text, 0);
}

int OpenOutputFile(TranscoderState& s, std::string_view file_name, bool join) {
  TranscoderSettings& settings = s.settings;
  if (s.join_mode) Fail("Cannot join more than one output file.");
  auto file = std::make_unique<OutputFile>();
  file->name = std::string(file_name);
  file->context.reset(avformat_alloc_context());
  if (!file->context) Fail("avformat_alloc_context failed");
  AVFormatContext* muxer = file->context.get();
  const std::string library_name = FileNameToLibrary(file_name);
  const AVOutputFormat* format = nullptr;
  if (!settings.forced_format.empty()) {
    format = av_guess_format(settings.forced_format.c_str(), nullptr, nullptr);
    if (!format)
      Fail(Format("Requested output format '%s' is not a suitable output format",
                  settings.forced_format.c_str()));
  } else {
    format = av_guess_format(nullptr, file->name.c_str(), nullptr);
    if (!format)
      Fail(Format("Unable to find a suitable output format for '%s'", file->name.c_str()));
  }
  settings.forced_format.clear();
  muxer->oformat = format;
  muxer->url = av_strdup(library_name.c_str());

  const std::array<bool, 3> streams = DecideStreams(s, format, join);
  if (streams[0]) AddDecidedStream(s, *file, AVMEDIA_TYPE_VIDEO, "new_video_stream");
  if (streams[1]) AddDecidedStream(s, *file, AVMEDIA_TYPE_AUDIO, "new_audio_stream");
  if (streams[2]) AddDecidedStream(s, *file, AVMEDIA_TYPE_SUBTITLE, "new_subtitle_stream");

  SetRecordingTimestamp(muxer, settings.recording_timestamp);
  for (auto entry = settings.pending_metadata.rbegin(); entry != settings.pending_metadata.rend();
       ++entry)
    av_dict_set(&muxer->metadata, entry->first.c_str(), entry->second.c_str(), 0);

  if ((format->flags & AVFMT_NEEDNUMBER) && !av_filename_number_test(file->name.c_str()))
    Fail(ErrorText(file_name, AVERROR(EDOM)));
  if (!(format->flags & AVFMT_NOFILE)) {
    const int error = OpenFileIo(library_name, FileAccess::kWrite, file->io);
    if (error < 0) Fail(ErrorText(file_name, error));
    muxer->pb = file->io.get();
    muxer->flags |= AVFMT_FLAG_CUSTOM_IO;
  }
  muxer->audio_preload = static_cast<int>(settings.mux_preload * AV_TIME_BASE);
  muxer->max_delay = static_cast<int>(settings.mux_max_delay * AV_TIME_BASE);
  if (settings.loop_output >= 0)
    av_opt_set_int(muxer, "loop", settings.loop_output, AV_OPT_SEARCH_CHILDREN);
  muxer->flags |= AVFMT_FLAG_NONBLOCK;
  s.options.ApplyFormatOptions(muxer);
  settings.ConsumeOutputSettings();

  const int index = static_cast<int>(s.registered_outputs.size());
  OutputFile* registered = file.get();
  s.output_files.push_back(std::move(file));
  s.registered_outputs.push_back(registered);
  if (join && s.input_files.size() > 1) {
    s.join_mode = true;
    int64_t total = 0;
    bool known = false;
    for (const InputFile& input : s.input_files) {
      if (input.context->duration == AV_NOPTS_VALUE) continue;
      total += input.context->duration;
      known = true;
    }
    s.total_duration = known ? total : -1;
    for (size_t i = 1; i < s.input_files.size(); ++i) s.registered_outputs.push_back(registered);
  }
  return index;
}

}  // namespace

int TCustomTranscoder::OpenOutput(std::string_view file_name, bool join) {
  try {
    return OpenOutputFile(*state_, file_name, join);
  } catch (const EngineException& error) {
    state_->error_text = error.what();
    return -1;
  }
}

void TCustomTranscoder::AddStreamToLastOutput(AVMediaType type) {
  TranscoderState& s = *state_;
  if (s.output_files.empty()) Fail("At least one output file must be specified");
  AddStream(s, *s.output_files.back(), type);
}

}  // namespace korvex::engine
