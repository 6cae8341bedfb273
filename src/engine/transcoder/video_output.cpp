// One decoded (or filtered) picture to a video output stream: frames dropped or duplicated to
// keep the output's frame rate in step with the input's time, cropping and scaling into the
// encoder's picture, and encoding.
#include <cmath>
#include <cstdint>  // before the libraries' headers, which need its constant macros

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "engine/transcoder/transcoder_state.h"

namespace korvex::engine {

namespace {

// How many times the picture is written: 0 drops it, more than 1 duplicates it.
int FramesToWrite(TranscoderState& s, OutputStream& ost, double sync_ipts) {
  const TranscoderSettings& settings = s.settings;
  const int method = settings.video_sync_method;
  if (method == 0) {
    ost.sync_opts = std::llrint(sync_ipts);
    return 1;
  }
  const double delta = sync_ipts - static_cast<double>(ost.sync_opts);
  const bool variable_rate =
      method == 2 ||
      (method == -1 &&
       (s.registered_outputs[static_cast<size_t>(ost.file_index)]->context->oformat->flags &
        AVFMT_VARIABLE_FPS));
  int frames = 1;
  if (delta < -1.1) {
    frames = 0;
  } else if (variable_rate) {
    if (delta <= -0.6)
      frames = 0;
    else if (delta > 0.6)
      ost.sync_opts = std::llrint(sync_ipts);
  } else if (delta > 1.1) {
    frames = static_cast<int>(std::lrint(delta));
  }
  if (frames == 0) {
    ++s.drop_frames;
    s.new_dup_or_drop = true;
    if (s.Verbose() > 2) s.Log(llVerbose, "*** drop!");
  } else if (frames > 1) {
    s.dup_frames += frames - 1;
    s.new_dup_or_drop = true;
    if (s.Verbose() > 2) s.Log(llVerbose, Format("*** %d dup!", frames - 1));
  }
  return frames;
}

// The scaler follows a change of the decoded size: the crop bands keep their share of the
// picture, rounded down to even.
void FollowSizeChange(TranscoderState& s, OutputStream& ost, const InputStream& ist,
                      const AVFrame& picture) {
  const int width = picture.width - ost.left_band - ost.right_band;
  const int height = picture.height - ost.top_band - ost.bottom_band;
  const auto format = static_cast<AVPixelFormat>(picture.format);
  if (width == ost.resample_width && height == ost.resample_height &&
      format == ost.resample_pix_fmt)
    return;
  const char* format_name = av_get_pix_fmt_name(format);
  const std::string text =
      Format("Input Stream #%d.%d frame size changed to %dx%d, %s", ist.file_index,
             ist.stream_index, picture.width, picture.height, format_name ? format_name : "none");
  s.Log(llQuiet, text);
  if (!ost.video_resample || ist.filters.graph) Fail(text);
  auto rescale = [](int band, int now, int first) { return (band * now / first) & ~1; };
  ost.top_band = rescale(ost.original_top_band, picture.height, ost.original_height);
  ost.bottom_band = rescale(ost.original_bottom_band, picture.height, ost.original_height);
  ost.left_band = rescale(ost.original_left_band, picture.width, ost.original_width);
  ost.right_band = rescale(ost.original_right_band, picture.width, ost.original_width);
  ost.resample_width = picture.width - ost.left_band - ost.right_band;
  ost.resample_height = picture.height - ost.top_band - ost.bottom_band;
  ost.resample_pix_fmt = format;
  AVCodecContext* encoder = ost.encoder;
  ost.scaler.reset(sws_getContext(ost.resample_width, ost.resample_height, format, encoder->width,
                                  encoder->height, encoder->pix_fmt, s.settings.sws_flags, nullptr,
                                  nullptr, nullptr));
  if (!ost.scaler) Fail("Cannot get resampling context");
  s.options.ApplyScalerOptions(ost.scaler.get());
}

void EncodePicture(TranscoderState& s, OutputStream& ost, AVFrame& picture,
                   const AVFrame& decoded) {
  const TranscoderSettings& settings = s.settings;
  AVCodecContext* encoder = ost.encoder;
  if (encoder->flags & (AV_CODEC_FLAG_INTERLACED_DCT | AV_CODEC_FLAG_INTERLACED_ME)) {
    picture.interlaced_frame = 1;
    picture.top_field_first =
        settings.top_field_first == -1 ? decoded.top_field_first : settings.top_field_first;
  }
  picture.quality = settings.same_quality ? decoded.quality : encoder->global_quality;
  picture.pict_type = AV_PICTURE_TYPE_NONE;
  picture.pts = ost.sync_opts;
  if (avcodec_send_frame(encoder, &picture) < 0) Fail("Video encoding failed");
  DrainEncoder(s, ost, &picture);
}

}  // namespace

void WriteVideo(TranscoderState& s, OutputStream& ost, AVFrame& picture, bool filtered) {
  const TranscoderSettings& settings = s.settings;
  const InputStream& sync = s.input_streams[static_cast<size_t>(ost.sync_index)];
  const InputStream& ist = s.input_streams[static_cast<size_t>(ost.source_index)];
  const double sync_ipts = static_cast<double>(sync.pts - settings.start_time) / AV_TIME_BASE /
                           av_q2d(ost.encoder->time_base);
  int frames = FramesToWrite(s, ost, sync_ipts);
  frames = std::min(frames, settings.max_frames[0] - ost.frame_number);
  if (frames <= 0) return;

  AVFrame* final_picture = &picture;
  FramePtr cropped;
  if (!filtered) {
    FollowSizeChange(s, ost, ist, picture);
    if (ost.video_crop) {
      cropped.reset(av_frame_clone(&picture));
      if (cropped) {
        cropped->crop_top = static_cast<size_t>(ost.top_band);
        cropped->crop_bottom = static_cast<size_t>(ost.bottom_band);
        cropped->crop_left = static_cast<size_t>(ost.left_band);
        cropped->crop_right = static_cast<size_t>(ost.right_band);
      }
      if (!cropped || av_frame_apply_cropping(cropped.get(), AV_FRAME_CROP_UNALIGNED) < 0) {
        if (settings.exit_on_error) Fail("error cropping picture");
        s.Log(llError, "error cropping picture");
        return;
      }
      final_picture = cropped.get();
    }
    if (ost.video_resample) {
      AVFrame* scaled = ost.scaled_picture.get();
      // The encoder may still hold the previous picture: scale into a buffer of our own.
      if (av_frame_make_writable(scaled) < 0) Fail("Cannot allocate temp picture, check pix fmt");
      sws_scale(ost.scaler.get(), final_picture->data, final_picture->linesize, 0,
                final_picture->height, scaled->data, scaled->linesize);
      av_frame_copy_props(scaled, final_picture);
      final_picture = scaled;
    }
  }
  for (int i = 0; i < frames; ++i) {
    if (i > 0 && s.stop_requested) break;
    EncodePicture(s, ost, *final_picture, picture);
    ++ost.sync_opts;
    ++ost.frame_number;
  }
}

}  // namespace korvex::engine
