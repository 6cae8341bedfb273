// A 256-entry byte table applied to 64 bytes at once with AVX-512 VBMI: vpermi2b looks up 128
// entries held in two registers, so one look-up takes the lower half of the table, one the
// upper half, and the index's top bit chooses between them. Include only from code compiled
// for those instructions (functions marked target("avx512f,avx512bw,avx512vbmi")).
#pragma once

#include <immintrin.h>

#include "workflow/effects/byte_curve.h"

namespace korvex::workflow {

struct ByteCurveAvx512 {
  // Quarter q holds entries 64 q .. 64 q + 63.
  __m512i quarters[4];
};

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline ByteCurveAvx512 LoadByteCurveAvx512(
    const ByteCurve& curve) {
  ByteCurveAvx512 loaded;
  for (int q = 0; q < 4; ++q) loaded.quarters[q] = _mm512_loadu_si512(curve.data() + 64 * q);
  return loaded;
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline __m512i LookUpAvx512(
    __m512i index, const ByteCurveAvx512& curve) {
  // vpermi2b uses the index's low seven bits.
  const __m512i lower = _mm512_permutex2var_epi8(curve.quarters[0], index, curve.quarters[1]);
  const __m512i upper = _mm512_permutex2var_epi8(curve.quarters[2], index, curve.quarters[3]);
  return _mm512_mask_blend_epi8(_mm512_movepi8_mask(index), lower, upper);
}

}  // namespace korvex::workflow
