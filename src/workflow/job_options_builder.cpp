#include "workflow/job_options_builder.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/text.h"
#include "workflow/format_profile.h"
#include "workflow/job_options_picture_fit.h"
#include "workflow/job_options_user_values.h"

namespace korvex::workflow {

namespace {

constexpr const char* kAsSource = "as source";
constexpr const char* kUnchangedVolume = "256";
constexpr const char* kBadSizeQuestion = "Error output Video Size.Use the default size 320x240?";
// Sizes an H.263 encoder takes as they are; others are snapped to 352x288 or 704x576.
constexpr std::string_view kH263Sizes = "704x576,352x288,176x144,160x120,128x96";

constexpr int32_t kTargetVcd = 1, kTargetSvcd = 2, kTargetDvd = 3;
constexpr int32_t kNormPal = 1, kNormNtsc = 2;

struct DiscTarget {
  const char* format;
  int32_t target;
  int32_t norm;
  const char* wide_size;  // the user's frame size that makes a DVD 16:9; nullptr: always 4:3
};

constexpr DiscTarget kDiscTargets[] = {
    {"ntsc-dvd", kTargetDvd, kNormNtsc, "720x480"}, {"pal-dvd", kTargetDvd, kNormPal, "720x576"},
    {"ntsc-vcd", kTargetVcd, kNormNtsc, nullptr},   {"pal-vcd", kTargetVcd, kNormPal, nullptr},
    {"ntsc-svcd", kTargetSvcd, kNormNtsc, nullptr}, {"pal-svcd", kTargetSvcd, kNormPal, nullptr},
};

// Containers named by "Format" that the engine is told explicitly; for the others it goes by
// the output file's extension.
constexpr std::string_view kAudioOnlyContainers[] = {
    "amr", "ac3", "asf", "aiff", "au", "voc", "flac", "flv", "avi", "matroska", "mmf",
};
constexpr std::string_view kVideoContainers[] = {
    "ipod", "3gp", "3g2", "avi", "psp", "mov", "vcd", "flv", "mpegts", "vob", "asf", "dv",
};
// Encoders the engine is given by the stored name; others leave the container's default.
constexpr std::string_view kNamedVideoEncoders[] = {
    "mpeg4",   "libxvid", "mpeg1video", "mpeg2video", "msmpeg4", "msmpeg4v1", "msmpeg4v2",
    "huffyuv", "dvvideo", "rawvideo",   "h263p",      "h263",    "rv10",      "rv20",
    "ljpeg",   "mjpeg",   "svq1",       "zlib",       "wmv1",    "wmv2",
};

template <size_t N>
bool IsOneOf(std::string_view text, const std::string_view (&names)[N]) {
  for (std::string_view name : names) {
    if (text == name) return true;
  }
  return false;
}

std::string X264Preset(const std::string& format) {
  const std::string lowered = platform::ToLowerAscii(format);
  if (lowered == "psp" || lowered == "ipod" || lowered == "ps3") return "libx264-" + lowered;
  return "libx264-mp4";
}

struct Size {
  int width = 0;
  int height = 0;
};

Size SnapToH263(Size size) {
  if (size.width > 352) return {704, 576};
  if (size.width > 176) return {352, 288};
  return size;
}

class Builder {
 public:
  Builder(const TlvFilesRecord& job, const FormatProfile& profile, const UserFormatValues& user,
          engine::TCustomMediaProbe& probe, platform::Dialogs& dialogs,
          engine::TOutputOptions& output, engine::TInputOptions& input)
      : job_(job),
        profile_(profile),
        user_(user),
        format_(profile.Format()),
        probe_(probe),
        dialogs_(dialogs),
        output_(output),
        input_(input) {}

  void Run() {
    ApplyDiscTarget();
    if (platform::Trim(user_.Value("paraVideoEncoder", "")).empty()) {
      BuildAudioOnly();
    } else {
      BuildVideo();
    }
  }

 private:
  // The aspect ratio set here is replaced by every zoom mode of a video conversion.
  void ApplyDiscTarget() {
    for (const DiscTarget& disc : kDiscTargets) {
      if (!platform::EqualsIgnoreCase(format_, disc.format)) continue;
      output_.Target = disc.target;
      output_.TargetNorm = disc.norm;
      const bool wide = disc.wide_size && user_.Value("paraVideoSize", "null") == disc.wide_size;
      output_.AspectRatio = wide ? "16:9" : "4:3";
      return;
    }
  }

  void BuildAudioOnly() {
    output_.AudioCodec = user_.Value("paraAudioEncoder", "libfaac");
    const std::string container = platform::ToLowerAscii(format_);
    if (IsOneOf(container, kAudioOnlyContainers)) output_.ForceFormat = container;
    const std::optional<int> channels = UserInteger("paraChannel", "2");
    if (channels && *channels > 0) output_.AudioChannels = *channels;
    ApplyAudioSampleRate(user_, profile_, probe_, output_);
    ApplyAudioBitRate(user_, profile_, probe_, output_);
    ApplyVolume();
    input_.ExtOptions = "vn=1";
    output_.DisableVideo = true;
    output_.DisableSubtitle = true;
  }

