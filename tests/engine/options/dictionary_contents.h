// What an option dictionary holds, in forms tests compare easily.
#pragma once

#include <map>
#include <string>

#include "engine/library_objects.h"

namespace korvex::engine {

using Pairs = std::map<std::string, std::string>;

inline Pairs DictionaryPairs(const DictionaryPtr& dictionary) {
  Pairs pairs;
  const AVDictionaryEntry* entry = nullptr;
  while ((entry = av_dict_get(dictionary.get(), "", entry, AV_DICT_IGNORE_SUFFIX))) {
    pairs[entry->key] = entry->value;
  }
  return pairs;
}

// The value stored under a key, or an empty text.
inline std::string DictionaryValue(const DictionaryPtr& dictionary, const char* key) {
  const AVDictionaryEntry* entry = av_dict_get(dictionary.get(), key, nullptr, 0);
  return entry != nullptr ? entry->value : "";
}

}  // namespace korvex::engine
