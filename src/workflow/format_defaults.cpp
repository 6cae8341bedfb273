#include "workflow/format_defaults.h"

#include <iterator>
#include <optional>

#include "platform/text.h"
#include "workflow/encoder_names.h"

namespace korvex::workflow {

namespace {

constexpr const char* kZoomValues[] = {"full", "lbox", "pan", "center"};
constexpr int kFullScreenZoom = 0;

// The volume entries ("25%" ... "400%") the stored volume (256 = unchanged) is known for.
constexpr int kVolumePercents[] = {25, 50, 75, 100, 125, 150, 175, 200, 250, 300, 350, 400};

FieldChoice DefaultChoice(const FormatProfile& profile, const char* list_key) {
  const std::optional<std::vector<std::string>> entries = profile.OptionList(list_key);
  const int index = profile.DefaultIndex(list_key);
  if (!entries || index < 0 || index >= static_cast<int>(entries->size())) return {};
  return {index, (*entries)[index]};
}

// The selected entry of a pick-only field; nullopt when nothing is selected.
std::optional<std::string> SelectedEntry(const FieldChoice& choice) {
  if (choice.index < 0) return std::nullopt;
  return choice.text;
}

std::optional<std::string> ChannelValue(const std::string& entry) {
  if (entry == "as source") return "as source";
  if (entry == "mono 1 channel") return "1";
  if (entry == "stereo 2 channels") return "2";
  return std::nullopt;
}

// "100%" gives "256": the percentage scaled to 256 for the listed percentages only.
std::optional<std::string> VolumeValue(const std::string& entry) {
  if (entry.empty()) return std::nullopt;
  const std::optional<int> percent =
      platform::ParseInt(std::string_view(entry).substr(0, entry.size() - 1));
  if (!percent) return std::nullopt;
  for (int listed : kVolumePercents) {
    if (*percent == listed) return std::to_string(listed * 256 / 100);
  }
  return std::nullopt;
}

bool PositiveWhole(const std::string& value) {
  const std::optional<int> number = platform::ParseInt(value);
  return number && *number > 0;
}

bool NonNegativeWhole(const std::string& value) {
  const std::optional<int> number = platform::ParseInt(value);
  return number && *number >= 0;
}

// The H.264 settings of the profile that go with an H.264 encoder, each only when valid.
void AddH264Extras(const FormatProfile& profile, SectionWrites& writes) {
  struct Extra {
    const char* key;
    bool (*valid)(const std::string&);
  };
  static constexpr Extra kExtras[] = {
      {"paraBitExact", [](const std::string& v) { return platform::EqualsIgnoreCase(v, "true"); }},
      {"paraMaxBitrate", PositiveWhole},
      {"paraBufferSize", PositiveWhole},
      {"paraLevel", PositiveWhole},
      {"paraQscale", PositiveWhole},
      {"paraGop", PositiveWhole},
      {"paraCoder", NonNegativeWhole},
  };
  for (const Extra& extra : kExtras) {
    std::string value = profile.Value(extra.key, "");
    if (extra.valid(value)) writes.emplace_back(extra.key, std::move(value));
  }
}

}  // namespace

FormatChoices FactoryDefaultChoices(const FormatProfile& profile) {
  FormatChoices choices;
  choices.video_size = DefaultChoice(profile, "VideoSize");
  choices.frame_rate = DefaultChoice(profile, "FrameRate");
  choices.video_bit_rate = DefaultChoice(profile, "VideoBitRate");
  choices.video_encoder = DefaultChoice(profile, "VideoEncoder");
  choices.zoom = kFullScreenZoom;
  choices.audio_bit_rate = DefaultChoice(profile, "AudioBitRate");
  choices.channel = DefaultChoice(profile, "Channel");
  choices.volume = DefaultChoice(profile, "Volume");
  choices.sample_rate = DefaultChoice(profile, "SampleRate");
  choices.audio_encoder = DefaultChoice(profile, "AudioEncoder");
  return choices;
}

SectionWrites ConfirmedSectionWrites(const FormatProfile& profile, const std::string& description,
                                     const FormatChoices& choices) {
  SectionWrites writes;
  auto write = [&writes](const char* key, std::string value) {
    writes.emplace_back(key, std::move(value));
  };
  write("Description", description);

  const std::pair<const char*, const FieldChoice*> indexes[] = {
      {"iVideoSize", &choices.video_size},
      {"iVideoBitRate", &choices.video_bit_rate},
      {"iVideoEncoder", &choices.video_encoder},
      {"iFrameRate", &choices.frame_rate},
      {"iSampleRate", &choices.sample_rate},
      {"iAudioBitRate", &choices.audio_bit_rate},
      {"iChannel", &choices.channel},
      {"iVolume", &choices.volume},
      {"iAudioEncoder", &choices.audio_encoder},
  };
  for (const auto& [key, choice] : indexes) write(key, std::to_string(choice->index));

  write("paraVideoSize", choices.video_size.text);
  write("paraVideoBitRate", choices.video_bit_rate.text);
  write("paraFrameRate", choices.frame_rate.text);
  if (choices.zoom >= 0 && choices.zoom < static_cast<int>(std::size(kZoomValues))) {
    write("paraZoom", kZoomValues[choices.zoom]);
  }
  if (const std::optional<std::string> entry = SelectedEntry(choices.video_encoder)) {
    if (std::optional<std::string> encoder = VideoEncoderForEntry(*entry)) {
      write("paraVideoEncoder", std::move(*encoder));
    }
    if (platform::ToLowerAscii(*entry) == "h264") AddH264Extras(profile, writes);
  }

  write("paraSampleRate", choices.sample_rate.text);
  write("paraAudioBitRate", choices.audio_bit_rate.text);
  if (const std::optional<std::string> entry = SelectedEntry(choices.channel)) {
    if (std::optional<std::string> channel = ChannelValue(*entry)) {
      write("paraChannel", std::move(*channel));
    }
  }
  if (const std::optional<std::string> entry = SelectedEntry(choices.volume)) {
    if (std::optional<std::string> volume = VolumeValue(*entry)) {
      write("paraVolume", std::move(*volume));
    }
  }
  if (const std::optional<std::string> entry = SelectedEntry(choices.audio_encoder)) {
    if (std::optional<std::string> encoder = AudioEncoderForEntry(*entry)) {
      write("paraAudioEncoder", std::move(*encoder));
    }
    // GSM takes 8000 Hz mono only, whatever the other two fields say.
    if (platform::ToLowerAscii(*entry) == "gsm") {
      write("paraSampleRate", "8000");
      write("paraChannel", "1");
    }
  }
  return writes;
}

void WriteConfirmedChoices(platform::IniFile& app_ini, const FormatProfile& profile,
                           const std::string& description, const FormatChoices& choices) {
  for (const auto& [key, value] : ConfirmedSectionWrites(profile, description, choices)) {
    app_ini.WriteString(profile.Section(), key, value);
  }
}

}  // namespace korvex::workflow
