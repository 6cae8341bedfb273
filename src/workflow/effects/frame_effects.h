// Everything a job does to each decoded frame: its picture adjustment, then its watermarks.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/bitmap/bitmap24.h"
#include "workflow/effects/picture_watermark.h"
#include "workflow/watermark_entry.h"

namespace korvex::workflow {

// The neutral values leave the frame alone: no adjustment runs for them.
inline constexpr int kNeutralBrightness = 255;
inline constexpr int kNeutralContrast = 0;
inline constexpr int kNeutralSaturation = 255;
inline constexpr int kNeutralExposure = 0;

struct FrameEffects {
  int Brightness = kNeutralBrightness;
  int Contrast = kNeutralContrast;
  int Saturation = kNeutralSaturation;
  int Exposure = kNeutralExposure;
  // In drawing order: later watermarks cover earlier ones.
  std::vector<TWmRec> Watermarks;
  // Filled as the watermarks' pictures are first needed; a cache, so it may change while the
  // effects are otherwise read only.
  mutable WatermarkPictures Pictures;
};

// Holds the frame's canvas lock throughout. Adjusts brightness, contrast and saturation
// unless all three are neutral, then the exposure unless it is 0, then draws each watermark
// whose span of whole seconds holds the frame's time pts_us / 1000000 (truncated): text
// watermarks with a text, picture watermarks with a file name.
void ApplyFrameEffects(engine::Bitmap24& frame, const FrameEffects& effects, int64_t pts_us);

}  // namespace korvex::workflow
