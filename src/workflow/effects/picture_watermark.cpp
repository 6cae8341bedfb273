#include "workflow/effects/picture_watermark.h"

#include "engine/bitmap/bitmap_error.h"
#include "engine/bitmap/bmp_file.h"
#include "workflow/effects/bitmap_blend.h"

namespace korvex::workflow {

const engine::Bitmap24* WatermarkPictures::Picture(const std::string& file) {
  auto [entry, added] = pictures_.try_emplace(file);
  if (added) {
    try {
      entry->second = engine::ReadBmpFile(file);
    } catch (const engine::BitmapError&) {
      // A missing or broken picture must not stop the conversion on the worker thread; the
      // frames simply go out without this watermark.
    }
  }
  return entry->second ? &*entry->second : nullptr;
}

void DrawPictureWatermark(engine::Bitmap24& frame, const TWmRec& mark,
                          WatermarkPictures& pictures) {
  if (const engine::Bitmap24* picture = pictures.Picture(mark.ImageFile))
    BlendBitmap(frame, *picture, mark.ImageLeft, mark.ImageTop, mark.ImageAlpha);
}

}  // namespace korvex::workflow
