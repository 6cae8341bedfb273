// The probe reads whatever file the user adds to the job list. For any bytes: loading either
// fails with a message and leaves the probe empty, or succeeds with consistent counts (header
// figures such as a width of -1 are passed on as the file states them), and every
// query on the loaded file (records, kind tests, the description) completes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/engine_logger.h"
#include "engine/media_probe.h"
#include "fuzz_check.h"

namespace {

using namespace korvex::engine;

TMediaProbe& Probe() {
  static TMediaProbe* probe = [] {
    TEngineLogger::Instance().SetLogLevel(llQuiet);
    static TMediaProbe instance;
    KORVEX_FUZZ_CHECK(instance.LoadAVLib(""));
    return &instance;
  }();
  return *probe;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMediaProbe& probe = Probe();
  // The input lives in an anonymous memory file that the probe opens by its /proc name.
  const int fd = memfd_create("korvex-probe-input", 0);
  KORVEX_FUZZ_CHECK(fd >= 0);
  KORVEX_FUZZ_CHECK(size == 0 || write(fd, data, size) == static_cast<ssize_t>(size));
  const std::string path = "/proc/self/fd/" + std::to_string(fd);

  if (!probe.LoadFile(path)) {
    KORVEX_FUZZ_CHECK(!probe.LastErrMsg().empty());
    KORVEX_FUZZ_CHECK(probe.StreamCount() == -1 && probe.FileName().empty());
  } else {
    KORVEX_FUZZ_CHECK(probe.FileName() == path);
    KORVEX_FUZZ_CHECK(probe.FileSize() == static_cast<int64_t>(size));
    KORVEX_FUZZ_CHECK(probe.VideoStreamCount() + probe.AudioStreamCount() +
                          probe.SubtitleStreamCount() <=
                      probe.StreamCount());
    KORVEX_FUZZ_CHECK((probe.FirstVideoStream() >= 0) == (probe.VideoStreamCount() > 0));
    TFileStreamInfo file;
    probe.GetFileStreamInfo(file);
    TVideoStreamInfo video;
    probe.GetVideoStreamInfo(-1, video);
    KORVEX_FUZZ_CHECK(video.CodecDesc.empty() == (probe.VideoStreamCount() == 0));
    TAudioStreamInfo audio;
    probe.GetAudioStreamInfo(-1, audio);
    KORVEX_FUZZ_CHECK(audio.CodecDesc.empty() == (probe.AudioStreamCount() == 0));
    for (int index = 0; index < probe.StreamCount(); ++index) {
      KORVEX_FUZZ_CHECK(!(probe.IsAudioStream(index) && probe.IsVideoStream(index)));
    }
    const std::string text = probe.InfoText();
    KORVEX_FUZZ_CHECK(text.rfind("File Name: " + path + "\n", 0) == 0);
    probe.CloseFile();
  }
  close(fd);
  return 0;
}
