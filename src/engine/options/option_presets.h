// The built-in option presets and the preset options "apre", "vpre", "spre" and "fpre".
#pragma once

#include <span>
#include <string_view>

namespace korvex::engine {

struct TranscoderSettings;
class UserOptions;

struct TOptionsPreset {
  std::string_view name;
  std::string_view text;  // name=value lines separated by line feeds
};

// The 40 built-in presets in their fixed order.
std::span<const TOptionsPreset> BuiltinPresets();
// Case-insensitive lookup; nullptr when none has the name.
const TOptionsPreset* FindBuiltinPreset(std::string_view name);

// Applies the preset named by `value` for the option ("apre", "vpre", "spre" or "fpre"):
// a built-in preset, for the kind options also codec name + "-" + value, else a preset file.
// Raises EngineException with the preset messages.
void ApplyPreset(std::string_view option, std::string_view value, TranscoderSettings& settings,
                 UserOptions& options);

}  // namespace korvex::engine
