#include "workflow/job_options_rates.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "workflow/job_options_error.h"

namespace korvex::workflow {

namespace {

// The user's "as source" is matched exactly, the profile's without regard to case.
constexpr const char* kAsSource = "as source";

const char* ListKey(SourceValueKind kind) {
  switch (kind) {
    case SourceValueKind::kAudioSampleRate:
      return "SampleRate";
    case SourceValueKind::kAudioBitRate:
      return "AudioBitRate";
    case SourceValueKind::kVideoBitRate:
      return "VideoBitRate";
  }
  return "";
}

std::optional<double> Bound(std::string_view text) {
  return platform::ParseDouble(platform::Trim(text));
}

// Kilobits per second in bits per second, truncated; nullopt when not above 0.
std::optional<int32_t> BitsPerSecond(double kilobits, std::string_view where, std::string_view key,
                                     std::string_view text) {
  const double bits = std::trunc(kilobits * 1000);
  if (!(bits > 0)) return std::nullopt;
  if (bits > std::numeric_limits<int32_t>::max()) {
    throw BadStoredValue(where, key, text, "a bit rate below 2147483 kbit/s");
  }
  return static_cast<int32_t>(bits);
}

// The profile's fallback for a value the user wanted "as source" that the format cannot take.
std::optional<std::string> ProfileFallback(const FormatProfile& profile, const char* key,
                                           const char* default_value) {
  std::string value = profile.Value(key, default_value);
  if (platform::EqualsIgnoreCase(value, kAsSource)) return std::nullopt;
  return value;
}

int ProfileInteger(const FormatProfile& profile, const char* key, const std::string& value) {
  const std::optional<int> number = platform::ParseInt(value);
  if (!number)
    throw BadStoredValue(InFormatProfile(profile.Section()), key, value, "a whole number");
  return *number;
}

double ProfileNumber(const FormatProfile& profile, const char* key, const std::string& value) {
  const std::optional<double> number = platform::ParseDouble(value);
  if (!number) throw BadStoredValue(InFormatProfile(profile.Section()), key, value, "a number");
  return *number;
}

// The facts of the source's first stream of a kind; a source without one gives the probe's
// "unknown" values, without asking the probe (which would log the missing stream as an error).
engine::TAudioStreamInfo FirstAudioFacts(engine::TCustomMediaProbe& probe) {
  engine::TAudioStreamInfo facts;
  if (probe.FirstAudioStream() >= 0) probe.GetAudioStreamInfo(probe.FirstAudioStream(), facts);
  return facts;
}

engine::TVideoStreamInfo FirstVideoFacts(engine::TCustomMediaProbe& probe) {
  engine::TVideoStreamInfo facts;
  if (probe.FirstVideoStream() >= 0) probe.GetVideoStreamInfo(probe.FirstVideoStream(), facts);
  return facts;
}

}  // namespace

bool SourceValueInRange(SourceValueKind kind, int value, const FormatProfile& profile) {
  const std::string list = profile.Value(ListKey(kind), "null");
  const std::string_view text = list;
  const size_t first_comma = text.find(',');
  if (first_comma == std::string_view::npos || first_comma == 0) return false;
  const size_t last_comma = text.rfind(',');

  std::string_view lower = text.substr(0, first_comma);
  const std::string_view rest = text.substr(first_comma + 1);
  if (platform::EqualsIgnoreCase(lower, kAsSource) && !rest.empty()) {
    lower = rest.substr(0, rest.find(','));
  }
  const std::string_view upper = first_comma == last_comma ? lower : text.substr(last_comma + 1);

  const std::optional<double> low = Bound(lower), high = Bound(upper);
  if (!low || !high) return false;
  const double measured =
      kind == SourceValueKind::kAudioSampleRate ? value : value / 1000.0;  // kbit/s in the lists
  return *low <= measured && measured <= *high;
}

void ApplyAudioSampleRate(const UserFormatValues& user, const FormatProfile& profile,
                          engine::TCustomMediaProbe& probe, engine::TOutputOptions& output) {
  const std::string chosen = user.Value("paraSampleRate", "44100");
  if (chosen != kAsSource) {
    if (const std::optional<int> rate = platform::ParseInt(chosen)) {
      if (*rate > 0) output.AudioSampleRate = *rate;
      return;
    }
  }
  const engine::TAudioStreamInfo source = FirstAudioFacts(probe);
  if (SourceValueInRange(SourceValueKind::kAudioSampleRate, source.SampleRate, profile)) {
    output.AudioSampleRate = source.SampleRate;
    return;
  }
  if (const auto fallback = ProfileFallback(profile, "paraSampleRate", "44100")) {
    const int rate = ProfileInteger(profile, "paraSampleRate", *fallback);
    if (rate > 0) output.AudioSampleRate = rate;
  }
}

void ApplyAudioBitRate(const UserFormatValues& user, const FormatProfile& profile,
                       engine::TCustomMediaProbe& probe, engine::TOutputOptions& output) {
  const std::string chosen = user.Value("paraAudioBitRate", "128");
  if (chosen != kAsSource) {
    if (const std::optional<double> kilobits = platform::ParseDouble(chosen)) {
      const auto bits =
          BitsPerSecond(*kilobits, InUserSettings(user.Section()), "paraAudioBitRate", chosen);
      if (bits) output.AudioBitrate = *bits;
      return;
    }
  }
  const engine::TAudioStreamInfo source = FirstAudioFacts(probe);
  if (SourceValueInRange(SourceValueKind::kAudioBitRate, source.BitRate, profile)) {
    output.AudioBitrate = source.BitRate;
    return;
  }
  const auto fallback = ProfileFallback(profile, "paraAudioBitRate", "128");
  if (fallback && !platform::Trim(*fallback).empty()) {
    const double kilobits = ProfileNumber(profile, "paraAudioBitRate", *fallback);
    const auto bits =
        BitsPerSecond(kilobits, InFormatProfile(profile.Section()), "paraAudioBitRate", *fallback);
    if (bits) output.AudioBitrate = *bits;
  }
}

void ApplyVideoBitRate(const UserFormatValues& user, const FormatProfile& profile,
                       engine::TCustomMediaProbe& probe, engine::TOutputOptions& output) {
  const std::string chosen = user.Value("paraVideoBitRate", "512");
  if (chosen != kAsSource) {
    if (const std::optional<int> kilobits = platform::ParseInt(chosen)) {
      const auto bits =
          BitsPerSecond(*kilobits, InUserSettings(user.Section()), "paraVideoBitRate", chosen);
      if (bits) output.VideoBitrate = *bits;
      return;
    }
  }
  const engine::TVideoStreamInfo source = FirstVideoFacts(probe);
  if (SourceValueInRange(SourceValueKind::kVideoBitRate, source.BitRate, profile)) {
    output.VideoBitrate = source.BitRate;
    return;
  }
  if (const auto fallback = ProfileFallback(profile, "paraVideoBitRate", "256")) {
    const int kilobits = ProfileInteger(profile, "paraVideoBitRate", *fallback);
    const auto bits =
        BitsPerSecond(kilobits, InFormatProfile(profile.Section()), "paraVideoBitRate", *fallback);
    if (bits) output.VideoBitrate = *bits;
  }
}

}  // namespace korvex::workflow
