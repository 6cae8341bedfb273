// The picture path for AVX2: 32 pixels (96 bytes) per step, as two groups of 16 pixels, one in
// each 128-bit half of the registers, since vpshufb moves bytes only within a half. Shuffles
// pull the channels apart, the saturation arithmetic runs in 16-bit lanes, and after the light
// table the shuffles weave the channels back into pixels.
#include <immintrin.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "workflow/effects/byte_lookup_avx2.h"
#include "workflow/effects/picture_adjust_paths.h"

// GCC at -O2 keeps short loops over arrays of registers as loops, with the arrays in memory;
// "#pragma GCC unroll" unrolls them fully so that the values stay in registers.

namespace korvex::workflow {

namespace {

constexpr int kGroupBytes = 48;
constexpr int kBlockPixels = 32;
constexpr int kBlockBytes = 3 * kBlockPixels;

// A vpshufb control, the same in both halves; 0x80 gives a zero byte.
using ShuffleIndex = std::array<uint8_t, 32>;

// Register `part` holds bytes 16 part .. 16 part + 15 of each group. Channel `channel` of the
// group's pixel p is its byte 3 p + channel: this takes the pixels whose byte lies in `part`.
constexpr ShuffleIndex GatherIndex(int part, int channel) {
  ShuffleIndex index{};
  for (int half = 0; half < 2; ++half) {
    for (int p = 0; p < 16; ++p) {
      const int byte = 3 * p + channel - 16 * part;
      index[16 * half + p] = static_cast<uint8_t>(byte >= 0 && byte < 16 ? byte : 0x80);
    }
  }
  return index;
}

// The reverse: the bytes of `part` that belong to channel `channel`, from its register of
// 16 pixels a half.
constexpr ShuffleIndex ScatterIndex(int part, int channel) {
  ShuffleIndex index{};
  for (int half = 0; half < 2; ++half) {
    for (int j = 0; j < 16; ++j) {
      const int byte = 16 * part + j;
      index[16 * half + j] = static_cast<uint8_t>(byte % 3 == channel ? byte / 3 : 0x80);
    }
  }
  return index;
}

// By part, then channel.
constexpr std::array<ShuffleIndex, 9> kGather = {
    GatherIndex(0, 0), GatherIndex(0, 1), GatherIndex(0, 2), GatherIndex(1, 0), GatherIndex(1, 1),
    GatherIndex(1, 2), GatherIndex(2, 0), GatherIndex(2, 1), GatherIndex(2, 2)};
constexpr std::array<ShuffleIndex, 9> kScatter = {
    ScatterIndex(0, 0), ScatterIndex(0, 1), ScatterIndex(0, 2),
    ScatterIndex(1, 0), ScatterIndex(1, 1), ScatterIndex(1, 2),
    ScatterIndex(2, 0), ScatterIndex(2, 1), ScatterIndex(2, 2)};

// S = 256 high + low, in every 16-bit lane.
struct SaturationAvx2 {
  __m256i high;
  __m256i low;
};

__attribute__((target("avx2"))) inline __m256i LoadIndex(const ShuffleIndex& index) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(index.data()));
}

// Q(m) = ((m + 1) S) >> 8 exactly in 16 bits: the product is (m + 1) high 256 + (m + 1) low,
// both parts at most 256 * 255, and the first a whole multiple of 256, so only the second
// needs the shift.
__attribute__((target("avx2"))) inline __m256i Scale(__m256i value,
                                                     const SaturationAvx2& saturation) {
  const __m256i next = _mm256_add_epi16(value, _mm256_set1_epi16(1));
  return _mm256_add_epi16(_mm256_mullo_epi16(next, saturation.high),
                          _mm256_srli_epi16(_mm256_mullo_epi16(next, saturation.low), 8));
}

// The three channels of 16 pixels in 16-bit lanes become clamp(g - Q(g) + Q(c), 0, 255).
__attribute__((target("avx2"))) inline void Saturate(__m256i (&channels)[3],
                                                     const SaturationAvx2& saturation) {
  const __m256i sum = _mm256_add_epi16(_mm256_add_epi16(channels[0], channels[1]), channels[2]);
  // sum / 3: 21846 / 65536 is 1/3 plus 1/98304, too little to carry any sum up to 765 past
  // the next whole number.
  const __m256i grey = _mm256_mulhi_epu16(sum, _mm256_set1_epi16(21846));
  const __m256i grey_scale = Scale(grey, saturation);
  // g - Q(g) + Q(c) without leaving unsigned 16 bits: g - Q(g) splits into the part above 0
  // (rise) and the part below (fall), one of them 0. Adding a rise cannot pass 65535, as a rise
  // means S < 256 and so Q(c) <= 255; subtracting a fall stops at 0 exactly where the signed
  // result would go below it; the minimum caps the result at 255.
  const __m256i rise = _mm256_subs_epu16(grey, grey_scale);
  const __m256i fall = _mm256_subs_epu16(grey_scale, grey);
#pragma GCC unroll 16
  for (__m256i& channel : channels) {
    const __m256i raised = _mm256_adds_epu16(Scale(channel, saturation), rise);
    channel = _mm256_min_epu16(_mm256_subs_epu16(raised, fall), _mm256_set1_epi16(255));
  }
}

