// Exposure of a video frame, adjusted in place. The curve is built on every call; every byte
// of the frame then goes through it, with the widest vector instructions the processor has
// (exposure_adjust_paths.h).
#pragma once

#include "engine/bitmap/bitmap24.h"

namespace korvex::workflow {

// Exposure 0 keeps the values; above 0 lifts them towards 255, below 0 lowers them towards 0.
// 0 and 255 stay as they are whatever the exposure. Every channel follows the same curve.
void AdjustExposure(engine::Bitmap24& frame, int exposure);

}  // namespace korvex::workflow
