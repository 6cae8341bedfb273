#include "engine/options/option_presets.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "engine/engine_exception.h"
#include "engine/options/option_text.h"
#include "engine/options/transcoder_settings.h"
#include "engine/options/user_options.h"

namespace korvex::engine {

namespace {

// The x264 presets say what they stand for with libx264's own options: a speed preset, the fast
// first pass of a two-pass encode, lossless quantising. A profile is given by the features it
// leaves out, and x264 signals the profile that the features in use need: no "profile" line
// could work, as the setter checks it against the codec options, which take a number, while
// libx264's own option, which then gets it, takes a name. The device presets keep their
// historical lines, with the options that moved to libx264 (direct prediction, partitions) in
// their current form.
constexpr TOptionsPreset kBuiltinPresets[] = {
    {"libx264-baseline",
     "coder=0\n"
     "bf=0\n"
     "weightb=0\n"
     "8x8dct=0\n"
     "wpredp=0"},
    {"libx264-default", "preset=medium"},
    {"libx264-fast", "preset=fast"},
    {"libx264-fast_firstpass", "preset=fast\nfastfirstpass=1"},
    {"libx264-faster", "preset=faster"},
    {"libx264-faster_firstpass", "preset=faster\nfastfirstpass=1"},
    {"libx264-fastfirstpass", "preset=medium\nfastfirstpass=1"},
    {"libx264-hq", "preset=slow"},
    {"libx264-ipod320",
     "coder=0\n"
     "bf=0\n"
     "weightb=0\n"
     "8x8dct=0\n"
     "wpredp=0\n"
     "level=13\n"
     "maxrate=768000\n"
     "bufsize=3000000"},
    {"libx264-ipod640",
     "coder=0\n"
     "bf=0\n"
     "weightb=0\n"
     "8x8dct=0\n"
     "wpredp=0\n"
     "level=30\n"
     "maxrate=10000000\n"
     "bufsize=10000000"},
    {"libx264-lossless_fast", "preset=fast\nqp=0"},
    {"libx264-lossless_max", "preset=placebo\nqp=0"},
    {"libx264-lossless_medium", "preset=medium\nqp=0"},
    {"libx264-lossless_slow", "preset=slow\nqp=0"},
    {"libx264-lossless_slower", "preset=slower\nqp=0"},
    {"libx264-lossless_ultrafast", "preset=ultrafast\nqp=0"},
    {"libx264-main", "8x8dct=0"},
    {"libx264-max", "preset=placebo"},
    {"libx264-medium", "preset=medium"},
    {"libx264-medium_firstpass", "preset=medium\nfastfirstpass=1"},
    {"libx264-normal", "preset=medium"},
    {"libx264-placebo", "preset=placebo"},
    {"libx264-placebo_firstpass", "preset=placebo\nfastfirstpass=1"},
    {"libx264-slow", "preset=slow"},
    {"libx264-slow_firstpass", "preset=slow\nfastfirstpass=1"},
    {"libx264-slower", "preset=slower"},
    {"libx264-slower_firstpass", "preset=slower\nfastfirstpass=1"},
    {"libx264-slowfirstpass", "preset=medium\nfastfirstpass=0"},
    {"libx264-superfast", "preset=superfast"},
    {"libx264-superfast_firstpass", "preset=superfast\nfastfirstpass=1"},
    {"libx264-ultrafast", "preset=ultrafast"},
    {"libx264-ultrafast_firstpass", "preset=ultrafast\nfastfirstpass=1"},
    {"libx264-veryfast", "preset=veryfast"},
    {"libx264-veryfast_firstpass", "preset=veryfast\nfastfirstpass=1"},
    {"libx264-veryslow", "preset=veryslow"},
    {"libx264-veryslow_firstpass", "preset=veryslow\nfastfirstpass=1"},
    {"libx264-psp",
     "coder=1\n"
     "flags=+loop\n"
     "level=30\n"
     "cmp=+chroma\n"
     "partitions=i4x4,i8x8,p8x8,b8x8\n"
     "me_method=umh\n"
     "subq=7\n"
     "me_range=16\n"
     "g=250\n"
     "keyint_min=25\n"
     "sc_threshold=40\n"
     "i_qfactor=0.71\n"
     "b_strategy=1\n"
     "qcomp=0.6\n"
     "qmin=10\n"
     "qmax=51\n"
     "qdiff=4\n"
     "bf=3\n"
     "refs=1\n"
     "direct-pred=spatial\n"
     "trellis=2\n"
     "b=1250000\n"
     "maxrate=1500000\n"
     "bufsize=4000000\n"
     "bt=256000\n"
     "sc_threshold=40"},
    {"libx264-ps3",
     "coder=1\n"
     "flags=+loop\n"
     "level=30\n"
     "cmp=+chroma\n"
     "partitions=i4x4,i8x8,p8x8,b8x8\n"
     "me_method=umh\n"
     "subq=7\n"
     "me_range=16\n"
     "g=250\n"
     "keyint_min=25\n"
     "sc_threshold=40\n"
     "i_qfactor=0.71\n"
     "b_strategy=1\n"
     "qcomp=0.6\n"
     "qmin=10\n"
     "qmax=51\n"
     "qdiff=4\n"
     "bf=3\n"
     "refs=1\n"
     "direct-pred=spatial\n"
     "trellis=2\n"
     "maxrate=3500000\n"
     "bufsize=4000000\n"
     "bt=256000\n"
     "sc_threshold=40"},
    {"libx264-ipod",
     "coder=0\n"
     "flags=+loop\n"
     "level=30\n"
     "cmp=+chroma\n"
     "partitions=i4x4,i8x8,p8x8\n"
     "me_method=umh\n"
     "subq=7\n"
     "me_range=16\n"
     "g=250\n"
     "keyint_min=25\n"
     "sc_threshold=40\n"
     "i_qfactor=0.71\n"
     "b_strategy=1\n"
     "qcomp=0.6\n"
     "qmin=10\n"
     "qmax=51\n"
     "qdiff=4\n"
     "refs=1\n"
     "direct-pred=spatial\n"
     "trellis=2\n"
     "b=1000000\n"
     "maxrate=1250000\n"
     "bufsize=4000000\n"
     "bt=256000\n"
     "sc_threshold=40"},
    {"libx264-mp4",
     "coder=1\n"
     "flags=+loop\n"
     "level=30\n"
     "cmp=+chroma\n"
     "partitions=i4x4,i8x8,p8x8,b8x8\n"
     "me_method=umh\n"
     "subq=7\n"
     "me_range=16\n"
     "g=250\n"
     "keyint_min=25\n"
     "sc_threshold=40\n"
     "i_qfactor=0.71\n"
     "b_strategy=1\n"
     "qcomp=0.6\n"
     "qmin=10\n"
     "qmax=51\n"
     "qdiff=4\n"
     "bf=3\n"
     "refs=1\n"
     "direct-pred=spatial\n"
     "trellis=2\n"
     "b=1250000\n"
     "maxrate=1500000\n"
     "bufsize=4000000\n"
     "bt=256000\n"
     "sc_threshold=40"},
};

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(
      a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// The stream kind whose built-in presets an option may name; none for "fpre".
std::optional<AVMediaType> KindOfPresetOption(std::string_view option) {
  if (option == "apre") return AVMEDIA_TYPE_AUDIO;
  if (option == "vpre") return AVMEDIA_TYPE_VIDEO;
  if (option == "spre") return AVMEDIA_TYPE_SUBTITLE;
  if (option == "fpre") return std::nullopt;
  throw std::invalid_argument("not a preset option: " + std::string(option));
}

// A line naming the codec of a kind rather than an option.
std::optional<AVMediaType> KindOfCodecLine(std::string_view name) {
  if (EqualIgnoringCase(name, "acodec")) return AVMEDIA_TYPE_AUDIO;
  if (EqualIgnoringCase(name, "vcodec")) return AVMEDIA_TYPE_VIDEO;
  if (EqualIgnoringCase(name, "scodec")) return AVMEDIA_TYPE_SUBTITLE;
  return std::nullopt;
}

std::string ReadPresetFile(std::string_view value) {
  const std::filesystem::path path(std::string{value});
  std::error_code error;
  std::ifstream in;
  if (std::filesystem::is_regular_file(path, error)) in.open(path, std::ios::binary);
  if (!in.is_open()) throw EngineException("Preset \"" + std::string(value) + "\" not found");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The preset's text: a built-in preset of the kind, by its name or the kind's codec name with
// "-" and the name, else the file the value names.
std::string PresetText(std::string_view option, std::string_view value,
                       TranscoderSettings& settings) {
  if (const std::optional<AVMediaType> kind = KindOfPresetOption(option)) {
    const TOptionsPreset* preset = FindBuiltinPreset(value);
    const std::string& codec_name = settings.Kind(*kind)->codec_name;
    if (preset == nullptr && !codec_name.empty()) {
      preset = FindBuiltinPreset(codec_name + "-" + std::string(value));
    }
    if (preset != nullptr) return std::string(preset->text);
  }
  return ReadPresetFile(value);
}

void ApplyPresetLine(std::string_view preset_name, std::string_view line,
                     TranscoderSettings& settings, UserOptions& options) {
  const size_t equals = line.find('=');
  const std::string_view name = TrimOptionText(line.substr(0, equals));
  const std::string_view value = equals == std::string_view::npos
                                     ? std::string_view()
                                     : TrimOptionText(line.substr(equals + 1));
  if (name.empty() || value.empty()) {
    throw EngineException(std::string(preset_name) + ": Invalid syntax: \"" + std::string(line) +
                          "\"");
  }
  if (const std::optional<AVMediaType> kind = KindOfCodecLine(name)) {
    settings.SetCodecName(*kind, value);
  } else if (!options.Set(name, value)) {
    throw EngineException(std::string(preset_name) + ": Invalid option or argument: \"" +
                          std::string(line) + "\", parsed as \"" + std::string(name) + "\" = \"" +
                          std::string(value) + "\"");
  }
}

}  // namespace

std::span<const TOptionsPreset> BuiltinPresets() { return kBuiltinPresets; }

const TOptionsPreset* FindBuiltinPreset(std::string_view name) {
  for (const TOptionsPreset& preset : kBuiltinPresets) {
    if (EqualIgnoringCase(preset.name, name)) return &preset;
  }
  return nullptr;
}

void ApplyPreset(std::string_view option, std::string_view value, TranscoderSettings& settings,
                 UserOptions& options) {
  const std::string text = NormaliseLineBreaks(TrimOptionText(PresetText(option, value, settings)));
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string_view line = TrimOptionText(std::string_view(text).substr(start, end - start));
    if (!line.empty()) ApplyPresetLine(value, line, settings, options);
    start = end + 1;
  }
}

}  // namespace korvex::engine
