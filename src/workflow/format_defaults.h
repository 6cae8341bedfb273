// The user's profile of one output format as the format settings dialog stores it: the
// choices of its fields, their factory defaults ("Default"), and the keys that confirming
// them ("Ok") writes into the application INI section of the format.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/ini_file.h"
#include "workflow/format_profile.h"

namespace korvex::workflow {

// One field of the dialog: the index of the selected entry of its option list, -1 when the
// text was typed or nothing is selected, and the text the field shows.
struct FieldChoice {
  int index = -1;
  std::string text;
};

// Zoom entries of the dialog: 0 "full", 1 "lbox", 2 "pan", 3 "center"; -1 none selected.
struct FormatChoices {
  FieldChoice video_size;
  FieldChoice video_bit_rate;
  FieldChoice frame_rate;
  FieldChoice video_encoder;
  int zoom = -1;
  FieldChoice sample_rate;
  FieldChoice audio_bit_rate;
  FieldChoice channel;
  FieldChoice volume;
  FieldChoice audio_encoder;
};

// The factory defaults of a format: in each option list the entry at the profile's index key
// (nothing selected when the list is missing or the index lies outside it), zoom "full".
FormatChoices FactoryDefaultChoices(const FormatProfile& profile);

// Key and value pairs in the order they are written; a key written twice takes the later value.
using SectionWrites = std::vector<std::pair<std::string, std::string>>;

// What confirming the choices writes into the user's section of the profile's format.
// `description` is the format's display name. Encoder, channel and volume entries that map to
// no stored value write nothing, so the section keeps what it had for them; so do the H.264
// extras of the profile that are not valid.
SectionWrites ConfirmedSectionWrites(const FormatProfile& profile, const std::string& description,
                                     const FormatChoices& choices);

// Writes ConfirmedSectionWrites into the application INI section "formatInfo" + code.
void WriteConfirmedChoices(platform::IniFile& app_ini, const FormatProfile& profile,
                           const std::string& description, const FormatChoices& choices);

}  // namespace korvex::workflow
