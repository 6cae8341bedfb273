// The ways AdjustExposure runs, one per instruction set, behind the dispatch in
// exposure_adjust.cpp; tests hold each against the scalar one. All give the same pixels bit for
// bit.
#pragma once

#include "engine/bitmap/bitmap24.h"
#include "workflow/effects/byte_curve.h"

namespace korvex::workflow {

// The exposure curve, built once per frame: each channel value i becomes entry i.
ByteCurve ExposureCurve(int exposure);

// Each maps every channel of the frame through `curve`, in place. The scalar path keeps the
// row padding as it is; the vector paths treat the whole buffer as one run of bytes and map
// the padding too (0 stays 0 on every exposure curve).
void AdjustExposureScalar(engine::Bitmap24& frame, const ByteCurve& curve);
// Only where CpuHasAvx2().
void AdjustExposureAvx2(engine::Bitmap24& frame, const ByteCurve& curve);
// Only where CpuHasAvx512Vbmi().
void AdjustExposureAvx512Vbmi(engine::Bitmap24& frame, const ByteCurve& curve);

}  // namespace korvex::workflow
