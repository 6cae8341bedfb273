#include "workflow/effects/frame_effects.h"

#include <mutex>

#include "workflow/effects/exposure_adjust.h"
#include "workflow/effects/picture_adjust.h"
#include "workflow/effects/picture_watermark.h"
#include "workflow/effects/text_watermark.h"

namespace korvex::workflow {

void ApplyFrameEffects(engine::Bitmap24& frame, const FrameEffects& effects, int64_t pts_us) {
  const std::lock_guard<std::mutex> canvas(frame.Canvas());
  // Brightness 255 is not the identity of AdjustPicture (it lowers values by one step), so the
  // neutral settings must skip the pass rather than run it.
  if (effects.Brightness != kNeutralBrightness || effects.Contrast != kNeutralContrast ||
      effects.Saturation != kNeutralSaturation) {
    AdjustPicture(frame, effects.Brightness, effects.Contrast, effects.Saturation);
  }
  if (effects.Exposure != kNeutralExposure) AdjustExposure(frame, effects.Exposure);

  const int64_t second = pts_us / 1000000;
  for (const TWmRec& mark : effects.Watermarks) {
    if (second < mark.StartSec || second > mark.EndSec) continue;
    if (mark.WmKind == kTextWatermark && !mark.WmText.empty()) DrawTextWatermark(frame, mark);
    if (mark.WmKind == kPictureWatermark && !mark.ImageFile.empty()) {
      DrawPictureWatermark(frame, mark, effects.Pictures);
    }
  }
}

}  // namespace korvex::workflow
