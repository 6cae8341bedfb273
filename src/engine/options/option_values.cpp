#include "engine/options/option_values.h"

extern "C" {
#include <libavutil/parseutils.h>
}

#include <cstdlib>
#include <string>

#include "engine/engine_exception.h"
#include "engine/options/option_text.h"

namespace korvex::engine {

namespace {

// strtol/strtod need a terminated text; option values are views into longer texts.
std::string Terminated(std::string_view text) { return std::string(text); }

std::string TimeTextError(std::string_view what, std::string_view option,
                               std::string_view text) {
  return "Invalid " + std::string(what) + " specification for " + std::string(option) + ": " +
         std::string(text);
}

int64_t ParseTime(std::string_view what, std::string_view option, std::string_view text,
                  bool is_duration) {
  int64_t value = 0;
  if (av_parse_time(&value, Terminated(text).c_str(), is_duration ? 1 : 0) < 0)
    throw EngineException(TimeTextError(what, option, text));
  return value;
}

// Reads a number at `pos` and steps over it, then over one separator character when present.
long ReadNumber(const std::string& text, size_t& pos, bool& separated) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str() + pos, &end, 0);
  pos = static_cast<size_t>(end - text.c_str());
  separated = pos < text.size();
  if (separated) ++pos;
  return value;
}

}  // namespace

int ParseInteger(std::string_view text) { return static_cast<int>(ParseInteger64(text)); }

int64_t ParseInteger64(std::string_view text) {
  return std::strtoll(Terminated(text).c_str(), nullptr, 10);
}

double ParseReal(std::string_view text) { return std::strtod(Terminated(text).c_str(), nullptr); }

bool ParseFlag(std::string_view text) { return text != "0"; }

int64_t ParseDuration(std::string_view option, std::string_view text) {
  return ParseTime("duration", option, text, true);
}

int64_t ParseDate(std::string_view option, std::string_view text) {
  return ParseTime("date", option, text, false);
}

StreamMap ParseStreamMap(std::string_view text) {
  const std::string terminated = Terminated(text);
  size_t pos = 0;
  bool more = false;
  StreamMap map;
  map.file_index = static_cast<int>(ReadNumber(terminated, pos, more));
  map.stream_index = static_cast<int>(ReadNumber(terminated, pos, more));
  if (more) {
    map.sync_file_index = static_cast<int>(ReadNumber(terminated, pos, more));
    map.sync_stream_index = static_cast<int>(ReadNumber(terminated, pos, more));
  } else {
    map.sync_file_index = map.file_index;
    map.sync_stream_index = map.stream_index;
  }
  return map;
}

MetaDataMap ParseMetaDataMap(std::string_view text) {
  const std::string terminated = Terminated(text);
  size_t pos = 0;
  bool more = false;
  MetaDataMap map;
  map.out_file = static_cast<int>(ReadNumber(terminated, pos, more));
  map.in_file = static_cast<int>(ReadNumber(terminated, pos, more));
  return map;
}

QuantMatrix ParseMatrix(std::string_view text) {
  const std::string terminated = Terminated(text);
  QuantMatrix matrix{};
  size_t pos = 0;
  for (int i = 0; i < 64; ++i) {
    matrix[i] = static_cast<uint16_t>(std::strtol(terminated.c_str() + pos, nullptr, 0));
    const size_t comma = terminated.find(',', pos);
    if (comma == std::string::npos) {
      if (i < 63) {
        throw EngineException("Syntax error in matrix \"" + terminated + "\" at coeff " +
                              std::to_string(i));
      }
      break;
    }
    pos = comma + 1;
  }
  return matrix;
}

bool ParseCodecTag(std::string_view text, uint32_t& tag) {
  if (text.size() != 4) return false;
  tag = 0;
  for (int i = 3; i >= 0; --i) tag = (tag << 8) | static_cast<unsigned char>(text[i]);
  return true;
}

double ParseAspectRatio(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon != std::string_view::npos) {
    const double numerator = ParseReal(text.substr(0, colon));
    const double denominator = ParseReal(text.substr(colon + 1));
    return denominator > 0 ? numerator / denominator : 0;
  }
  return ParseReal(text);
}

bool SplitIndexValue(std::string_view text, std::string_view& index, std::string_view& value) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  index = TrimOptionText(text.substr(0, colon));
  value = TrimOptionText(text.substr(colon + 1));
  return !index.empty() && !value.empty();
}

}  // namespace korvex::engine
