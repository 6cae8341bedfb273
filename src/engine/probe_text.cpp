#include "engine/probe_text.h"

extern "C" {
#include <libavutil/parseutils.h>
}

#include <cmath>
#include <cstdio>
#include <utility>

namespace korvex::engine {

int64_t CreationTime(const AVDictionary* tags) {
  const AVDictionaryEntry* entry = av_dict_get(tags, "creation_time", nullptr, 0);
  int64_t microseconds = 0;
  if (!entry || av_parse_time(&microseconds, entry->value, 0) != 0) return 0;
  return microseconds / 1000000;
}

std::string SizeText(int64_t bytes) {
  char text[64];
  if (bytes > (int64_t{1} << 30)) {
    snprintf(text, sizeof text, "%.2f GB", static_cast<double>(bytes) / (1 << 30));
  } else if (bytes > (int64_t{1} << 20)) {
    snprintf(text, sizeof text, "%.2f MB", static_cast<double>(bytes) / (1 << 20));
  } else if (bytes > 1024) {
    snprintf(text, sizeof text, "%.2f KB", static_cast<double>(bytes) / 1024);
  } else {
    snprintf(text, sizeof text, "%lld Byte", static_cast<long long>(bytes));
  }
  return text;
}

std::string RateText(double value, std::string_view unit) {
  const long long hundredths = std::llrint(value * 100);
  const std::string suffix(unit);
  char text[96];
  if (hundredths % 100 != 0) {
    snprintf(text, sizeof text, ", %3.2f %s", value, suffix.c_str());
  } else if (hundredths % 100000 != 0) {
    snprintf(text, sizeof text, ", %1.0f %s", value, suffix.c_str());
  } else {
    snprintf(text, sizeof text, ", %1.0fk %s", value / 1000, suffix.c_str());
  }
  return text;
}

std::string TagDisplayName(std::string_view key) {
  static const std::pair<std::string_view, std::string_view> kNames[] = {
      {"TALB", "album"},     {"TAL", "album"},      {"TCOM", "composer"},  {"TCON", "genre"},
      {"TCO", "genre"},      {"TCOP", "copyright"}, {"TDRL", "date"},      {"TENC", "encoder"},
      {"TEN", "encoder"},    {"TIT2", "title"},     {"TT2", "title"},      {"TLAN", "language"},
      {"TPE1", "artist"},    {"TP1", "artist"},     {"TPOS", "disc"},      {"TPUB", "publisher"},
      {"TRCK", "track"},     {"TRK", "track"},      {"TSOA", "albumsort"}, {"TSOP", "authorsort"},
      {"TSOT", "titlesort"}, {"TYER", "year"},
  };
  for (const auto& [id, name] : kNames) {
    if (key == id) return std::string(name);
  }
  return std::string(key);
}

std::vector<std::string> TagBlockLines(const AVDictionary* tags, std::string_view prefix) {
  std::vector<std::string> lines;
  const int count = av_dict_count(tags);
  if (count == 0) return lines;
  if (count == 1 && av_dict_get(tags, "language", nullptr, AV_DICT_MATCH_CASE)) return lines;
  const std::string lead(prefix);
  lines.push_back(lead + "Metadata:");
  const AVDictionaryEntry* entry = nullptr;
  while ((entry = av_dict_get(tags, "", entry, AV_DICT_IGNORE_SUFFIX))) {
    if (std::string_view(entry->key) == "language") continue;
    std::string name = TagDisplayName(entry->key);
    if (name.size() < 16) name.append(16 - name.size(), ' ');
    lines.push_back(lead + "  " + name + ": " + entry->value);
  }
  return lines;
}

}  // namespace korvex::engine
