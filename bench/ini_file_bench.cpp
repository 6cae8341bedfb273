// Cost of the settings file: every read opens and parses the whole file, every write parses
// it, rewrites it beside the old one, syncs it and renames it. The file has the size of the
// application's settings: a section per output format, each with the keys of a profile.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "platform/ini_document.h"
#include "platform/ini_file.h"

namespace {

using korvex::platform::IniDocument;
using korvex::platform::IniFile;

constexpr int kSections = 25;

constexpr std::array<const char*, 30> kKeys = {
    "Format",           "FileExt",        "VideoSize",        "VideoBitRate", "FrameRate",
    "VideoEncoder",     "AudioBitRate",   "SampleRate",       "AudioEncoder", "Channel",
    "Volume",           "iVideoSize",     "iVideoBitRate",    "iFrameRate",   "iVideoEncoder",
    "iAudioBitRate",    "iSampleRate",    "iAudioEncoder",    "iChannel",     "iVolume",
    "paraVideoBitRate", "paraSampleRate", "paraAudioBitRate", "paraBitExact", "paraMaxBitrate",
    "paraBufferSize",   "paraLevel",      "paraQscale",       "paraGop",      "paraCoder"};

std::string SectionName(int index) { return "formatInfo" + std::to_string(index * 100); }

// The option lists of a profile for its first keys, the chosen entries and extras after them.
constexpr std::array<const char*, 11> kLists = {
    "mp4",
    "mp4",
    "as source,128x96,176x144,320x240,352x288,480x320,640x480,720x480,720x576,1280x720",
    "as source,256,384,512,768,1000,1500,2000,3000,5000,8000",
    "as source,15,23.976,24,25,29.97,30",
    "MPEG-4,H264,MJPEG",
    "as source,32,48,64,96,128,160,192,256,320",
    "as source,8000,11025,16000,22050,32000,44100,48000",
    "AAC,MP3,PCM-16bit",
    "as source,mono 1 channel,stereo 2 channels",
    "25%,50%,75%,100%,125%,150%,175%,200%,250%,300%"};

std::string ValueOf(size_t key) {
  return key < kLists.size() ? kLists[key] : std::to_string(key * 7 % 13);
}

std::string SettingsText() {
  std::string text = "; Korvex Video Converter settings\n";
  for (int s = 0; s < kSections; ++s) {
    text += "\n[" + SectionName(s) + "]\n";
    for (size_t k = 0; k < kKeys.size(); ++k)
      text += std::string(kKeys[k]) + "=" + ValueOf(k) + "\n";
  }
  return text;
}

// A fresh folder under the system's temporary folder holding the settings file; removed with
// everything in it at the end of the benchmark.
class SettingsFolder {
 public:
  SettingsFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvex-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::system_error(errno, std::generic_category());
    folder_ = pattern;
    std::ofstream(Path(), std::ios::binary) << SettingsText();
  }
  SettingsFolder(const SettingsFolder&) = delete;
  SettingsFolder& operator=(const SettingsFolder&) = delete;
  ~SettingsFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string Path() const { return (folder_ / "korvex.ini").string(); }

 private:
  std::filesystem::path folder_;
};

// Reads rotate over every key of every section, so the position in the file averages out.
void BM_IniFileReadString(benchmark::State& state) {
  SettingsFolder folder;
  const IniFile ini(folder.Path());
  size_t n = 0;
  for (auto _ : state) {
    const size_t key = n % kKeys.size();
    const int section = static_cast<int>(n / kKeys.size() % kSections);
    benchmark::DoNotOptimize(ini.ReadString(SectionName(section), kKeys[key], ""));
    ++n;
  }
}
BENCHMARK(BM_IniFileReadString);

// Writes replace existing values in turn, so the file keeps its size.
void BM_IniFileWriteString(benchmark::State& state) {
  SettingsFolder folder;
  IniFile ini(folder.Path());
  size_t n = 0;
  for (auto _ : state) {
    const size_t key = n % kKeys.size();
    const int section = static_cast<int>(n / kKeys.size() % kSections);
    ini.WriteString(SectionName(section), kKeys[key], std::to_string(n % 1000));
    ++n;
  }
}
BENCHMARK(BM_IniFileWriteString);

void BM_IniDocumentParse(benchmark::State& state) {
  const std::string text = SettingsText();
  for (auto _ : state) benchmark::DoNotOptimize(IniDocument::Parse(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["file_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_IniDocumentParse);

}  // namespace

BENCHMARK_MAIN();
