// The cost of each per-frame operation on 1920 x 1080 frames, beside a plain copy of the frame
// as the yardstick. The argument is the number of frames taken in turn: 1 keeps the frame in
// the cache, as a frame just written by the decoder's colour conversion is; 12 (75 MB) runs
// from main memory on machines with less cache than that. The picture adjustments run once as
// dispatched and once on each of their paths; a path the processor lacks is skipped.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "engine/bitmap/bitmap24.h"
#include "workflow/effects/bitmap_blend.h"
#include "workflow/effects/cpu_vector_support.h"
#include "workflow/effects/exposure_adjust.h"
#include "workflow/effects/exposure_adjust_paths.h"
#include "workflow/effects/picture_adjust.h"
#include "workflow/effects/picture_adjust_paths.h"

namespace {

using korvex::engine::Bitmap24;

constexpr int kFrameWidth = 1920;
constexpr int kFrameHeight = 1080;

Bitmap24 NoiseBitmap(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  Bitmap24 bitmap(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * 3; ++x) bitmap.Row(y)[x] = static_cast<uint8_t>(random());
  }
  return bitmap;
}

std::vector<Bitmap24> Frames(const benchmark::State& state) {
  std::vector<Bitmap24> frames;
  for (int64_t i = 0; i < state.range(0); ++i) {
    frames.push_back(NoiseBitmap(kFrameWidth, kFrameHeight, static_cast<uint32_t>(i)));
  }
  return frames;
}

void CountFrameBytes(benchmark::State& state) {
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(Bitmap24(kFrameWidth, kFrameHeight).SizeBytes()));
}

void BM_CopyFrame(benchmark::State& state) {
  const std::vector<Bitmap24> sources = Frames(state);
  std::vector<Bitmap24> targets = sources;
  size_t next = 0;
  for (auto _ : state) {
    std::memcpy(targets[next].Data(), sources[next].Data(), sources[next].SizeBytes());
    benchmark::ClobberMemory();
    next = (next + 1) % sources.size();
  }
  CountFrameBytes(state);
}
BENCHMARK(BM_CopyFrame)->Arg(1)->Arg(12)->Unit(benchmark::kMicrosecond);

// Runs `adjust` on the frames in turn. Each frame gets its first pixels back outside the timed
// part, so every pass works on the same picture: repeated adjustments would otherwise drive
// the pixels to a few values and flatter the table look-ups.
template <typename Adjust>
void AdjustFrames(benchmark::State& state, Adjust adjust) {
  const std::vector<Bitmap24> originals = Frames(state);
  std::vector<Bitmap24> frames = originals;
  size_t next = 0;
  for (auto _ : state) {
    adjust(frames[next]);
    benchmark::ClobberMemory();
    state.PauseTiming();
    std::memcpy(frames[next].Data(), originals[next].Data(), originals[next].SizeBytes());
    next = (next + 1) % frames.size();
    state.ResumeTiming();
  }
  CountFrameBytes(state);
}

void BM_AdjustPicture(benchmark::State& state) {
  AdjustFrames(state,
               [](Bitmap24& frame) { korvex::workflow::AdjustPicture(frame, 200, 20, 300); });
}
BENCHMARK(BM_AdjustPicture)->Arg(1)->Arg(12)->Unit(benchmark::kMicrosecond);

void BM_AdjustExposure(benchmark::State& state) {
  AdjustFrames(state, [](Bitmap24& frame) { korvex::workflow::AdjustExposure(frame, 50); });
}
BENCHMARK(BM_AdjustExposure)->Arg(1)->Arg(12)->Unit(benchmark::kMicrosecond);

bool Always() { return true; }

// The per-frame tables are built inside the timed part, as the dispatched call builds them.
void BM_AdjustPicturePath(benchmark::State& state, bool (*supported)(),
                          void (*path)(Bitmap24&, const korvex::workflow::PictureCurves&)) {
  if (!supported()) {
    state.SkipWithError("the processor lacks this path's instructions");
    return;
  }
  AdjustFrames(state, [path](Bitmap24& frame) {
    path(frame, korvex::workflow::MakePictureCurves(200, 20, 300));
  });
}
BENCHMARK_CAPTURE(BM_AdjustPicturePath, Scalar, Always, korvex::workflow::AdjustPictureScalar)
    ->Arg(1)
    ->Arg(12)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AdjustPicturePath, Avx2, korvex::workflow::CpuHasAvx2,
                  korvex::workflow::AdjustPictureAvx2)
    ->Arg(1)
    ->Arg(12)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AdjustPicturePath, Avx512Vbmi, korvex::workflow::CpuHasAvx512Vbmi,
                  korvex::workflow::AdjustPictureAvx512Vbmi)
    ->Arg(1)
    ->Arg(12)
    ->Unit(benchmark::kMicrosecond);

void BM_AdjustExposurePath(benchmark::State& state, bool (*supported)(),
                           void (*path)(Bitmap24&, const korvex::workflow::ByteCurve&)) {
  if (!supported()) {
    state.SkipWithError("the processor lacks this path's instructions");
    return;
  }
  AdjustFrames(state,
               [path](Bitmap24& frame) { path(frame, korvex::workflow::ExposureCurve(50)); });
}
BENCHMARK_CAPTURE(BM_AdjustExposurePath, Scalar, Always, korvex::workflow::AdjustExposureScalar)
    ->Arg(1)
    ->Arg(12)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AdjustExposurePath, Avx2, korvex::workflow::CpuHasAvx2,
                  korvex::workflow::AdjustExposureAvx2)
    ->Arg(1)
    ->Arg(12)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AdjustExposurePath, Avx512Vbmi, korvex::workflow::CpuHasAvx512Vbmi,
                  korvex::workflow::AdjustExposureAvx512Vbmi)
    ->Arg(1)
    ->Arg(12)
    ->Unit(benchmark::kMicrosecond);

// A 400 x 100 box, the size of a line of watermark text.
void BM_BlendTextBox(benchmark::State& state) {
  Bitmap24 frame = NoiseBitmap(kFrameWidth, kFrameHeight, 100);
  const Bitmap24 box = NoiseBitmap(400, 100, 101);
  for (auto _ : state) {
    korvex::workflow::BlendBitmap(frame, box, 760, 900, 160);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_BlendTextBox)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
