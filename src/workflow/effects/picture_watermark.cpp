#include "workflow/effects/picture_watermark.h"

#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/bmp_file.h"
#include "workflow/effects/bitmap_blend.h"

namespace korvex::workflow {

void DrawPictureWatermark(engine::Bitmap24& frame, const TWmRec& mark) {
  engine::Bitmap24 picture;
  try {
    picture = engine::ReadBmpFile(mark.ImageFile);
  } catch (const engine::BitmapError&) {
    // A missing or broken picture must not stop the conversion on the worker thread; the
    // frame simply goes out without this watermark.
    return;
  }
  BlendBitmap(frame, picture, mark.ImageLeft, mark.ImageTop, mark.ImageAlpha);
}

}  // namespace korvex::workflow
