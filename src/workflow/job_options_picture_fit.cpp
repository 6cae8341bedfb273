#include "workflow/job_options_picture_fit.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "workflow/job_options_error.h"

namespace korvex::workflow {

namespace {

// The even value toward zero.
int64_t Even(int64_t n) { return 2 * (n / 2); }

std::string Joined(int64_t a, char separator, int64_t b) {
  return std::to_string(a) + separator + std::to_string(b);
}

bool Cropped(const TlvFilesRecord& job) {
  return job.CropTop > 0 || job.CropBottom > 0 || job.CropLeft > 0 || job.CropRight > 0;
}

void RequirePositive(int64_t width, int64_t height, const char* what) {
  if (width > 0 && height > 0) return;
  throw JobOptionsError("Cannot fit the picture: the " + std::string(what) + " size " +
                        Joined(width, 'x', height) + " is empty.");
}

// Source size over frame size in each direction, and the bars that keep the aspect ratio:
// top and bottom when scaled to the frame's width, left and right when scaled to its height.
struct Scale {
  double fx = 0, fy = 0;
  int64_t vertical_pad = 0, horizontal_pad = 0;
};

Scale ScaleOf(const FrameSizes& s) {
  RequirePositive(s.source_width, s.source_height, "source");
  RequirePositive(s.width, s.height, "output");
  Scale scale;
  scale.fx = static_cast<double>(s.source_width) / s.width;
  scale.fy = static_cast<double>(s.source_height) / s.height;
  const auto scaled_height = static_cast<int64_t>(s.source_height / scale.fx);
  const auto scaled_width = static_cast<int64_t>(s.source_width / scale.fy);
  scale.vertical_pad = 2 * ((s.height - Even(scaled_height)) / 4);
  scale.horizontal_pad = 2 * ((s.width - Even(scaled_width)) / 4);
  return scale;
}

void SetFrame(engine::TOutputOptions& output, int64_t width, int64_t height) {
  output.FrameSize = Joined(width, 'x', height);
  output.AspectRatio = Joined(width, ':', height);
}

std::string FitFull(const TlvFilesRecord& job, const FrameSizes& s,
                    engine::TOutputOptions& output) {
  if (Cropped(job)) {
    output.CropTop = job.CropTop;
    output.CropBottom = job.CropBottom;
    output.CropLeft = job.CropLeft;
    output.CropRight = job.CropRight;
  }
  SetFrame(output, s.width, s.height);
  return "";
}

std::string FitLetterbox(const TlvFilesRecord& job, const FrameSizes& s,
                         engine::TOutputOptions& output) {
  const Scale scale = ScaleOf(s);
  int64_t side_pad = 0, top_pad = 0;
  if (scale.fx > scale.fy) top_pad = scale.vertical_pad;
  if (scale.fx < scale.fy) side_pad = scale.horizontal_pad;
  const int64_t width = s.width - 2 * side_pad, height = s.height - 2 * top_pad;
  const std::string pad =
      "pad=" + Joined(s.width, ':', s.height) + ":" + Joined(side_pad, ':', top_pad);
  output.AspectRatio = Joined(width, ':', height);
  if (!Cropped(job)) {
    output.FrameSize = Joined(width, 'x', height);
    return pad;
  }
  // The crop fields keep the job's margins; the picture left by them is scaled and padded.
  const int64_t kept_width = int64_t{s.source_width} - job.CropLeft - job.CropRight;
  const int64_t kept_height = int64_t{s.source_height} - job.CropTop - job.CropBottom;
  return "crop=" + Joined(job.CropLeft, ':', job.CropTop) + ":" +
         Joined(kept_width, ':', kept_height) + ",scale=" + Joined(width, ':', height) + "," + pad;
}

// Cuts the longer direction of the kept picture towards 4:3, half on each side. The shape is
// compared in extended precision, the cut computed in double precision like every ratio here.
std::string FitPan(const TlvFilesRecord& job, const FrameSizes& s, engine::TOutputOptions& output) {
  const int64_t width = int64_t{s.source_width} - output.CropLeft - output.CropRight;
  const int64_t height = int64_t{s.source_height} - output.CropTop - output.CropBottom;
  RequirePositive(width, height, "cropped source");
  const long double shape = static_cast<long double>(width) / height;
  const long double four_thirds = 4.0L / 3.0L;
  if (shape > four_thirds) {
    const double ratio = static_cast<double>(width) / height;
    const auto excess = static_cast<int64_t>((ratio - 4.0 / 3.0) * width);
    const int64_t cut = Even(std::llabs(excess / 2) + job.CropLeft);
    output.CropLeft = output.CropRight = static_cast<int32_t>(cut);
  } else if (shape < four_thirds) {
    const double inverse = static_cast<double>(height) / width;
    const auto excess = static_cast<int64_t>((inverse - 4.0 / 3.0) * height);
    const int64_t cut = Even(std::llabs(excess / 2) + job.CropTop);
    output.CropTop = output.CropBottom = static_cast<int32_t>(cut);
  }
  SetFrame(output, s.width, s.height);
  return "";
}

std::string CenterPad(int64_t width, int64_t height, int64_t left, int64_t top) {
  char text[128];
  std::snprintf(text, sizeof text, "pad=%lld:%lld:%lld:%lld:black", static_cast<long long>(width),
                static_cast<long long>(height), static_cast<long long>(left),
                static_cast<long long>(top));
  return text;
}

std::string FitCenter(const FrameSizes& s, engine::TOutputOptions& output) {
  const Scale scale = ScaleOf(s);
  output.AspectRatio = Joined(s.width, ':', s.height);
  const int64_t pv = scale.vertical_pad, ph = scale.horizontal_pad;
  if (scale.fx > scale.fy) {
    output.FrameSize = Joined(s.width, 'x', s.height);
    if (s.height > s.source_height)
      return CenterPad(s.source_width, s.source_height + 2 * pv, 0, pv);
    return CenterPad(s.width, s.height, 0, pv);
  }
  if (scale.fx < scale.fy) {
    output.FrameSize = Joined(s.width - 2 * ph, 'x', s.height);
    return CenterPad(s.source_width + 2 * ph, s.source_height, ph, 0);
  }
  output.FrameSize = Joined(s.width, 'x', s.height);
  return CenterPad(s.source_width, s.source_height, 0, 0);
}

}  // namespace

std::string FitPicture(const TlvFilesRecord& job, const FrameSizes& sizes,
                       engine::TOutputOptions& output) {
  if (job.ZoomMode == kZoomFull) return FitFull(job, sizes, output);
  if (job.ZoomMode == kZoomLetterbox) return FitLetterbox(job, sizes, output);
  if (job.ZoomMode == kZoomPan) return FitPan(job, sizes, output);
  if (job.ZoomMode == kZoomCenter) return FitCenter(sizes, output);
  return "";
}

}  // namespace korvex::workflow
