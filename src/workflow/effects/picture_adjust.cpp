#include "workflow/effects/picture_adjust.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "workflow/effects/cpu_vector_support.h"
#include "workflow/effects/picture_adjust_paths.h"

namespace korvex::workflow {

namespace {

// The nearest byte, halves to even (the default rounding mode); NaN gives 0.
uint8_t RoundToByte(double value) {
  if (value >= 255.0) return 255;
  if (!(value > 0.0)) return 0;
  return static_cast<uint8_t>(std::nearbyint(value));
}

// The contrast curve, pivoting on 170.
ByteCurve ContrastCurve(int contrast) {
  // 1 / cos(pi / 2) has no finite value: the top of the scale stops one step short.
  if (contrast == 100) contrast = 99;
  const double slope = contrast > 0 ? 1.0 / std::cos(contrast * std::numbers::pi / 200.0)
                                    : std::cos(contrast * 0.015708);
  ByteCurve curve;
  for (int i = 0; i < 256; ++i) curve[i] = RoundToByte((i - 170) * slope + 170.0);
  return curve;
}

// Brightness scales each value by brightness / 256 first, then the contrast curve applies.
ByteCurve LightTable(int brightness, const ByteCurve& contrast_curve) {
  ByteCurve table;
  for (int j = 0; j < 256; ++j) {
    // Integer division truncates toward zero, which the value 0 (j - 1 = -1) relies on.
    const int64_t scaled = (int64_t{brightness} * (j - 1) + 256) / 256;
    table[j] = contrast_curve[std::clamp<int64_t>(scaled, 0, 255)];
  }
  return table;
}

using PicturePath = void (*)(engine::Bitmap24&, const PictureCurves&);

PicturePath FastestPicturePath() {
  if (CpuHasAvx512Vbmi()) return AdjustPictureAvx512Vbmi;
  if (CpuHasAvx2()) return AdjustPictureAvx2;
  return AdjustPictureScalar;
}

}  // namespace

PictureCurves MakePictureCurves(int brightness, int contrast, int saturation) {
  return {LightTable(brightness, ContrastCurve(contrast)),
          static_cast<uint32_t>(std::clamp(saturation, 0, 65535))};
}

void AdjustPicture(engine::Bitmap24& frame, int brightness, int contrast, int saturation) {
  static const PicturePath path = FastestPicturePath();
  path(frame, MakePictureCurves(brightness, contrast, saturation));
}

}  // namespace korvex::workflow