  void BuildVideo() {
    ApplyVideoEncoder(user_.Value("paraVideoEncoder", ""));
    if (probe_.VideoStreamCount() < 1) {
      output_.DisableVideo = true;
    } else {
      BuildPicture();
    }
    BuildVideoSound();
  }

  void ApplyVideoEncoder(const std::string& encoder) {
    if (IsOneOf(encoder, kNamedVideoEncoders)) {
      output_.VideoCodec = encoder;
      // The norm stays as the disc target left it.
      if (encoder == "mpeg2video") output_.Target = kTargetDvd;
    } else if (encoder == "libx264") {
      output_.VideoCodec = encoder;
      output_.VideoPreset = X264Preset(format_);
    }
  }

  void BuildPicture() {
    ApplyVideoBitRate(user_, profile_, probe_, output_);
    const std::string frame_rate = user_.Value("paraFrameRate", "29.97");
    if (frame_rate != kAsSource) {
      const std::optional<double> rate = platform::ParseDouble(frame_rate);
      if (rate && *rate > 0) output_.FrameRate = frame_rate;
    }
    if (IsOneOf(platform::ToLowerAscii(format_), kVideoContainers)) output_.ForceFormat = format_;

    engine::TVideoStreamInfo source;
    probe_.GetVideoStreamInfo(probe_.FirstVideoStream(), source);
    const Size frame = FrameSize(source.Width, source.Height);
    for (int32_t* crop :
         {&output_.CropTop, &output_.CropBottom, &output_.CropLeft, &output_.CropRight}) {
      if (*crop == -1) *crop = 0;
    }
    const std::string filter =
        FitPicture(job_, {source.Width, source.Height, frame.width, frame.height}, output_);
    if (output_.VideoFilters.empty()) {
      output_.VideoFilters = filter;
    } else if (!filter.empty()) {
      output_.VideoFilters += "," + filter;
    }
  }

  // The user's "paraVideoSize": "WxH", where a part that is not a number keeps the source's;
  // "as source"; or anything else, for which the user is asked whether to use 320x240.
  Size FrameSize(int source_width, int source_height) {
    const std::string text = user_.Value("paraVideoSize", "null");
    if (text == kAsSource) return {source_width, source_height};
    const size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == text.size()) {
      const platform::DialogResult answer =
          dialogs_.MessageBox("Warning", kBadSizeQuestion, platform::DialogIcon::Warning,
                              platform::DialogButtons::YesNo);
      if (answer == platform::DialogResult::Yes) return {320, 240};
      return {source_width, source_height};
    }
    const std::string_view view = text;
    Size size{platform::ParseInt(view.substr(0, x)).value_or(source_width),
              platform::ParseInt(view.substr(x + 1)).value_or(source_height)};
    if (platform::ToLowerAscii(output_.VideoCodec) == "h263" &&
        kH263Sizes.find(text) == std::string_view::npos) {
      size = SnapToH263(size);
    }
    return size;
  }

  void BuildVideoSound() {
    std::string encoder = user_.Value("paraAudioEncoder", "");
    if (encoder == "libamr_nb") encoder = "libopencore_amrnb";
    if (platform::Trim(encoder).empty()) output_.DisableAudio = true;
    output_.AudioCodec = std::move(encoder);
    // Counts not above 0 are passed on; the engine ignores them.
    if (const std::optional<int> channels = UserInteger("paraChannel", "2")) {
      output_.AudioChannels = *channels;
    }
    ApplyVolume();
    ApplyAudioSampleRate(user_, profile_, probe_, output_);
    ApplyAudioBitRate(user_, profile_, probe_, output_);
  }

  // A missing volume leaves the sound as it is; 256 stands for unchanged.
  void ApplyVolume() {
    const std::string volume = user_.Value("paraVolume", kUnchangedVolume);
    if (volume == kUnchangedVolume) return;
    const std::optional<int> value = platform::ParseInt(volume);
    if (!value) {
      throw BadStoredValue(InUserSettings(user_.Section()), "paraVolume", volume, "a whole number");
    }
    output_.AudioVolume = *value;
  }

  // The user's whole number; nullopt for "as source" or any other text.
  std::optional<int> UserInteger(const char* key, const char* default_value) const {
    const std::string value = user_.Value(key, default_value);
    if (value == kAsSource) return std::nullopt;
    return platform::ParseInt(value);
  }

  const TlvFilesRecord& job_;
  const FormatProfile& profile_;
  const UserFormatValues& user_;
  const std::string format_;  // the profile's "Format", "null" when absent
  engine::TCustomMediaProbe& probe_;
  platform::Dialogs& dialogs_;
  engine::TOutputOptions& output_;
  engine::TInputOptions& input_;
};

}  // namespace

void BuildJobOptions(const TlvFilesRecord& job, int format_code, engine::TOutputOptions& output,
                     engine::TCustomMediaProbe& probe, engine::TInputOptions& input,
                     platform::Dialogs& dialogs, const platform::IniFile& app_ini,
                     const platform::IniFile& format_ini) {
  const FormatProfile profile(format_ini, format_code);
  const UserFormatValues user(app_ini, profile);
  Builder(job, profile, user, probe, dialogs, output, input).Run();
}

}  // namespace korvex::workflow
