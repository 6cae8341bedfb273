// A curve over byte values, as a table: entry i is what the value i becomes.
#pragma once

#include <array>
#include <cstdint>

namespace korvex::workflow {

using ByteCurve = std::array<uint8_t, 256>;

}  // namespace korvex::workflow
