// Picture watermarks: a BMP file blended over the frame at its own size.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "engine/bitmap/bitmap24.h"
#include "workflow/watermark_entry.h"

namespace korvex::workflow {

// The pictures of a job's watermarks, each file read once for the whole conversion rather than
// once per frame. A file that cannot be read or decoded is remembered as such.
class WatermarkPictures {
 public:
  // The picture of the file, or nullptr when it cannot be read.
  const engine::Bitmap24* Picture(const std::string& file);

 private:
  std::map<std::string, std::optional<engine::Bitmap24>> pictures_;
};

// Blends the picture of mark.ImageFile (a BMP of any depth the reader takes) into the frame with
// its top-left corner at (ImageLeft, ImageTop) and ImageAlpha. A file that cannot be read draws
// nothing: the conversion goes on without that watermark.
void DrawPictureWatermark(engine::Bitmap24& frame, const TWmRec& mark, WatermarkPictures& pictures);

}  // namespace korvex::workflow
