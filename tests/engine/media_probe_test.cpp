#include "engine/media_probe.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/codec_lock.h"
#include "engine/engine_logger.h"
#include "engine/library_loader.h"
#include "fixtures/sample_media.h"
#include "support/temp_environment.h"

namespace korvex::engine {
namespace {

using fixtures::Facts;
using fixtures::Sample;
using fixtures::SamplePath;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class MediaProbeTest : public korvex::testing::TempEnvironment {
 protected:
  void SetUp() override {
    TempEnvironment::SetUp();
    ASSERT_TRUE(probe.LoadAVLib(Root())) << probe.LastErrMsg();
    TEngineLogger::Instance().SetOnLog(
        [this](TEngineLogger*, uint32_t, TLogLevel level, const std::string& text) {
          // The libraries' own lines ("[AVFormatContext @ 0x...]...") are not the probe's.
          if (text.rfind("[", 0) != 0) logged.emplace_back(level, text);
        });
  }
  void TearDown() override {
    TEngineLogger::Instance().SetOnLog(nullptr);
    probe.CloseFile();
    TLibraryLoader::Instance().ResetForTesting();
    TempEnvironment::TearDown();
  }
  void ExpectEmpty() {
    EXPECT_EQ(probe.StreamCount(), -1);
    EXPECT_EQ(probe.VideoStreamCount(), -1);
    EXPECT_EQ(probe.FirstAudioStream(), -1);
    EXPECT_EQ(probe.FileSize(), -1);
    EXPECT_EQ(probe.FileName(), "");
    EXPECT_EQ(probe.FormatName(), "");
  }

  TMediaProbe probe;
  std::vector<std::pair<TLogLevel, std::string>> logged;
};

// Each sample that opens is counted and described as its facts say.
TEST_F(MediaProbeTest, SamplesAreCountedAndMeasured) {
  for (Sample sample : {Sample::kAviMpeg4Mp3, Sample::kMp4H264Aac, Sample::kMkvVideoOnly,
                        Sample::kM4aAudioOnly, Sample::kTsPal}) {
    SCOPED_TRACE(fixtures::SampleName(sample));
    const fixtures::SampleFacts& facts = Facts(sample);
    const std::string path = SamplePath(sample);
    ASSERT_TRUE(probe.LoadFile(path)) << probe.LastErrMsg();
    EXPECT_EQ(probe.FileName(), path);
    EXPECT_EQ(probe.FormatName(), facts.container);
    EXPECT_EQ(probe.FileSize(), static_cast<int64_t>(std::filesystem::file_size(path)));
    const bool has_video = facts.width > 0, has_audio = facts.sample_rate > 0;
    EXPECT_EQ(probe.StreamCount(), int{has_video} + int{has_audio});
    EXPECT_EQ(probe.VideoStreamCount(), int{has_video});
    EXPECT_EQ(probe.AudioStreamCount(), int{has_audio});
    EXPECT_EQ(probe.SubtitleStreamCount(), 0);
    EXPECT_EQ(probe.FirstVideoStream(), has_video ? 0 : -1);
    EXPECT_EQ(probe.FirstAudioStream(), has_audio ? (has_video ? 1 : 0) : -1);

    TFileStreamInfo file;
    probe.GetFileStreamInfo(file);
    EXPECT_NEAR(static_cast<double>(file.Duration), static_cast<double>(facts.duration_us), 60000);
    EXPECT_GT(file.BitRate, 0);
    if (has_video) {
      TVideoStreamInfo video;
      probe.GetVideoStreamInfo(-1, video);
      EXPECT_EQ(video.Width, facts.width);
      EXPECT_EQ(video.Height, facts.height);
      EXPECT_EQ(video.FrameRateNum * facts.frame_rate_den,
                facts.frame_rate_num * video.FrameRateDen);
      EXPECT_NEAR(video.DisplayAspect,
                  double(facts.width) * facts.sar_num / (double(facts.height) * facts.sar_den),
                  1e-4);
      EXPECT_EQ(video.PixelFormat, AV_PIX_FMT_YUV420P);
      EXPECT_TRUE(Contains(video.CodecDesc, facts.video_codec)) << video.CodecDesc;
      EXPECT_TRUE(probe.IsVideoStream(0));
    }
    if (has_audio) {
      TAudioStreamInfo audio;
      probe.GetAudioStreamInfo(-1, audio);
      EXPECT_EQ(audio.SampleRate, facts.sample_rate);
      EXPECT_EQ(audio.Channels, facts.channels);
      if (!facts.audio_language.empty()) {
        EXPECT_EQ(audio.Language, facts.audio_language);
      }
      EXPECT_GT(audio.BitRate, 0);
      EXPECT_GE(audio.SampleFormat, 0);
      EXPECT_TRUE(probe.IsAudioStream(probe.FirstAudioStream()));
    }
  }
  for (const auto& [level, text] : logged) ADD_FAILURE() << LogLevelName(level) << ": " << text;
}

TEST_F(MediaProbeTest, TheDescriptionOfATransportStream) {
  ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kTsPal)));
  const std::string text = probe.InfoText();
  EXPECT_EQ(text.rfind("File Name: " + SamplePath(Sample::kTsPal) +
                           "\nFormat Name: mpegts\n"
                           "Format Long Name: MPEG-TS (MPEG-2 Transport Stream)\nFile Size: ",
                       0),
            0u)
      << text;
  EXPECT_TRUE(Contains(text, "\nDuration: 00:00:01.0")) << text;
  EXPECT_TRUE(Contains(text, "\nProgram 1 FFmpeg@Service01\n  Metadata:\n")) << text;
  // The video line: stream id, time base, 4:3 from 720x576 at 16:15, and the rates.
  EXPECT_TRUE(Contains(text, "\nStream #0[0x100], 1/90000: Video: mpeg2video")) << text;
  EXPECT_TRUE(Contains(text, "720x576 [SAR 16:15 DAR 4:3], 25 fps, 25 tbr, 90k tbn, StartTime: "));
  // The audio stream's only tag is its language: shown in the line, with no tag block.
  const size_t audio = text.find("\nStream #1[0x101](eng), 1/90000: Audio: mp2");
  ASSERT_NE(audio, std::string::npos) << text;
  EXPECT_EQ(text.find("Metadata:", audio), std::string::npos) << text;
}

