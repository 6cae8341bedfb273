// Sample rate and bit rates of a conversion: the user's value, else the source's own value
// when the format's option list covers it, else the profile's fallback value.
#pragma once

#include "engine/media_probe.h"
#include "engine/options/task_options.h"
#include "workflow/format_profile.h"
#include "workflow/job_options_user_values.h"

namespace korvex::workflow {

enum class SourceValueKind { kAudioSampleRate, kAudioBitRate, kVideoBitRate };

// Whether a value of the source (hertz, or bits per second for the bit rates) lies inside the
// range of the profile's option list ("SampleRate", "AudioBitRate" or "VideoBitRate"). The range
// runs from the first entry (the second one when the first is "as source") to the last; a list
// with a single comma offers its lower entry only. A list without a comma after its first
// character, or whose bounds are not numbers, covers nothing.
bool SourceValueInRange(SourceValueKind kind, int value, const FormatProfile& profile);

// Each sets its field of `output` (AudioSampleRate, AudioBitrate, VideoBitrate) or leaves it
// unset. The probe describes the loaded source. A profile fallback that is not a number, or a
// bit rate beyond the record's range, raises JobOptionsError.
void ApplyAudioSampleRate(const UserFormatValues& user, const FormatProfile& profile,
                          engine::TCustomMediaProbe& probe, engine::TOutputOptions& output);
void ApplyAudioBitRate(const UserFormatValues& user, const FormatProfile& profile,
                       engine::TCustomMediaProbe& probe, engine::TOutputOptions& output);
void ApplyVideoBitRate(const UserFormatValues& user, const FormatProfile& profile,
                       engine::TCustomMediaProbe& probe, engine::TOutputOptions& output);

}  // namespace korvex::workflow
