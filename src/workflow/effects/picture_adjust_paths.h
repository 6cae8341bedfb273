// The ways AdjustPicture runs, one per instruction set, behind the dispatch in
// picture_adjust.cpp; tests hold each against the scalar one. All give the same frame bit for
// bit, and none touches the row padding.
//
// A channel c of a pixel whose channels sum to s ends as L[clamp(g - Q(g) + Q(c), 0, 255)]
// with the grey value g = s / 3 (truncated), the saturation scale Q(m) = ((m + 1) * S) >> 8
// and L the brightness-then-contrast table.
#pragma once

#include <cstdint>

#include "engine/bitmap/bitmap24.h"
#include "workflow/effects/byte_curve.h"

namespace korvex::workflow {

// What a frame's adjustment works from, built once per frame.
struct PictureCurves {
  // L: brightness, then contrast.
  ByteCurve light{};
  // S, 0 to 65535.
  uint32_t saturation = 0;
};

PictureCurves MakePictureCurves(int brightness, int contrast, int saturation);

void AdjustPictureScalar(engine::Bitmap24& frame, const PictureCurves& curves);
// Only where CpuHasAvx2().
void AdjustPictureAvx2(engine::Bitmap24& frame, const PictureCurves& curves);
// Only where CpuHasAvx512Vbmi().
void AdjustPictureAvx512Vbmi(engine::Bitmap24& frame, const PictureCurves& curves);

}  // namespace korvex::workflow