TEST_F(MediaProbeTest, RatesTagsAndMissingFigures) {
  ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kMp4H264Aac)));
  EXPECT_TRUE(Contains(probe.InfoText(), ", 29.97 fps, 29.97 tbr, 30k tbn")) << probe.InfoText();

  ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kTaggedMp3)));
  TFileStreamInfo file;
  probe.GetFileStreamInfo(file);
  EXPECT_EQ(file.Title, "Korvex Tone");
  EXPECT_EQ(file.Author, "Korvex Lab");
  EXPECT_EQ(file.Album, "Samples");
  EXPECT_EQ(file.Genre, "Test");
  EXPECT_EQ(file.Track, 3);
  EXPECT_EQ(file.Year, 2026);
  EXPECT_EQ(file.Timestamp, 0);
  EXPECT_TRUE(Contains(probe.InfoText(),
                       "\nMetadata:\n  title           : Korvex Tone\n"
                       "  artist          : Korvex Lab\n"))
      << probe.InfoText();

  ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kNoDuration)));
  probe.GetFileStreamInfo(file);
  EXPECT_EQ(file.Duration, -1);
  EXPECT_LE(file.BitRate, 0);
  const std::string text = probe.InfoText();
  EXPECT_TRUE(Contains(text, "\nDuration: N/A\n")) << text;
  EXPECT_TRUE(Contains(text, "\nBit Rate: N/A\n")) << text;
  EXPECT_TRUE(Contains(text, ", Duration: N/A")) << text;
}

