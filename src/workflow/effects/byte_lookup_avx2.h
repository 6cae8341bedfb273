// A 256-entry byte table applied to 32 bytes at once with AVX2. vpshufb looks up only 16
// entries, so every index is looked up in each of the table's 16 slices of 16 entries and a
// tree of blends keeps the slice that the index's upper four bits name. Include only from
// code compiled for AVX2 (functions marked target("avx2")).
#pragma once

#include <immintrin.h>

#include "workflow/effects/byte_curve.h"

namespace korvex::workflow {

struct ByteCurveAvx2 {
  // Slice s holds entries 16 s .. 16 s + 15, repeated in both 128-bit halves, as vpshufb looks
  // up within each half.
  __m256i slices[16];
};

__attribute__((target("avx2"))) inline ByteCurveAvx2 LoadByteCurveAvx2(const ByteCurve& curve) {
  ByteCurveAvx2 loaded;
  for (int s = 0; s < 16; ++s) {
    loaded.slices[s] = _mm256_broadcastsi128_si256(
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(curve.data() + 16 * s)));
  }
  return loaded;
}

// The entry for the low four bits `low` in slices kFirst .. kFirst + kCount - 1 (kCount a power
// of two), the halves chosen by select[log2(kCount) - 1]. Depth first, so that only a few
// candidates are alive at once.
template <int kFirst, int kCount>
__attribute__((target("avx2"))) inline __m256i PickSlice(const ByteCurveAvx2& curve, __m256i low,
                                                         const __m256i (&select)[4]) {
  if constexpr (kCount == 1) {
    return _mm256_shuffle_epi8(curve.slices[kFirst], low);
  } else {
    constexpr int kHalf = kCount / 2;
    constexpr int kLevel = kCount == 2 ? 0 : kCount == 4 ? 1 : kCount == 8 ? 2 : 3;
    return _mm256_blendv_epi8(PickSlice<kFirst, kHalf>(curve, low, select),
                              PickSlice<kFirst + kHalf, kHalf>(curve, low, select), select[kLevel]);
  }
}

__attribute__((target("avx2"))) inline __m256i LookUpAvx2(__m256i index,
                                                          const ByteCurveAvx2& curve) {
  // vpshufb gives 0 for an index with its top bit set, so only the low four bits go in.
  const __m256i low = _mm256_and_si256(index, _mm256_set1_epi8(0x0F));
  // vpblendvb reads bit 7 of each byte; 16-bit shifts bring bit 4, 5 or 6 of each byte there
  // (what they carry in from the byte below lands in bits 0 to 2, which it ignores).
  const __m256i select[4] = {_mm256_slli_epi16(index, 3), _mm256_slli_epi16(index, 2),
                             _mm256_slli_epi16(index, 1), index};
  return PickSlice<0, 16>(curve, low, select);
}

}  // namespace korvex::workflow
