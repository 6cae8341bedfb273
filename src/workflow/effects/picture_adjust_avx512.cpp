// The picture path for AVX-512 VBMI: 64 pixels (192 bytes, three registers) per step. Byte
// permutes pull each channel of 32 pixels into 16-bit lanes, the saturation arithmetic runs
// there, and after the light table the permutes weave the channels back into pixels.
#include <immintrin.h>

#include <array>
#include <cstdint>

#include "workflow/effects/byte_lookup_avx512.h"
#include "workflow/effects/picture_adjust_paths.h"

// GCC at -O2 keeps short loops over arrays of registers as loops, with the arrays in memory;
// "#pragma GCC unroll" unrolls them fully so that the values stay in registers.

namespace korvex::workflow {

namespace {

constexpr int kBlockPixels = 64;

using ByteIndex = std::array<uint8_t, 64>;

// Channel `channel` of pixels 32 half .. 32 half + 31 into the low bytes of 16-bit lanes.
// Those pixels lie in the block's registers `half` and `half + 1`; the index counts bytes from
// the start of the first. The high bytes are zeroed by the mask kLowBytes.
constexpr ByteIndex SpreadIndex(int half, int channel) {
  ByteIndex index{};
  for (int p = 0; p < 32; ++p) {
    index[2 * p] = static_cast<uint8_t>(3 * (32 * half + p) + channel - 64 * half);
  }
  return index;
}

// By half, then channel.
constexpr std::array<ByteIndex, 6> kSpread = {SpreadIndex(0, 0), SpreadIndex(0, 1),
                                              SpreadIndex(0, 2), SpreadIndex(1, 0),
                                              SpreadIndex(1, 1), SpreadIndex(1, 2)};
constexpr __mmask64 kLowBytes = 0x5555555555555555;

// Where pixel p lands when a channel's two halves are packed back into bytes: vpackuswb works
// 128 bits at a time, 8 pixels of the first half, then the same 8 of the second.
constexpr int PackedByte(int pixel) {
  return 16 * (pixel % 32 / 8) + pixel % 8 + (pixel >= 32 ? 8 : 0);
}

// Bytes 64 reg .. 64 reg + 63 of the block from the packed channels: channels 0 and 1 through
// vpermi2b over the pair (channel 0, channel 1), channel 2 through vpermb, which reads only
// the low six bits.
constexpr ByteIndex WeaveIndex(int reg) {
  ByteIndex index{};
  for (int j = 0; j < 64; ++j) {
    const int byte = 64 * reg + j;
    index[j] = static_cast<uint8_t>(PackedByte(byte / 3) + (byte % 3 == 1 ? 64 : 0));
  }
  return index;
}

constexpr __mmask64 ThirdChannelBytes(int reg) {
  __mmask64 mask = 0;
  for (int j = 0; j < 64; ++j) {
    if ((64 * reg + j) % 3 == 2) mask |= __mmask64{1} << j;
  }
  return mask;
}

constexpr std::array<ByteIndex, 3> kWeave = {WeaveIndex(0), WeaveIndex(1), WeaveIndex(2)};
constexpr std::array<__mmask64, 3> kThirdChannel = {ThirdChannelBytes(0), ThirdChannelBytes(1),
                                                    ThirdChannelBytes(2)};

// The first `count` bytes of a register (none for a count up to 0, all from 64 on).
constexpr __mmask64 FirstBytes(int count) {
  if (count <= 0) return 0;
  if (count >= 64) return ~__mmask64{0};
  return (__mmask64{1} << count) - 1;
}

// S = 256 high + low, in every 16-bit lane.
struct SaturationAvx512 {
  __m512i high;
  __m512i low;
};

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline __m512i LoadIndex(
    const ByteIndex& index) {
  return _mm512_loadu_si512(index.data());
}

// Q(m) = ((m + 1) S) >> 8 exactly in 16 bits: the product is (m + 1) high 256 + (m + 1) low,
// both parts at most 256 * 255, and the first a whole multiple of 256, so only the second
// needs the shift.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline __m512i Scale(
    __m512i value, const SaturationAvx512& saturation) {
  const __m512i next = _mm512_add_epi16(value, _mm512_set1_epi16(1));
  return _mm512_add_epi16(_mm512_mullo_epi16(next, saturation.high),
                          _mm512_srli_epi16(_mm512_mullo_epi16(next, saturation.low), 8));
}

// The three channels of 32 pixels in 16-bit lanes become clamp(g - Q(g) + Q(c), 0, 255).
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline void Saturate(
    __m512i (&channels)[3], const SaturationAvx512& saturation) {
  const __m512i sum = _mm512_add_epi16(_mm512_add_epi16(channels[0], channels[1]), channels[2]);
  // sum / 3: 21846 / 65536 is 1/3 plus 1/98304, too little to carry any sum up to 765 past
  // the next whole number.
  const __m512i grey = _mm512_mulhi_epu16(sum, _mm512_set1_epi16(21846));
  const __m512i grey_scale = Scale(grey, saturation);
  // g - Q(g) + Q(c) without leaving unsigned 16 bits: g - Q(g) splits into the part above 0
  // (rise) and the part below (fall), one of them 0. Adding a rise cannot pass 65535, as a rise
  // means S < 256 and so Q(c) <= 255; subtracting a fall stops at 0 exactly where the signed
  // result would go below it; the minimum caps the result at 255.
  const __m512i rise = _mm512_subs_epu16(grey, grey_scale);
  const __m512i fall = _mm512_subs_epu16(grey_scale, grey);
#pragma GCC unroll 16
  for (__m512i& channel : channels) {
    const __m512i raised = _mm512_adds_epu16(Scale(channel, saturation), rise);
    channel = _mm512_min_epu16(_mm512_subs_epu16(raised, fall), _mm512_set1_epi16(255));
  }
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) inline void AdjustBlock(
    __m512i (&block)[3], const SaturationAvx512& saturation, const ByteCurveAvx512& light) {
  __m512i halves[2][3];
#pragma GCC unroll 16
  for (int half = 0; half < 2; ++half) {
#pragma GCC unroll 16
    for (int channel = 0; channel < 3; ++channel) {
      halves[half][channel] = _mm512_maskz_permutex2var_epi8(
          kLowBytes, block[half], LoadIndex(kSpread[3 * half + channel]), block[half + 1]);
    }
    Saturate(halves[half], saturation);
  }
  __m512i packed[3];
#pragma GCC unroll 16
  for (int channel = 0; channel < 3; ++channel) {
    packed[channel] =
        LookUpAvx512(_mm512_packus_epi16(halves[0][channel], halves[1][channel]), light);
  }
#pragma GCC unroll 16
  for (int reg = 0; reg < 3; ++reg) {
    const __m512i index = LoadIndex(kWeave[reg]);
    const __m512i first_two = _mm512_permutex2var_epi8(packed[0], index, packed[1]);
    block[reg] = _mm512_mask_permutexvar_epi8(first_two, kThirdChannel[reg], index, packed[2]);
  }
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void AdjustRow(
    uint8_t* row, int width, const SaturationAvx512& saturation, const ByteCurveAvx512& light) {
  int x = 0;
  for (; x + kBlockPixels <= width; x += kBlockPixels) {
    uint8_t* at = row + 3 * x;
    __m512i block[3];
#pragma GCC unroll 16
    for (int reg = 0; reg < 3; ++reg) block[reg] = _mm512_loadu_si512(at + 64 * reg);
    AdjustBlock(block, saturation, light);
#pragma GCC unroll 16
    for (int reg = 0; reg < 3; ++reg) _mm512_storeu_si512(at + 64 * reg, block[reg]);
  }
  if (x == width) return;
  // The last pixels of the row: masked loads read nothing past them (neither the padding nor
  // the next row), masked stores write nothing there.
  uint8_t* at = row + 3 * x;
  const int bytes = 3 * (width - x);
  __mmask64 masks[3];
  __m512i block[3];
#pragma GCC unroll 16
  for (int reg = 0; reg < 3; ++reg) {
    masks[reg] = FirstBytes(bytes - 64 * reg);
    block[reg] = _mm512_maskz_loadu_epi8(masks[reg], at + 64 * reg);
  }
  AdjustBlock(block, saturation, light);
#pragma GCC unroll 16
  for (int reg = 0; reg < 3; ++reg) _mm512_mask_storeu_epi8(at + 64 * reg, masks[reg], block[reg]);
}

}  // namespace

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void AdjustPictureAvx512Vbmi(
    engine::Bitmap24& frame, const PictureCurves& curves) {
  const ByteCurveAvx512 light = LoadByteCurveAvx512(curves.light);
  const SaturationAvx512 saturation{
      _mm512_set1_epi16(static_cast<int16_t>(curves.saturation >> 8)),
      _mm512_set1_epi16(static_cast<int16_t>(curves.saturation & 0xFF))};
  for (int y = 0; y < frame.Height(); ++y) {
    AdjustRow(frame.Row(y), frame.Width(), saturation, light);
  }
}

}  // namespace korvex::workflow