TEST_F(MediaProbeTest, FilesThatCannotBeLoadedLeaveTheProbeEmpty) {
  const std::string missing = Root() + "/missing.avi";
  struct Case {
    std::string path, format, message;
    bool logged;
  };
  const Case cases[] = {
      {missing, "", missing + ": No such file or directory", true},
      {SamplePath(Sample::kNotMedia), "",
       SamplePath(Sample::kNotMedia) + ": Invalid data found when processing input", true},
      {SamplePath(Sample::kTruncatedMp4), "",
       SamplePath(Sample::kTruncatedMp4) + ": Invalid data found when processing input", true},
      {SamplePath(Sample::kAviMpeg4Mp3), "no_such_demuxer", "Unknown input format: no_such_demuxer",
       false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kMkvVideoOnly)));
    logged.clear();
    EXPECT_FALSE(probe.LoadFile(c.path, c.format));
    EXPECT_EQ(probe.LastErrMsg(), c.message);
    ExpectEmpty();
    EXPECT_EQ(probe.ForceFormat(), "");
    ASSERT_EQ(logged.size(), c.logged ? 1u : 0u) << c.message;
    if (c.logged) {
      EXPECT_EQ(logged[0], std::make_pair(llError, c.message));
    }
  }
  // A forced demuxer that does not match the content.
  EXPECT_FALSE(probe.LoadFile(SamplePath(Sample::kNotMedia), "mpegts"));
  ExpectEmpty();
  // The forced name is kept while the file is loaded.
  ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kAviMpeg4Mp3), "avi"));
  EXPECT_EQ(probe.ForceFormat(), "avi");
  // A truncated AVI still opens.
  ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kTruncatedAvi)));
  EXPECT_EQ(probe.VideoStreamCount(), 1);
}

TEST_F(MediaProbeTest, QueriesReportWhatIsWrong) {
  TVideoStreamInfo video;
  TAudioStreamInfo audio;
  TFileStreamInfo file;
  probe.GetFileStreamInfo(file);
  EXPECT_EQ(probe.LastErrMsg(), "file not loaded.");
  EXPECT_EQ(file.Duration, -1);
  EXPECT_EQ(probe.InfoText(), "");
  EXPECT_FALSE(probe.IsVideoStream(0));
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged.back(), std::make_pair(llWarning, std::string("file not loaded.")));

  ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kMkvVideoOnly)));
  struct Case {
    int index;
    bool ask_video;
    const char* message;
  };
  for (const Case& c :
       {Case{-1, false, "no audio stream."}, Case{5, true, "stream index #5 is invalid."},
        Case{0, false, "stream #0 is not audio stream."}}) {
    audio.SampleRate = 1;
    video.Width = 1;
    if (c.ask_video) {
      probe.GetVideoStreamInfo(c.index, video);
      EXPECT_EQ(video.Width, -1);
      EXPECT_EQ(video.DisplayAspect, -1.0f);
      EXPECT_EQ(video.CodecDesc, "");
    } else {
      probe.GetAudioStreamInfo(c.index, audio);
      EXPECT_EQ(audio.SampleRate, -1);
      EXPECT_EQ(audio.Language, "");
    }
    EXPECT_EQ(probe.LastErrMsg(), c.message);
    EXPECT_EQ(logged.back(), std::make_pair(llError, std::string(c.message)));
  }
  EXPECT_FALSE(probe.IsAudioStream(0));
  EXPECT_FALSE(probe.IsVideoStream(-1));
  EXPECT_EQ(probe.LastErrMsg(), "stream index #-1 is invalid.");

  ASSERT_TRUE(probe.LoadFile(SamplePath(Sample::kM4aAudioOnly)));
  probe.GetVideoStreamInfo(-1, video);
  EXPECT_EQ(probe.LastErrMsg(), "no video stream.");
  probe.GetVideoStreamInfo(0, video);
  EXPECT_EQ(probe.LastErrMsg(), "stream #0 is not video stream.");
}

