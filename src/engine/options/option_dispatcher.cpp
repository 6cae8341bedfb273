#include "engine/options/option_dispatcher.h"

extern "C" {
#include <libavcodec/bsf.h>
#include <libavutil/parseutils.h>
#include <libavutil/pixdesc.h>
}

#include <ctime>
#include <string>
#include <unordered_map>

#include "engine/engine_exception.h"
#include "engine/frame_hooks/frame_hook_modules.h"
#include "engine/options/option_presets.h"
#include "engine/options/option_values.h"
#include "engine/options/target_presets.h"
#include "engine/options/transcoder_files.h"
#include "engine/options/transcoder_settings.h"
#include "engine/options/user_options.h"
#include "platform/app_paths.h"

namespace korvex::engine {

// One option call as its handler sees it.
struct OptionCall {
  OptionDispatcher& dispatcher;
  TranscoderSettings& settings;
  UserOptions& options;
  FrameHookModules& hooks;
  std::string_view name;
  std::string_view value;
};

namespace {

using Handler = void (*)(OptionCall&);

std::string Text(std::string_view view) { return std::string(view); }

// The kind an option name's first letter stands for: "v", "a" or "s".
AVMediaType KindOfLetter(char letter) {
  switch (letter) {
    case 'v':
      return AVMEDIA_TYPE_VIDEO;
    case 'a':
      return AVMEDIA_TYPE_AUDIO;
    default:
      return AVMEDIA_TYPE_SUBTITLE;
  }
}

StreamKindSettings& KindOf(OptionCall& call) {
  return *call.settings.Kind(KindOfLetter(call.name[0]));
}

void ForceFormat(OptionCall& call) {
  if (call.value == "pgmyuv") {
    call.settings.pgmyuv_input = true;
    call.settings.forced_format = "image2";
    call.dispatcher.Log(llInfo, "pgmyuv format is deprecated, use image2");
  } else {
    call.settings.forced_format = Text(call.value);
  }
}

void AddStreamMap(OptionCall& call) {
  if (call.settings.stream_maps.size() >= static_cast<size_t>(kMaxStreamMaps))
    throw EngineException("Too many stream maps (at most " + std::to_string(kMaxStreamMaps) + ")");
  call.settings.stream_maps.push_back(ParseStreamMap(call.value));
}

void AddMetaDataMap(OptionCall& call) {
  if (call.settings.meta_data_maps.size() >= static_cast<size_t>(kMaxMetaDataMaps)) {
    throw EngineException("Too many metadata maps (at most " + std::to_string(kMaxMetaDataMaps) +
                          ")");
  }
  call.settings.meta_data_maps.push_back(ParseMetaDataMap(call.value));
}

void RecordingTime(OptionCall& call) {
  call.settings.recording_time = ParseDuration(call.name, call.value);
  call.settings.total_duration = call.settings.recording_time;
}

void StreamIndexOverflow() {
  throw EngineException("stream index over MAX_STREAMS(" + std::to_string(kMaxStreams) + ")");
}

void TimestampScale(OptionCall& call) {
  std::string_view index_text;
  std::string_view scale_text;
  SplitIndexValue(call.value, index_text, scale_text);
  const int index = ParseInteger(index_text);
  if (index < 0 || index >= kMaxStreams) StreamIndexOverflow();
  call.settings.input_ts_scale[index] = ParseReal(scale_text);
}

void AddMetadata(OptionCall& call) {
  const size_t equals = call.value.find('=');
  if (equals == std::string_view::npos) throw EngineException("Missing =");
  call.settings.pending_metadata.emplace_back(Text(call.value.substr(0, equals)),
                                              Text(call.value.substr(equals + 1)));
}

void MaxFrames(OptionCall& call) {
  // "vframes", "aframes", "dframes": video, audio, data in the table's order.
  const int slot = call.name[0] == 'v' ? 0 : call.name[0] == 'a' ? 1 : 2;
  call.settings.max_frames[slot] = ParseInteger(call.value);
}

void Target(OptionCall& call) {
  std::string_view target = call.value;
  std::string_view norm = "auto";
  for (std::string_view prefix : {"pal-", "ntsc-", "film-"}) {
    if (target.starts_with(prefix)) {
      norm = prefix.substr(0, prefix.size() - 1);
      target.remove_prefix(prefix.size());
      break;
    }
  }
  ApplyTarget(call.dispatcher, target, norm, "ntsc");
}

void BitRate(OptionCall& call) {
  call.options.Set(call.name, call.value);
  const AVMediaType type = call.name == "ab" ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO;
  if (call.options.CodingDefaults(type).bit_rate < 1000) {
    call.dispatcher.Log(llWarning,
                        "WARNING: The bitrate parameter is set too low. It takes bits/s as "
                        "argument, not kbits/s");
  }
}

void FrameRate(OptionCall& call) {
  if (av_parse_video_rate(&call.settings.frame_rate, Text(call.value).c_str()) < 0)
    throw EngineException("Incorrect frame rate");
}

void FrameSize(OptionCall& call) {
  if (av_parse_video_size(&call.settings.frame_width, &call.settings.frame_height,
                          Text(call.value).c_str()) < 0) {
    throw EngineException("Incorrect frame size");
  }
}

void AspectRatio(OptionCall& call) {
  const double aspect = ParseAspectRatio(call.value);
  if (aspect == 0) throw EngineException("Incorrect aspect ratio specification.");
  call.settings.frame_aspect_ratio = aspect;
}

void PixelFormat(OptionCall& call) {
  if (call.value == "list") {
    for (const AVPixFmtDescriptor* desc = av_pix_fmt_desc_next(nullptr); desc != nullptr;
         desc = av_pix_fmt_desc_next(desc)) {
      call.dispatcher.Log(llInfo, desc->name);
    }
    return;
  }
  const AVPixelFormat format = av_get_pix_fmt(Text(call.value).c_str());
  if (format == AV_PIX_FMT_NONE)
    throw EngineException("Unknown pixel format requested: " + Text(call.value));
  call.settings.frame_pix_fmt = format;
}

// A crop band is taken off the current frame size; the size must keep at least one pixel.
void CropBand(OptionCall& call) {
  const int band = ParseInteger(call.value);
  if (band <= 0) return;
  TranscoderSettings& s = call.settings;
  const bool vertical = call.name == "croptop" || call.name == "cropbottom";
  int& extent = vertical ? s.frame_height : s.frame_width;
  if (band >= extent) {
    throw EngineException(std::string(vertical ? "Vertical" : "Horizontal") +
                          " crop dimensions are outside the range of the original image.\n"
                          "Remember to crop first and scale second.");
  }
  call.dispatcher.Log(llWarning, "CropXXX is deprecated in favor of the crop avfilter");
  int& stored = call.name == "croptop"      ? s.crop_top
                : call.name == "cropbottom" ? s.crop_bottom
                : call.name == "cropleft"   ? s.crop_left
                                            : s.crop_right;
  stored = band;
  extent -= band;
}

void Padding(OptionCall&) { throw EngineException("Please use vfilters=pad"); }

void DisableKind(OptionCall& call) { KindOf(call).disabled = ParseFlag(call.value); }

void VideoQuantiser(OptionCall& call) {
  const double q = ParseReal(call.value);
  if (!(q > 0) || q > 255) throw EngineException("qscale must be > 0.0 and <= 255");
  call.settings.video_qscale = q;
}

void CodecName(OptionCall& call) {
  call.settings.SetCodecName(KindOfLetter(call.name[0]), call.value);
}

void Pass(OptionCall& call) {
  const int pass = ParseInteger(call.value);
  if (pass != 1 && pass != 2) throw EngineException("pass number can be only 1 or 2");
  call.settings.do_pass = pass;
}

void VideoStatistics(OptionCall& call) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char time_of_day[8];
  std::strftime(time_of_day, sizeof time_of_day, "%H%M%S", &local);
  call.settings.vstats_filename =
      platform::ExecutableFolder() + "/vstats_" + std::string(time_of_day) + ".log";
}

void VideoHook(OptionCall& call) { call.hooks.Add(call.value); }

void Matrix(OptionCall& call) {
  (call.name == "intra_matrix" ? call.settings.intra_matrix : call.settings.inter_matrix) =
      ParseMatrix(call.value);
}

void CodecTag(OptionCall& call) {
  static const std::unordered_map<char, std::string_view> kKindWord = {
      {'v', "video"}, {'a', "audio"}, {'s', "subtitle"}};
  if (!ParseCodecTag(call.value, KindOf(call).codec_tag))
    throw EngineException(Text(kKindWord.at(call.name[0])) + " tag parameter must be 4 chars");
}

void NewStream(OptionCall& call) {
  TranscoderFiles* files = call.dispatcher.Files();
  if (files == nullptr || files->OutputFileCount() == 0)
    throw EngineException("At least one output file must be specified");
  files->AddStreamToLastOutput(KindOfLetter(call.name[3]));
}

void Language(OptionCall& call) { KindOf(call).language = Text(call.value); }

void StreamId(OptionCall& call) {
  std::string_view index_text;
  std::string_view id_text;
  if (!SplitIndexValue(call.value, index_text, id_text)) {
    throw EngineException("Invalid value \"" + Text(call.value) + "\" for option \"" +
                          Text(call.name) + "\", required syntax is \"index:value\"");
  }
  const int index = ParseInteger(index_text);
  if (index < 0 || index >= kMaxStreams) StreamIndexOverflow();
  call.settings.stream_ids[index] = ParseInteger(id_text);
}

void AudioRate(OptionCall& call) {
  const int value = ParseInteger(call.value);
  if (value <= 0) return;
  (call.name == "ar" ? call.settings.audio_sample_rate : call.settings.audio_channels) = value;
}

void SampleFormat(OptionCall& call) {
  if (call.value == "list") {
    for (int i = 0; i < AV_SAMPLE_FMT_NB; ++i) {
      if (const char* name = av_get_sample_fmt_name(static_cast<AVSampleFormat>(i)))
        call.dispatcher.Log(llInfo, name);
    }
    return;
  }
  const AVSampleFormat format = av_get_sample_fmt(Text(call.value).c_str());
  if (format == AV_SAMPLE_FMT_NONE)
    throw EngineException("Unknown sample format requested: " + Text(call.value));
  call.settings.audio_sample_fmt = format;
}

void BitstreamFilter(OptionCall& call) {
  const size_t equals = call.value.find('=');
  BitstreamFilterEntry entry{
      Text(call.value.substr(0, equals)),
      equals == std::string_view::npos ? std::string() : Text(call.value.substr(equals + 1))};
  if (av_bsf_get_by_name(entry.name.c_str()) == nullptr)
    throw EngineException("Unknown bitstream filter " + entry.name);
  KindOf(call).bitstream_filters.push_back(std::move(entry));
}

void Preset(OptionCall& call) { ApplyPreset(call.name, call.value, call.settings, call.options); }

void Threads(OptionCall& call) { throw EngineException("TODO: option - " + Text(call.name)); }

void TimeLimit(OptionCall& call) {
  call.dispatcher.Log(llWarning, "Warning: -timelimit not implemented on Windows");
}

void DoNothing(OptionCall& call) {
  call.dispatcher.Log(llInfo, "Do nothing: option - " + Text(call.name));
}

// Handlers that store one parsed value in one setting.
#define KORVEX_SETTING(setting, parse) \
  [](OptionCall& call) { call.settings.setting = parse(call.value); }
#define KORVEX_SWITCH_ON(setting) [](OptionCall& call) { call.settings.setting = true; }

const std::unordered_map<std::string_view, Handler>& HandlerTable() {
  static const std::unordered_map<std::string_view, Handler> kTable = {
      {"f", ForceFormat},
      {"map", AddStreamMap},
      {"map_meta_data", AddMetaDataMap},
      {"t", RecordingTime},
      {"fs", KORVEX_SETTING(file_size_limit, ParseInteger64)},
      {"ss",
       [](OptionCall& call) { call.settings.start_time = ParseDuration(call.name, call.value); }},
      {"itsoffset",
       [](OptionCall& call) {
         call.settings.input_ts_offset = ParseDuration(call.name, call.value);
       }},
      {"itsscale", TimestampScale},
      {"timestamp",
       [](OptionCall& call) {
         call.settings.recording_timestamp = ParseDate(call.name, call.value) / 1000000;
       }},
      {"metadata", AddMetadata},
      {"dframes", MaxFrames},
      {"vframes", MaxFrames},
      {"aframes", MaxFrames},
      {"dump", KORVEX_SETTING(packet_dump, ParseFlag)},
      {"hex", KORVEX_SETTING(hex_dump, ParseFlag)},
      {"re", KORVEX_SETTING(rate_emulation, ParseFlag)},
      {"loop_input", KORVEX_SETTING(loop_input, ParseFlag)},
      {"loop_output", KORVEX_SETTING(loop_output, ParseInteger)},
      {"v", KORVEX_SETTING(verbose, ParseInteger)},
      {"target", Target},
      {"vsync", KORVEX_SETTING(video_sync_method, ParseInteger)},
      {"async", KORVEX_SETTING(audio_sync_method, ParseInteger)},
      {"adrift_threshold", KORVEX_SETTING(audio_drift_threshold, ParseReal)},
      {"vglobal", KORVEX_SETTING(video_global_header, ParseInteger)},
      {"copyts", KORVEX_SWITCH_ON(copy_ts)},
      {"shortest", KORVEX_SETTING(shortest, ParseFlag)},
      {"dts_delta_threshold", KORVEX_SETTING(dts_delta_threshold, ParseReal)},
      {"programid", KORVEX_SETTING(program_id, ParseInteger)},
      {"xerror", KORVEX_SWITCH_ON(exit_on_error)},
      {"copyinkf", KORVEX_SETTING(copy_initial_nonkeyframes, ParseInteger)},
      {"b", BitRate},
      {"vb", BitRate},
      {"ab", BitRate},
      {"r", FrameRate},
      {"s", FrameSize},
      {"aspect", AspectRatio},
      {"pix_fmt", PixelFormat},
      {"croptop", CropBand},
      {"cropbottom", CropBand},
      {"cropleft", CropBand},
      {"cropright", CropBand},
      {"padtop", Padding},
      {"padbottom", Padding},
      {"padleft", Padding},
      {"padright", Padding},
      {"padcolor", Padding},
      {"intra", KORVEX_SETTING(intra_only, ParseFlag)},
      {"vn", DisableKind},
      {"an", DisableKind},
      {"sn", DisableKind},
      {"vdt", KORVEX_SETTING(video_discard, ParseInteger)},
      {"qscale", VideoQuantiser},
      {"rc_override", KORVEX_SETTING(rc_override, Text)},
      {"vcodec", CodecName},
      {"acodec", CodecName},
      {"scodec", CodecName},
      {"me_threshold", KORVEX_SETTING(me_threshold, ParseInteger)},
      {"sameq", KORVEX_SETTING(same_quality, ParseFlag)},
      {"pass", Pass},
      {"passlogfile", KORVEX_SETTING(pass_log_filename, Text)},
      {"deinterlace", KORVEX_SETTING(deinterlace, ParseFlag)},
      {"psnr", KORVEX_SETTING(psnr, ParseFlag)},
      {"vstats", VideoStatistics},
      {"vstats_file", KORVEX_SETTING(vstats_filename, Text)},
      {"vhook", VideoHook},
      {"vfilters", KORVEX_SETTING(filters, Text)},
      {"vf", KORVEX_SETTING(filters, Text)},
      {"intra_matrix", Matrix},
      {"inter_matrix", Matrix},
      {"top", KORVEX_SETTING(top_field_first, ParseInteger)},
      {"dc", KORVEX_SETTING(intra_dc_precision, ParseInteger)},
      {"vtag", CodecTag},
      {"atag", CodecTag},
      {"stag", CodecTag},
      {"newvideo", NewStream},
      {"newaudio", NewStream},
      {"newsubtitle", NewStream},
      {"vlang", Language},
      {"alang", Language},
      {"slang", Language},
      {"qphist", KORVEX_SETTING(qp_hist, ParseFlag)},
      {"force_fps", KORVEX_SETTING(force_fps, ParseFlag)},
      {"streamid", StreamId},
      {"aq", KORVEX_SETTING(audio_qscale, ParseReal)},
      {"ar", AudioRate},
      {"ac", AudioRate},
      {"vol", KORVEX_SETTING(audio_volume, ParseInteger)},
      {"sample_fmt", SampleFormat},
      {"vc", KORVEX_SETTING(video_channel, ParseInteger)},
      {"tvstd", KORVEX_SETTING(video_standard, Text)},
      {"isync", KORVEX_SETTING(input_sync, ParseFlag)},
      {"muxdelay", KORVEX_SETTING(mux_max_delay, ParseReal)},
      {"muxpreload", KORVEX_SETTING(mux_preload, ParseReal)},
      {"absf", BitstreamFilter},
      {"vbsf", BitstreamFilter},
      {"sbsf", BitstreamFilter},
      {"apre", Preset},
      {"vpre", Preset},
      {"spre", Preset},
      {"fpre", Preset},
      {"loglevel",
       [](OptionCall& call) { TEngineLogger::Instance().SetLogLevelByName(call.value); }},
      {"threads", Threads},
      {"timelimit", TimeLimit},
      {"L", DoNothing},
      {"h", DoNothing},
      {"version", DoNothing},
      {"formats", DoNothing},
      {"codecs", DoNothing},
      {"bsfs", DoNothing},
      {"protocols", DoNothing},
      {"filters", DoNothing},
      {"i", DoNothing},
      {"y", DoNothing},
      {"benchmark", DoNothing},
  };
  return kTable;
}

#undef KORVEX_SETTING
#undef KORVEX_SWITCH_ON

}  // namespace

OptionDispatcher::OptionDispatcher(TranscoderSettings& settings, UserOptions& options,
                                   FrameHookModules& hooks, TranscoderFiles* files,
                                   const TEngineComponent* sender)
    : settings_(settings), options_(options), hooks_(hooks), files_(files), sender_(sender) {}

void OptionDispatcher::Dispatch(std::string_view name, std::string_view value) {
  const auto& table = HandlerTable();
  const auto handler = table.find(name);
  if (handler == table.end()) {
    options_.Set(name, value);  // the generic setter's refusal is not an error here
    return;
  }
  OptionCall call{*this, settings_, options_, hooks_, name, value};
  handler->second(call);
}

void OptionDispatcher::Log(TLogLevel level, std::string_view text) const {
  TEngineLogger::Instance().Log(sender_, level, text);
}

}  // namespace korvex::engine
