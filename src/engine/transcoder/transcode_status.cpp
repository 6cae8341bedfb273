// The progress report of a running task, the status line made from it, the final statistics,
// and the per-frame video statistics file.
#include <cmath>
#include <cstdint>  // before the libraries' headers, which need its constant macros

extern "C" {
#include <libavutil/time.h>
}

#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

constexpr int64_t kNoOutputTime = int64_t{10000000000} * AV_TIME_BASE;  // 10^10 s
constexpr int64_t kLeastDuration = AV_TIME_BASE / 100;                  // 0.01 s

OutputStream* FirstVideoOutput(TranscoderState& s) {
  for (OutputStream& ost : s.output_streams) {
    if (ost.progress_active && ost.stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) return &ost;
  }
  return nullptr;
}

int64_t FirstOutputSize(const TranscoderState& s) {
  if (s.registered_outputs.empty()) return 0;
  AVIOContext* io = s.registered_outputs.front()->context->pb;
  if (!io) return 0;
  const int64_t size = avio_size(io);
  const int64_t position = avio_tell(io);
  return size > position ? size : position;
}

int64_t ReachedDuration(const TranscoderState& s) {
  int64_t least = kNoOutputTime;
  for (const OutputStream& ost : s.output_streams) {
    const int64_t time = OutputTime(ost);
    if (time > 0 && time < least) least = time;
  }
  return std::max(least, kLeastDuration);
}

double Psnr(double error) { return -10.0 * std::log10(error); }

std::string QualityText(const OutputStream& ost, bool final_report) {
  const AVCodecContext* encoder = ost.encoder;
  std::string text;
  if (encoder && (encoder->flags & AV_CODEC_FLAG_PSNR) && ost.frame_number > 0) {
    text += "PSNR=";
    double total = 0, scale_total = 0;
    for (int plane = 0; plane < 3; ++plane) {
      const double pixels = static_cast<double>(encoder->width) * encoder->height *
                            (plane == 0 ? 1.0 : 0.25) * ost.frame_number * 255.0 * 255.0;
      const double error = ost.psnr_error[static_cast<size_t>(plane)];
      total += error;
      scale_total += pixels;
      text += Format("%c:%2.2f ", "YUV"[plane], Psnr(error / pixels));
    }
    text += Format("*:%2.2f ", Psnr(total / scale_total));
  }
  (void)final_report;
  return text;
}

std::string HistogramText(const OutputStream& ost) {
  std::string text;
  for (int64_t count : ost.qp_histogram)
    text += Format("%X", static_cast<int>(std::log2(static_cast<double>(count) + 1)));
  return text;
}

std::string StatusLine(TranscoderState& s, const TranscodeProgress& progress, bool final_report) {
  std::string line;
  bool first_video = true;
  for (OutputStream& ost : s.output_streams) {
    if (!ost.progress_active || ost.stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) continue;
    const float quality = ost.stream_copy ? -1.0f : ost.last_quality;
    if (!first_video) {
      line += Format("q=%2.1f ", quality);
      continue;
    }
    first_video = false;
    line += Format("frame=%5d fps=%3d q=%3.1f ", ost.frame_number, progress.FPS, quality);
    if (final_report) line += "L";
    if (s.settings.qp_hist) line += HistogramText(ost);
    line += QualityText(ost, final_report);
  }
  const double seconds = static_cast<double>(progress.CurrentDuration) / AV_TIME_BASE;
  line += Format("size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s",
                 static_cast<double>(progress.CurrentSize) / 1024, seconds,
                 static_cast<double>(progress.CurrentSize) * 8 / seconds / 1000);
  if (s.dup_frames || s.drop_frames) line += Format(" dup=%d drop=%d", s.dup_frames, s.drop_frames);
  return line;
}

}  // namespace

void ReportProgress(TranscoderState& s, bool final_report) {
  const int64_t now = av_gettime_relative();
  OutputStream* video = FirstVideoOutput(s);
  if (video && video->frame_number == 0) return;
  s.last_report = now;

  TranscodeProgress progress;
  progress.Final = final_report;
  progress.FileIndex = final_report ? -1 : s.last_file_index;
  const double elapsed = static_cast<double>(now - s.transcode_start) / AV_TIME_BASE;
  if (video) {
    progress.FrameNumber = video->frame_number;
    progress.FPS = elapsed > 1 ? static_cast<int>(video->frame_number / elapsed + 0.5) : 0;
    progress.Quality = video->stream_copy ? -1.0f : video->last_quality;
  }
  progress.CurrentSize = FirstOutputSize(s);
  progress.CurrentDuration = ReachedDuration(s);
  progress.BitRate =
      static_cast<float>(static_cast<double>(progress.CurrentSize) * 8 /
                         (static_cast<double>(progress.CurrentDuration) / AV_TIME_BASE) / 1000);
  progress.TotalDuration =
      s.settings.recording_time != INT64_MAX ? s.settings.recording_time : s.total_duration;

  const bool handler = s.callouts->HasProgressHandler();
  if (handler || s.Verbose() > 0 || final_report) {
    progress.StatusLine = StatusLine(s, progress, final_report);
    if ((!handler && s.Verbose() >= 0) || (handler && s.new_dup_or_drop))
      s.Log(llVerbose, progress.StatusLine);
    s.new_dup_or_drop = false;
  }
  if (final_report) {
    const double headers = static_cast<double>(s.extra_size);
    const double payload = static_cast<double>(s.video_size + s.audio_size) + headers;
    s.Log(
        llInfo,
        Format("video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead "
               "%f%%\r\n",
               static_cast<double>(s.video_size) / 1024, static_cast<double>(s.audio_size) / 1024,
               headers / 1024,
               payload > 0 ? 100.0 * (static_cast<double>(progress.CurrentSize) - payload) / payload
                           : 0.0));
  }
  if (handler) s.callouts->Progress(progress);
}

void WriteVideoStats(TranscoderState& s, OutputStream& ost, int frame_size, int picture_type) {
  if (!s.vstats) {
    s.vstats.reset(std::fopen(s.settings.vstats_filename.c_str(), "w"));
    if (!s.vstats) Fail("fopen fail: " + s.settings.vstats_filename);
  }
  const AVCodecContext* encoder = ost.encoder;
  FILE* file = s.vstats.get();
  std::fprintf(file, "frame= %5d q= %2.1f ", ost.frame_number + 1, ost.last_quality);
  if (encoder->flags & AV_CODEC_FLAG_PSNR)
    std::fprintf(file, "PSNR= %6.2f ",
                 Psnr(ost.psnr_error[0] / (static_cast<double>(encoder->width) * encoder->height *
                                           255.0 * 255.0 * (ost.frame_number + 1))));
  std::fprintf(file, "f_size= %6d ", frame_size);
  const double time = static_cast<double>(ost.sync_opts) * av_q2d(encoder->time_base);
  const double bitrate = time > 0 ? static_cast<double>(s.video_size) * 8 / time / 1000 : 0;
  std::fprintf(file, "s_size= %8.0fkB time= %0.3f avg_br= %7.1fkbits/s ",
               static_cast<double>(s.video_size) / 1024, time, bitrate);
  std::fprintf(file, "type= %c\n",
               av_get_picture_type_char(static_cast<AVPictureType>(picture_type)));
}

}  // namespace korvex::engine
