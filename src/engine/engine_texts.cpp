#include "engine/engine_texts.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/error.h>
}

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "engine/engine_types.h"
#include "platform/text.h"

namespace korvex::engine {

std::string ErrorDescription(int code) {
  struct Entry {
    int code;
    const char* text;
  };
  // The library reports some conditions with errno numbers and others with its own tags;
  // both spellings of one condition share its description.
  static const Entry kTable[] = {
      {AVERROR(ENOENT), "No such file or directory"},
      {AVERROR(EIO), "I/O error"},
      {AVERROR(ENOMEM), "Not enough memory"},
      {AVERROR(EINVAL), "Invalid data found when processing input"},
      {AVERROR_INVALIDDATA, "Invalid data found when processing input"},
      {AVERROR(EPIPE), "End of file"},
      {AVERROR_EOF, "End of file"},
      {AVERROR(EDOM), "Number syntax expected in filename"},
      {AVERROR(EILSEQ), "Unknown format"},
      {AVERROR_DEMUXER_NOT_FOUND, "Unknown format"},
      {AVERROR(EPROTONOSUPPORT), "Unsupported network protocol"},
      {AVERROR_PROTOCOL_NOT_FOUND, "Unsupported network protocol"},
      {AVERROR_PATCHWELCOME, "Not yet implemented in FFmpeg"},
  };
  for (const Entry& entry : kTable) {
    if (entry.code == code) return entry.text;
  }
  return "Error number " + std::to_string(code) + " occurred";
}

std::string ErrorText(std::string_view file_name, int code) {
  return std::string(file_name) + ": " + ErrorDescription(code);
}

std::string DurationText(int64_t microseconds) {
  if (microseconds == kNoTimestamp) return "N/A";
  const char* sign = microseconds < 0 ? "-" : "";
  const uint64_t value = microseconds < 0 ? 0 - static_cast<uint64_t>(microseconds)
                                          : static_cast<uint64_t>(microseconds);
  const uint64_t total_ms = value / 1000;
  char text[64];
  snprintf(text, sizeof text, "%s%.2llu:%.2llu:%.2llu.%.3llu", sign,
           static_cast<unsigned long long>(total_ms / 3600000),
           static_cast<unsigned long long>(total_ms / 60000 % 60),
           static_cast<unsigned long long>(total_ms / 1000 % 60),
           static_cast<unsigned long long>(total_ms % 1000));
  return text;
}

const char* StreamKindName(int kind) {
  switch (kind) {
    case AVMEDIA_TYPE_VIDEO:
      return "Video";
    case AVMEDIA_TYPE_AUDIO:
      return "Audio";
    case AVMEDIA_TYPE_DATA:
      return "Data";
    case AVMEDIA_TYPE_SUBTITLE:
      return "Subtitle";
    case AVMEDIA_TYPE_ATTACHMENT:
      return "Attachment";
    default:
      return "Unknown";
  }
}

std::string CodecNameText(AVCodecID id, uint32_t codec_tag, bool encoder) {
  const AVCodec* codec = encoder ? avcodec_find_encoder(id) : avcodec_find_decoder(id);
  if (codec) {
    std::string text = codec->name;
    if (codec->long_name && !platform::Trim(codec->long_name).empty()) {
      text += "(" + std::string(codec->long_name) + ")";
    }
    return text;
  }
  if (id == AV_CODEC_ID_MPEG2TS) return "mpeg2ts";
  if (id != AV_CODEC_ID_NONE) {
    if (const AVCodecDescriptor* descriptor = avcodec_descriptor_get(id)) {
      const std::string_view name = platform::Trim(descriptor->name);
      if (!name.empty()) return std::string(name);
    }
  }
  const char chars[4] = {
      static_cast<char>(codec_tag & 0xFF), static_cast<char>((codec_tag >> 8) & 0xFF),
      static_cast<char>((codec_tag >> 16) & 0xFF), static_cast<char>((codec_tag >> 24) & 0xFF)};
  bool printable = true;
  for (char c : chars) printable = printable && c >= 32 && c <= 126;
  char text[32];
  if (printable) {
    snprintf(text, sizeof text, "%c%c%c%c / 0x%04X", chars[0], chars[1], chars[2], chars[3],
             codec_tag);
  } else {
    snprintf(text, sizeof text, "0x%04x", codec_tag);
  }
  return text;
}

}  // namespace korvex::engine
