// The exposure path for AVX2: 32 bytes per step, the frame's buffer taken as one run of bytes
// (padding included), the last few bytes one by one.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "workflow/effects/byte_lookup_avx2.h"
#include "workflow/effects/exposure_adjust_paths.h"

namespace korvex::workflow {

__attribute__((target("avx2"))) void AdjustExposureAvx2(engine::Bitmap24& frame,
                                                        const ByteCurve& curve) {
  const ByteCurveAvx2 table = LoadByteCurveAvx2(curve);
  uint8_t* bytes = frame.Data();
  const size_t count = frame.SizeBytes();
  size_t i = 0;
  for (; i + 32 <= count; i += 32) {
    auto* at = reinterpret_cast<__m256i*>(bytes + i);
    _mm256_storeu_si256(at, LookUpAvx2(_mm256_loadu_si256(at), table));
  }
  for (; i < count; ++i) bytes[i] = curve[bytes[i]];
}

}  // namespace korvex::workflow
