#include "workflow/format_catalogue.h"

namespace korvex::workflow {

namespace {

struct Entry {
  int group;
  int slot;
  const char* name;
};

constexpr const char* kGroupNames[] = {
    "Quick Time Video - MOV",
    "General Video formates",
    "General Audio formates",
};

constexpr Entry kFormats[] = {
    {0, 0, "MOV - Quick Time Video (*.mov)"},
    {1, 0, "MPEG-1 Video (*.mpg)"},
    {1, 1, "MPEG-2 Video (*.mpg)"},
    {1, 2, "MPEG-4 Video (*.mp4)"},
    {1, 3, "H.264/MPEG-4 AVC Video (*.mp4)"},
    {1, 4, "AVI Video (*.avi)"},
    {1, 5, "WMV Video (*.wmv)"},
    {1, 6, "Divx Video (*.avi)"},
    {1, 7, "Xvid Video (*.avi)"},
    {1, 8, "DV - NTSC -Digital Video Format (*.dv)"},
    {1, 9, "DV - PAL -Digital Video Format (*.dv)"},
    {2, 0, "MP3 MPEG Layer-3 Audio (*.mp3)"},
    {2, 1, "AAC Advenced Audio Codec (*.aac)"},
    {2, 2, "M4A MPEG-4 Audio (*.m4a)"},
    {2, 3, "WMA - Windows Meida Audio (*.wma)"},
    {2, 4, "WAV - Waveform Audio (*.wav)"},
    {2, 5, "OGG Vorbis Audio Codec (*.ogg)"},
    {2, 6, "AC-3 Audio Codec (*.ac3)"},
};

const std::string kNone;

}  // namespace

FormatCatalogue::FormatCatalogue() { Refill(); }

void FormatCatalogue::Refill() {
  groups_ = {};
  for (size_t g = 0; g < std::size(kGroupNames); ++g) groups_[g].name = kGroupNames[g];
  for (const Entry& entry : kFormats) groups_[entry.group].formats[entry.slot] = entry.name;
}

int FormatCatalogue::GroupCount() const {
  int count = 0;
  while (count < kGroupSlots && !groups_[count].name.empty()) ++count;
  return count;
}

const std::string& FormatCatalogue::GroupName(int group) const {
  if (group < 0 || group >= kGroupSlots) return kNone;
  return groups_[group].name;
}

const std::string& FormatCatalogue::FormatName(int group, int slot) const {
  if (group < 0 || group >= kGroupSlots || slot < 0 || slot >= kFormatSlots) return kNone;
  return groups_[group].formats[slot];
}

std::vector<int32_t> FormatCatalogue::FormatCodes(int group) const {
  std::vector<int32_t> codes;
  if (group < 0 || group >= kGroupSlots) return codes;
  for (int slot = 0; slot < kFormatSlots; ++slot) {
    if (!groups_[group].formats[slot].empty()) codes.push_back(Code(group, slot));
  }
  return codes;
}

std::optional<std::string> FormatCatalogue::NameOfCode(int32_t code) const {
  if (code < 0) return std::nullopt;
  const std::string& name = FormatName(code / 100, code % 100);
  if (name.empty()) return std::nullopt;
  return name;
}

}  // namespace korvex::workflow
