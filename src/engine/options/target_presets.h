// Target presets: the settings a disc or camcorder format requires ("vcd", "svcd", "dvd",
// "dv", "dv50"), for the norm named or detected from the frame rate and the inputs.
#pragma once

#include <string_view>

namespace korvex::engine {

class OptionDispatcher;

// `norm` is "pal", "ntsc", "film" or anything else for detection; `default_norm` decides when
// detection finds nothing. Raises "frame_rate is invalid." and "Unknown target type".
void ApplyTarget(OptionDispatcher& dispatcher, std::string_view target, std::string_view norm,
                 std::string_view default_norm);

}  // namespace korvex::engine
