// Picture watermarks: a BMP file blended over the frame at its own size.
#pragma once

#include "engine/bitmap/bitmap24.h"
#include "workflow/watermark_entry.h"

namespace korvex::workflow {

// Reads mark.ImageFile (a BMP of any depth the reader takes) and blends it into the frame with
// its top-left corner at (ImageLeft, ImageTop) and ImageAlpha. A file that cannot be read or
// decoded draws nothing: the conversion goes on without that watermark.
void DrawPictureWatermark(engine::Bitmap24& frame, const TWmRec& mark);

}  // namespace korvex::workflow