// Names with characters outside ASCII, quotes and a leading '-' load like any other.
TEST_F(MediaProbeTest, AnyFileNameLoads) {
  for (const char* name : {"Füße \"clip\".avi", "-clip's.avi", "clip:1.avi"}) {
    const std::string path = Root() + "/" + name;
    std::filesystem::copy_file(SamplePath(Sample::kAviMpeg4Mp3), path);
    ASSERT_TRUE(probe.LoadFile(path)) << probe.LastErrMsg();
    EXPECT_EQ(probe.FileName(), path);
    EXPECT_EQ(probe.FileSize(), static_cast<int64_t>(std::filesystem::file_size(path)));
    EXPECT_EQ(probe.InfoText().rfind("File Name: " + path + "\n", 0), 0u);
  }
}

// An attached context is described but stays its owner's: detaching leaves it open.
TEST_F(MediaProbeTest, AnAttachedContextIsNotClosed) {
  InputContextPtr input;
  ASSERT_EQ(OpenInputContext(SamplePath(Sample::kAviMpeg4Mp3), nullptr, nullptr, input), 0);
  {
    CodecLock lock;
    ASSERT_GE(avformat_find_stream_info(input.get(), nullptr), 0);
  }
  probe.AttachContext(input.get());
  EXPECT_EQ(probe.StreamCount(), 2);
  EXPECT_EQ(probe.FormatName(), "avi");
  EXPECT_EQ(probe.FileSize(),
            static_cast<int64_t>(std::filesystem::file_size(SamplePath(Sample::kAviMpeg4Mp3))));
  probe.CloseFile();
  ExpectEmpty();
  AVPacket* packet = av_packet_alloc();
  EXPECT_EQ(av_read_frame(input.get(), packet), 0);
  av_packet_free(&packet);

  probe.AttachContext(input.get());
  probe.AttachContext(nullptr);
  ExpectEmpty();
}

// A context assembled in memory reaches the lines no sample file has: the creation time, a
// program without names, an unknown size and a start time of whole and part seconds.
TEST_F(MediaProbeTest, TheDescriptionOfAContextBuiltInMemory) {
  setenv("TZ", "UTC", 1);
  tzset();
  AVFormatContext* context = avformat_alloc_context();
  context->duration = 3723004000;
  context->start_time = 1500000;
  context->bit_rate = 999;  // below 1 kb/s
  av_dict_set(&context->metadata, "creation_time", "2026-05-01T10:20:30.000000Z", 0);
  av_dict_set(&context->metadata, "TPE1", "Someone", 0);
  AVStream* stream = avformat_new_stream(context, nullptr);
  stream->codecpar->codec_type = AVMEDIA_TYPE_SUBTITLE;
  stream->codecpar->codec_id = AV_CODEC_ID_SUBRIP;
  stream->time_base = {1, 1000};
  av_new_program(context, 7);
  av_program_add_stream_index(context, 7, 0);

  probe.AttachContext(context);
  EXPECT_EQ(probe.SubtitleStreamCount(), 1);
  EXPECT_EQ(probe.FirstSubtitleStream(), 0);
  EXPECT_EQ(probe.ProgramCount(), 1);
  TFileStreamInfo file;
  probe.GetFileStreamInfo(file);
  EXPECT_EQ(file.Timestamp, 1777630830);
  EXPECT_EQ(file.Author, "");  // only "author" and "artist" name the author
  const std::string text = probe.InfoText();
  EXPECT_TRUE(Contains(text,
                       "\nFile Size: -1 Byte\nDuration: 01:02:03.004\nStartTime: 1.500000\n"
                       "Bit Rate: 0 kb/s\nTime Stamp: 2026-05-01 10:20:30\nMetadata:\n"))
      << text;
  EXPECT_TRUE(Contains(text, "  artist          : Someone\n")) << text;
  EXPECT_TRUE(Contains(text, "\nProgram 7 N/A@N/A\nStream #0, 1/1000: Subtitle: subrip")) << text;
  EXPECT_TRUE(Contains(text, ", Duration: N/A")) << text;
  probe.CloseFile();
  avformat_free_context(context);
}

}  // namespace
}  // namespace korvex::engine
