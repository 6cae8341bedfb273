// Cost of adding a file to the job list: the probe loads the file and reads its first video
// and audio streams, for each kind of sample file. The files are the generator's samples in
// the build tree, so they sit in the page cache like a recently copied local file.
#include <benchmark/benchmark.h>

#include <stdexcept>

#include "engine/engine_logger.h"
#include "engine/media_probe.h"
#include "fixtures/sample_media.h"

namespace {

using namespace korvex::engine;
using korvex::fixtures::Sample;

void LoadAndReadStreams(benchmark::State& state, Sample sample) {
  TEngineLogger::Instance().SetLogLevel(llError);
  TMediaProbe probe;
  if (!probe.LoadAVLib("")) throw std::runtime_error(probe.LastErrMsg());
  const std::string path = korvex::fixtures::SamplePath(sample);
  for (auto _ : state) {
    if (!probe.LoadFile(path)) throw std::runtime_error(probe.LastErrMsg());
    TVideoStreamInfo video;
    TAudioStreamInfo audio;
    if (probe.VideoStreamCount() > 0) probe.GetVideoStreamInfo(-1, video);
    if (probe.AudioStreamCount() > 0) probe.GetAudioStreamInfo(-1, audio);
    benchmark::DoNotOptimize(video.Width + audio.SampleRate);
  }
}

BENCHMARK_CAPTURE(LoadAndReadStreams, avi_mpeg4_mp3, Sample::kAviMpeg4Mp3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndReadStreams, mp4_h264_aac, Sample::kMp4H264Aac)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndReadStreams, mkv_video_only, Sample::kMkvVideoOnly)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndReadStreams, m4a_audio_only, Sample::kM4aAudioOnly)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndReadStreams, ts_pal, Sample::kTsPal)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndReadStreams, tagged_mp3, Sample::kTaggedMp3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndReadStreams, no_duration_mkv, Sample::kNoDuration)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadAndReadStreams, truncated_avi, Sample::kTruncatedAvi)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
