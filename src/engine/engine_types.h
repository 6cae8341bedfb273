// Values shared by every engine component.
#pragma once

#include <cstdint>
#include <limits>

namespace korvex::engine {

// Times crossing an engine boundary are microseconds; this value means "not set".
inline constexpr int64_t kNoTimestamp = std::numeric_limits<int64_t>::min();

}  // namespace korvex::engine
