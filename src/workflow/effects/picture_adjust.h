// Brightness, contrast and saturation of a video frame, adjusted in place in one pass. The
// look-up tables are built on every call; the pixels then go through them with the widest
// vector instructions the processor has (picture_adjust_paths.h), all giving the same bytes.
#pragma once

#include "engine/bitmap/bitmap24.h"

namespace korvex::workflow {

// Brightness 256 keeps the values (255 lowers every value from 2 up by one), contrast 0 keeps
// them, saturation 255 and 256 keep the colours and 0 turns them grey. Contrast bends the values
// around 170: above 0 it steepens the curve, below 0 it flattens it, and -100 leaves 170 alone.
// A negative saturation counts as 0; one above 65535 as 65535.
void AdjustPicture(engine::Bitmap24& frame, int brightness, int contrast, int saturation);

}  // namespace korvex::workflow
