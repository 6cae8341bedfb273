// The probe's multi-line description of the loaded file.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "engine/engine_texts.h"
#include "engine/library_objects.h"
#include "engine/media_probe.h"
#include "engine/probe_text.h"

namespace korvex::engine {
namespace {

std::string SecondsText(int64_t microseconds) {
  char text[48];
  snprintf(text, sizeof text, "%lld.%.6lld", static_cast<long long>(microseconds / 1000000),
           static_cast<long long>(std::llabs(microseconds % 1000000)));
  return text;
}

std::string LocalTimeText(int64_t seconds) {
  const time_t time = static_cast<time_t>(seconds);
  struct tm local {};
  if (!localtime_r(&time, &local)) return "";
  char text[32];
  strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// The library's one-line summary of the stream's codec ("Video: h264 (High), yuv420p, ...").
std::string CodecSummary(const AVCodecParameters* parameters) {
  CodecContextPtr context(avcodec_alloc_context3(nullptr));
  if (!context || avcodec_parameters_to_context(context.get(), parameters) < 0) return "";
  char text[256] = {};
  avcodec_string(text, sizeof text, context.get(), 0);
  return text;
}

void Append(std::vector<std::string>& lines, const std::vector<std::string>& more) {
  lines.insert(lines.end(), more.begin(), more.end());
}

// A program's provider or name; transport streams tag them "service_provider" and
// "service_name".
std::string ProgramTag(const AVDictionary* tags, const char* key, const char* service_key) {
  const AVDictionaryEntry* entry = av_dict_get(tags, key, nullptr, 0);
  if (!entry) entry = av_dict_get(tags, service_key, nullptr, 0);
  return entry ? entry->value : "N/A";
}

}  // namespace

std::string TCustomMediaProbe::StreamLine(int index) const {
  const AVStream* stream = Stream(index);
  const AVCodecParameters* parameters = stream->codecpar;
  char part[128];
  std::string line = "Stream #" + std::to_string(index);
  if (context_->iformat && (context_->iformat->flags & AVFMT_SHOW_IDS)) {
    snprintf(part, sizeof part, "[0x%x]", static_cast<unsigned>(stream->id));
    line += part;
  }
  if (const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0)) {
    line += "(" + std::string(language->value) + ")";
  }
  int64_t divisor = av_gcd(stream->time_base.num, stream->time_base.den);
  if (divisor == 0) divisor = 1;
  snprintf(part, sizeof part, ", %lld/%lld",
           static_cast<long long>(stream->time_base.num / divisor),
           static_cast<long long>(stream->time_base.den / divisor));
  line += part;
  line += ": " + CodecSummary(parameters);

  const AVRational sar = stream->sample_aspect_ratio;
  if (sar.num != 0 && av_cmp_q(sar, parameters->sample_aspect_ratio) != 0) {
    AVRational display{};
    av_reduce(&display.num, &display.den, int64_t{parameters->width} * sar.num,
              int64_t{parameters->height} * sar.den, 1024 * 1024);
    snprintf(part, sizeof part, ", PAR %d:%d DAR %d:%d", sar.num, sar.den, display.num,
             display.den);
    line += part;
  }
  if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) {
    auto add_rate = [&line](AVRational rate, const char* unit) {
      if (rate.num != 0 && rate.den != 0) line += RateText(av_q2d(rate), unit);
    };
    add_rate(stream->avg_frame_rate, "fps");
    add_rate(stream->r_frame_rate, "tbr");
    add_rate(av_inv_q(stream->time_base), "tbn");
  }
  const AVRational time_base = stream->time_base.den != 0 ? stream->time_base : AVRational{1, 1};
  if (stream->start_time != AV_NOPTS_VALUE) {
    line +=
        ", StartTime: " + SecondsText(av_rescale_q(stream->start_time, time_base, AV_TIME_BASE_Q));
  }
  line += ", Duration: ";
  line += stream->duration != AV_NOPTS_VALUE
              ? DurationText(av_rescale_q(stream->duration, time_base, AV_TIME_BASE_Q))
              : "N/A";
  return line;
}

std::string TCustomMediaProbe::InfoText() {
  if (!CheckLoaded()) return "";
  std::vector<std::string> lines;
  lines.push_back("File Name: " + FileName());
  lines.push_back("Format Name: " + FormatName());
  lines.push_back(
      std::string("Format Long Name: ") +
      (context_->iformat && context_->iformat->long_name ? context_->iformat->long_name : ""));
  lines.push_back("File Size: " + SizeText(file_size_));
  lines.push_back(context_->duration == AV_NOPTS_VALUE || context_->duration < 0
                      ? "Duration: N/A"
                      : "Duration: " + DurationText(context_->duration));
  if (context_->start_time != AV_NOPTS_VALUE && context_->start_time >= 0) {
    lines.push_back("StartTime: " + SecondsText(context_->start_time));
  }
  lines.push_back(context_->bit_rate < 1
                      ? "Bit Rate: N/A"
                      : "Bit Rate: " + std::to_string(context_->bit_rate / 1000) + " kb/s");
  if (const int64_t created = CreationTime(context_->metadata); created > 0) {
    lines.push_back("Time Stamp: " + LocalTimeText(created));
  }
  Append(lines, TagBlockLines(context_->metadata, ""));

  std::vector<bool> printed(static_cast<size_t>(stream_count_), false);
  auto add_stream = [&](int index) {
    lines.push_back(StreamLine(index));
    Append(lines, TagBlockLines(Stream(index)->metadata, "  "));
    printed[static_cast<size_t>(index)] = true;
  };
  for (unsigned p = 0; p < context_->nb_programs; ++p) {
    const AVProgram* program = context_->programs[p];
    lines.push_back("Program " + std::to_string(program->id) + " " +
                    ProgramTag(program->metadata, "provider_name", "service_provider") + "@" +
                    ProgramTag(program->metadata, "name", "service_name"));
    Append(lines, TagBlockLines(program->metadata, "  "));
    for (unsigned s = 0; s < program->nb_stream_indexes; ++s) {
      const int index = static_cast<int>(program->stream_index[s]);
      if (index >= 0 && index < stream_count_) add_stream(index);
    }
  }
  for (int index = 0; index < stream_count_; ++index) {
    if (!printed[static_cast<size_t>(index)]) add_stream(index);
  }

  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

}  // namespace korvex::engine
