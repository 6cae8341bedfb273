// Blending a picture over a frame, the common last step of every watermark.
#pragma once

#include "engine/bitmap/bitmap24.h"

namespace korvex::workflow {

// Mixes `picture` into `frame` with its top-left corner at (x, y) of the frame; either may be
// negative. Only the part of the picture inside the frame is used and only that rectangle of
// the frame changes: each channel becomes (frame * (256 - alpha) + picture * alpha) >> 8.
// Alpha is clamped to 0..255; 0 leaves the frame as it is, 255 comes within one step of the
// picture. `picture` must be another bitmap than `frame`.
void BlendBitmap(engine::Bitmap24& frame, const engine::Bitmap24& picture, int x, int y, int alpha);

}  // namespace korvex::workflow
