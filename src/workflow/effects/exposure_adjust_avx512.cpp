// The exposure path for AVX-512 VBMI: 64 bytes per step, the frame's buffer taken as one run
// of bytes (padding included); masked loads and stores cover the end without touching memory
// past it.
#include <immintrin.h>

#include <cstddef>
#include <cstdint>

#include "workflow/effects/byte_lookup_avx512.h"
#include "workflow/effects/exposure_adjust_paths.h"

namespace korvex::workflow {

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void AdjustExposureAvx512Vbmi(
    engine::Bitmap24& frame, const ByteCurve& curve) {
  const ByteCurveAvx512 table = LoadByteCurveAvx512(curve);
  uint8_t* bytes = frame.Data();
  const size_t count = frame.SizeBytes();
  size_t i = 0;
  for (; i + 64 <= count; i += 64) {
    _mm512_storeu_si512(bytes + i, LookUpAvx512(_mm512_loadu_si512(bytes + i), table));
  }
  if (i < count) {
    const __mmask64 rest = (__mmask64{1} << (count - i)) - 1;
    _mm512_mask_storeu_epi8(bytes + i, rest,
                            LookUpAvx512(_mm512_maskz_loadu_epi8(rest, bytes + i), table));
  }
}

}  // namespace korvex::workflow
