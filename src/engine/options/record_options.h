// Turns the caller's input and output records into option calls, in the order that lets the
// record's fields, its option text and the presets combine as intended.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/options/task_options.h"

namespace korvex::engine {

class OptionDispatcher;

// The codec, preset, size and filter values an output's streams take: the "def_" entries from the
// record (the option text fills those left empty) and every such line of the option text.
class OutputPresetList {
 public:
  void Add(std::string key, std::string value);
  // The first entry of the key, or an empty text.
  const std::string& Value(std::string_view key) const;
  void SetValue(std::string_view key, std::string value);
  // Removes and returns the first entry of the key; false when none is left.
  bool TakeFirst(std::string_view key, std::string& value);
  const std::vector<std::pair<std::string, std::string>>& Entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

// Before the input is opened: the option text (without the output-only keys), then the forced
// format, start time and program.
void ApplyInputOptions(const TInputOptions& input, OptionDispatcher& dispatcher);

// Before the output is created: target, codecs, presets, option text, the record's own fields,
// frame size and filter graph. Returns the list the output's streams take their values from.
OutputPresetList ApplyOutputOptions(const TOutputOptions& output, OptionDispatcher& dispatcher);

// The recording timestamp for a `TStreamInfo::Timestamp` of days since 30 December 1899 in local
// time: seconds since 1970 UTC.
int64_t UnixTimeOfLocalDays(double days);

}  // namespace korvex::engine
