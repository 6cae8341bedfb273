#include "workflow/effects/exposure_adjust.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "workflow/effects/cpu_vector_support.h"
#include "workflow/effects/exposure_adjust_paths.h"

namespace korvex::workflow {

namespace {

using ExposurePath = void (*)(engine::Bitmap24&, const ByteCurve&);

ExposurePath FastestExposurePath() {
  if (CpuHasAvx512Vbmi()) return AdjustExposureAvx512Vbmi;
  if (CpuHasAvx2()) return AdjustExposureAvx2;
  return AdjustExposureScalar;
}

}  // namespace

// Each value moves by a share e / 256 of its distance to 255 (or, for a negative exposure,
// by -e / 256 of that distance downwards), e = 256 * (1 - exp(-value * exposure / 16384))
// rounded to the nearest, halves to even.
ByteCurve ExposureCurve(int exposure) {
  const double x = exposure;
  ByteCurve curve;
  for (int i = 0; i < 256; ++i) {
    // A strongly negative exposure makes e huge; past -2^40 every value lands on 0 anyway,
    // and the bound keeps the 64-bit product below from overflowing.
    const double share = std::nearbyint(256.0 * (1.0 - std::exp(-i * x / 16384.0)));
    const int64_t e = static_cast<int64_t>(std::clamp(share, -1099511627776.0, 256.0));
    const int64_t shift = e * (255 - i);
    const int64_t value = x >= 0 ? i + (shift >> 8) : i - ((-shift) >> 8);
    curve[i] = static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255));
  }
  return curve;
}

void AdjustExposure(engine::Bitmap24& frame, int exposure) {
  static const ExposurePath path = FastestExposurePath();
  path(frame, ExposureCurve(exposure));
}

}  // namespace korvex::workflow