// The three registers of a block hold the two groups' parts 0, 1 and 2.
__attribute__((target("avx2"))) inline void AdjustBlock(__m256i (&block)[3],
                                                        const SaturationAvx2& saturation,
                                                        const ByteCurveAvx2& light) {
  __m256i low[3];
  __m256i high[3];
#pragma GCC unroll 16
  for (int channel = 0; channel < 3; ++channel) {
    __m256i values = _mm256_setzero_si256();
#pragma GCC unroll 16
    for (int part = 0; part < 3; ++part) {
      values = _mm256_or_si256(
          values, _mm256_shuffle_epi8(block[part], LoadIndex(kGather[3 * part + channel])));
    }
    // Unpacking and the vpackuswb below both work half by half, so the pixels come back in
    // the order they went in.
    low[channel] = _mm256_unpacklo_epi8(values, _mm256_setzero_si256());
    high[channel] = _mm256_unpackhi_epi8(values, _mm256_setzero_si256());
  }
  Saturate(low, saturation);
  Saturate(high, saturation);
  __m256i packed[3];
#pragma GCC unroll 16
  for (int channel = 0; channel < 3; ++channel) {
    packed[channel] = LookUpAvx2(_mm256_packus_epi16(low[channel], high[channel]), light);
  }
#pragma GCC unroll 16
  for (int part = 0; part < 3; ++part) {
    __m256i bytes = _mm256_setzero_si256();
#pragma GCC unroll 16
    for (int channel = 0; channel < 3; ++channel) {
      bytes = _mm256_or_si256(
          bytes, _mm256_shuffle_epi8(packed[channel], LoadIndex(kScatter[3 * part + channel])));
    }
    block[part] = bytes;
  }
}

__attribute__((target("avx2"))) inline void AdjustBlockAt(uint8_t* at,
                                                          const SaturationAvx2& saturation,
                                                          const ByteCurveAvx2& light) {
  __m256i block[3];
#pragma GCC unroll 16
  for (int part = 0; part < 3; ++part) {
    const auto* first = reinterpret_cast<const __m128i*>(at + 16 * part);
    const auto* second = reinterpret_cast<const __m128i*>(at + kGroupBytes + 16 * part);
    block[part] = _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(first)),
                                          _mm_loadu_si128(second), 1);
  }
  AdjustBlock(block, saturation, light);
#pragma GCC unroll 16
  for (int part = 0; part < 3; ++part) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at + 16 * part),
                     _mm256_castsi256_si128(block[part]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(at + kGroupBytes + 16 * part),
                     _mm256_extracti128_si256(block[part], 1));
  }
}

__attribute__((target("avx2"))) void AdjustRow(uint8_t* row, int width,
                                               const SaturationAvx2& saturation,
                                               const ByteCurveAvx2& light) {
  int x = 0;
  for (; x + kBlockPixels <= width; x += kBlockPixels) {
    AdjustBlockAt(row + 3 * x, saturation, light);
  }
  if (x == width) return;
  // The last pixels of the row go through a block of their own, so that nothing past them
  // (the padding, the next row) is read or written.
  uint8_t block[kBlockBytes] = {};
  const int bytes = 3 * (width - x);
  std::memcpy(block, row + 3 * x, bytes);
  AdjustBlockAt(block, saturation, light);
  std::memcpy(row + 3 * x, block, bytes);
}

}  // namespace

__attribute__((target("avx2"))) void AdjustPictureAvx2(engine::Bitmap24& frame,
                                                       const PictureCurves& curves) {
  const ByteCurveAvx2 light = LoadByteCurveAvx2(curves.light);
  const SaturationAvx2 saturation{
      _mm256_set1_epi16(static_cast<int16_t>(curves.saturation >> 8)),
      _mm256_set1_epi16(static_cast<int16_t>(curves.saturation & 0xFF))};
  for (int y = 0; y < frame.Height(); ++y) {
    AdjustRow(frame.Row(y), frame.Width(), saturation, light);
  }
}

}  // namespace korvex::workflow
