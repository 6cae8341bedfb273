// Text watermarks, rasterised by Qt's font engine. Safe on any thread once a QGuiApplication
// exists: the text is drawn into an image, never onto a window.
#pragma once

#include "engine/bitmap/bitmap24.h"
#include "workflow/watermark_entry.h"

namespace korvex::workflow {

// Draws mark.WmText in mark.WmFont into the box (TextLeft, TextTop, TextWidth, TextHeight),
// starting at its top-left corner and cut off at its edges, and blends the box into the frame
// with TextAlpha. With OpaqueBack the whole box is BackColor behind the letters; without it
// only the letters change the frame. Font sizes are points at 96 dots per inch of the frame.
void DrawTextWatermark(engine::Bitmap24& frame, const TWmRec& mark);

}  // namespace korvex::workflow
