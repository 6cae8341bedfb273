#include "engine/options/record_options.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>

#include "engine/engine_types.h"
#include "engine/options/option_dispatcher.h"
#include "engine/options/option_text.h"
#include "engine/options/target_presets.h"
#include "engine/options/transcoder_settings.h"
#include "engine/options/user_options.h"

namespace korvex::engine {

namespace {

template <size_t N>
bool IsOneOf(std::string_view key, const std::array<std::string_view, N>& keys) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// Keys that only an output's streams consume; inputs skip them.
constexpr std::array<std::string_view, 8> kStreamPresetKeys = {
    "newvideo", "newaudio", "newsubtitle", "apre", "vpre", "spre", "vfilters", "vf"};

// Keys of the option text that go into the preset list instead of the dispatcher.
constexpr std::array<std::string_view, 9> kListedKeys = {
    "acodec", "vcodec", "scodec", "apre", "vpre", "spre", "s", "vfilters", "vf"};

OutputPresetList BuildPresetList(const TOutputOptions& output,
                                 const std::vector<OptionLine>& lines) {
  OutputPresetList list;
  list.Add("def_acodec", output.AudioCodec);
  list.Add("def_vcodec", output.VideoCodec);
  list.Add("def_scodec", output.SubtitleCodec);
  list.Add("def_apre", output.AudioPreset);
  list.Add("def_vpre", output.VideoPreset);
  list.Add("def_spre", output.SubtitlePreset);
  list.Add("def_s", output.FrameSize);
  list.Add("def_vf", output.VideoFilters);
  for (const OptionLine& line : lines) {
    if (!IsOneOf(line.key, kListedKeys) || line.value.empty()) continue;
    const std::string key = line.key == "vfilters" ? "vf" : line.key;
    if (list.Value("def_" + key).empty()) list.SetValue("def_" + key, line.value);
    list.Add(key, line.value);
  }
  return list;
}

void ApplyTargetRecord(const TOutputOptions& output, OptionDispatcher& dispatcher) {
  static constexpr std::array<std::string_view, 3> kTargets = {"vcd", "svcd", "dvd"};
  static constexpr std::array<std::string_view, 3> kNorms = {"auto", "pal", "ntsc"};
  if (output.Target < 1 || output.Target > 3) return;
  const std::string_view norm =
      output.TargetNorm >= 0 && output.TargetNorm <= 2 ? kNorms[output.TargetNorm] : "auto";
  ApplyTarget(dispatcher, kTargets[output.Target - 1], norm,
              output.TargetDefaultNorm == 1 ? "pal" : "ntsc");
}

void ApplyMetadata(const TStreamInfo& info, TranscoderSettings& settings) {
  if (info.Timestamp == 0) {
    settings.recording_timestamp = std::time(nullptr);
  } else if (info.Timestamp > 0) {
    settings.recording_timestamp = UnixTimeOfLocalDays(info.Timestamp);
  }
  auto& tags = settings.pending_metadata;
  if (info.Year > 0) tags.emplace_back("year", std::to_string(info.Year));
  if (info.Track > 0) tags.emplace_back("track", std::to_string(info.Track));
  const std::pair<const char*, const std::string*> texts[] = {
      {"title", &info.Title},     {"author", &info.Author}, {"copyright", &info.Copyright},
      {"comment", &info.Comment}, {"album", &info.Album},   {"genre", &info.Genre}};
  for (const auto& [tag, text] : texts) {
    if (!text->empty()) tags.emplace_back(tag, *text);
  }
}

// The record's own fields in their order; numeric fields apply when > 0 unless noted.
void ApplyOutputFields(const TOutputOptions& o, OptionDispatcher& dispatcher) {
  TranscoderSettings& settings = dispatcher.Settings();
  UserOptions& options = dispatcher.Options();
  const auto plain = [&options](const char* name, int32_t value) {
    if (value > 0) options.Set(name, std::to_string(value));
  };
  const auto option = [&dispatcher](const char* name, const std::string& value) {
    if (!value.empty()) dispatcher.Dispatch(name, value);
  };
  const auto positive = [&dispatcher](const char* name, int32_t value) {
    if (value > 0) dispatcher.Dispatch(name, std::to_string(value));
  };

  option("f", o.ForceFormat);
  plain("packetsize", o.PacketSize);
  plain("muxrate", o.MuxRate);
  if (o.MuxDelay > 0) settings.mux_max_delay = o.MuxDelay;
  if (o.MuxPreload > 0) settings.mux_preload = o.MuxPreload;
  if (o.DisableAudio) settings.audio.disabled = true;
  if (o.AudioVolume >= 0) settings.audio_volume = o.AudioVolume;
  positive("ac", o.AudioChannels);
  positive("ar", o.AudioSampleRate);
  plain("ab", o.AudioBitrate);
  plain("abt", o.AudioBitrateTolerance);
  settings.audio.language = o.AudioLanguage;
  settings.audio_sync_method = o.AudioSync;
  option("atag", o.AudioTag);
  if (o.DisableVideo) settings.video.disabled = true;
  option("r", o.FrameRate);
  option("aspect", o.AspectRatio);
  positive("croptop", o.CropTop);
  positive("cropbottom", o.CropBottom);
  positive("cropleft", o.CropLeft);
  positive("cropright", o.CropRight);
  plain("g", o.GOPSize);
  plain("vb", o.VideoBitrate);
  plain("maxrate", o.VideoMaxRate);
  plain("minrate", o.VideoMinRate);
  plain("bt", o.VideoBitrateTolerance);
  plain("bufsize", o.VideoBufSize);
  settings.video_sync_method = o.VideoSync;
  option("vtag", o.VideoTag);
  settings.video.language = o.VideoLanguage;
  if (o.DisableSubtitle) settings.subtitle.disabled = true;
  settings.subtitle.language = o.SubtitleLanguage;
  settings.input_sync = o.InputSync;
  if (o.CopyTimestamps) settings.copy_ts = true;
  if (o.StartTime != kNoTimestamp) settings.start_time = o.StartTime;
  if (o.Duration != kNoTimestamp) {
    settings.recording_time = o.Duration;
    settings.total_duration = o.Duration;
  }
  ApplyMetadata(o.Metadata, settings);
}

}  // namespace

void OutputPresetList::Add(std::string key, std::string value) {
  entries_.emplace_back(std::move(key), std::move(value));
}

const std::string& OutputPresetList::Value(std::string_view key) const {
  static const std::string kEmpty;
  for (const auto& [entry_key, value] : entries_) {
    if (entry_key == key) return value;
  }
  return kEmpty;
}

void OutputPresetList::SetValue(std::string_view key, std::string value) {
  for (auto& [entry_key, entry_value] : entries_) {
    if (entry_key == key) {
      entry_value = std::move(value);
      return;
    }
  }
  Add(std::string(key), std::move(value));
}

bool OutputPresetList::TakeFirst(std::string_view key, std::string& value) {
  const auto entry = std::find_if(entries_.begin(), entries_.end(),
                                  [key](const auto& pair) { return pair.first == key; });
  if (entry == entries_.end()) return false;
  value = std::move(entry->second);
  entries_.erase(entry);
  return true;
}

void ApplyInputOptions(const TInputOptions& input, OptionDispatcher& dispatcher) {
  for (const OptionLine& line : ParseOptionText(input.ExtOptions)) {
    if (!IsOneOf(line.key, kStreamPresetKeys)) dispatcher.Dispatch(line.key, line.value);
  }
  if (!input.ForceFormat.empty()) dispatcher.Dispatch("f", input.ForceFormat);
  if (input.StartTime != kNoTimestamp) dispatcher.Settings().start_time = input.StartTime;
  if (input.ProgramID >= 0) dispatcher.Settings().program_id = input.ProgramID;
}

OutputPresetList ApplyOutputOptions(const TOutputOptions& output, OptionDispatcher& dispatcher) {
  const std::vector<OptionLine> lines = ParseOptionText(output.ExtOptions);
  OutputPresetList list = BuildPresetList(output, lines);

  ApplyTargetRecord(output, dispatcher);
  // Codecs before presets, so that a preset name can be completed with the codec's name.
  for (const char* key : {"acodec", "vcodec", "scodec", "apre", "vpre", "spre"}) {
    const std::string& value = list.Value(std::string("def_") + key);
    if (!value.empty()) dispatcher.Dispatch(key, value);
  }
  for (const OptionLine& line : lines) {
    if (!IsOneOf(line.key, kStreamPresetKeys) && !IsOneOf(line.key, kListedKeys))
      dispatcher.Dispatch(line.key, line.value);
  }
  ApplyOutputFields(output, dispatcher);
  if (const std::string& size = list.Value("def_s"); !size.empty()) dispatcher.Dispatch("s", size);
  if (const std::string& graph = list.Value("def_vf"); !graph.empty())
    dispatcher.Settings().filters = graph;
  return list;
}

int64_t UnixTimeOfLocalDays(double days) {
  static constexpr double kDaysTo1970 = 25569;
  // The day count as if it were UTC, broken down, then read back as local time: this applies
  // the zone offset in force on that date.
  const std::time_t as_utc = static_cast<std::time_t>(std::llround((days - kDaysTo1970) * 86400));
  std::tm fields{};
  gmtime_r(&as_utc, &fields);
  fields.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&fields));
}

}  // namespace korvex::engine
