#include "engine/options/transcoder_settings.h"

namespace korvex::engine {

StreamKindSettings* TranscoderSettings::Kind(AVMediaType type) {
  switch (type) {
    case AVMEDIA_TYPE_VIDEO:
      return &video;
    case AVMEDIA_TYPE_AUDIO:
      return &audio;
    case AVMEDIA_TYPE_SUBTITLE:
      return &subtitle;
    default:
      return nullptr;
  }
}

void TranscoderSettings::SetCodecName(AVMediaType type, std::string_view name) {
  StreamKindSettings* kind = Kind(type);
  if (kind == nullptr) return;
  kind->stream_copy = name == "copy";
  kind->codec_name = kind->stream_copy ? std::string() : std::string(name);
}

void TranscoderSettings::ConsumeInputSettings() {
  forced_format.clear();
  pgmyuv_input = false;
  start_time = 0;
  input_ts_offset = 0;
  input_ts_scale.fill(0);
  program_id.reset();
  video_channel = 0;
  for (StreamKindSettings* kind : {&video, &audio, &subtitle}) {
    kind->codec_name.clear();
    kind->stream_copy = false;
  }
}

void TranscoderSettings::ConsumeOutputSettings() {
  forced_format.clear();
  pending_metadata.clear();
  stream_ids.fill(0);
}

void TranscoderSettings::ConsumeStreamSettings(AVMediaType type) {
  StreamKindSettings* kind = Kind(type);
  if (kind == nullptr) return;
  kind->codec_name.clear();
  kind->stream_copy = false;
  kind->disabled = false;
  kind->language.clear();
  kind->bitstream_filters.clear();
  if (type == AVMEDIA_TYPE_VIDEO) frame_pix_fmt = AV_PIX_FMT_NONE;
}

}  // namespace korvex::engine
