// Frames compared byte for byte, row padding included: the vector paths of the picture
// adjustments must give exactly what the scalar path gives.
#pragma once

#include <string>

#include "engine/bitmap/bitmap24.h"

namespace korvex::workflow::testing {

// Empty when both frames have the same size and the same bytes; otherwise where the first
// difference lies and both values there.
std::string FirstByteDifference(const engine::Bitmap24& actual, const engine::Bitmap24& expected);

}  // namespace korvex::workflow::testing
