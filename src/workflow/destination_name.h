// Output file names: the source's base name in the output folder, marked "_(new)", or
// "_(new_n)" with the first free n when that name is taken, followed by a suffix (the text
// after the base name, extension included, as in ".mp4").
#pragma once

#include <set>
#include <string>

#include "platform/dialogs.h"
#include "workflow/app_settings.h"

namespace korvex::workflow {

// The names handed out during one batch start. Jobs whose sources share a base name would
// otherwise all be given the same free name, since none of their outputs exists yet.
class DestinationReservations {
 public:
  bool IsReserved(const std::string& path) const { return reserved_.contains(path); }
  void Reserve(const std::string& path) { reserved_.insert(path); }

 private:
  std::set<std::string> reserved_;
};

// The output path for a source: the first of base + "_(new)" + suffix, base + "_(new_1)" +
// suffix, base + "_(new_2)" + suffix, ... that names no existing file. The output folder
// ("OutPutDir") is created when missing, with the default folder as fallback (after a warning).
std::string DestinationName(const std::string& source_path, const std::string& suffix,
                            AppSettings& settings, platform::Dialogs& dialogs);

// The same, also passing over the names in `reservations`; the name returned is reserved.
std::string DestinationName(const std::string& source_path, const std::string& suffix,
                            AppSettings& settings, platform::Dialogs& dialogs,
                            DestinationReservations& reservations);

}  // namespace korvex::workflow
