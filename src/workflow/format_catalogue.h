// The fixed catalogue of output formats: groups of formats, each format known by its code
// group * 100 + slot. The chooser lists are built from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvex::workflow {

// One row of a chooser list: a group header or a format.
struct TItemInfo {
  bool IsFormat = false;
  bool IsGroup = false;
  bool Collapsed = false;  // headers only: the group's formats are not shown
  int32_t Code = 0;        // headers: the group number; formats: the format code

  bool operator==(const TItemInfo&) const = default;
};

class FormatCatalogue {
 public:
  static constexpr int kGroupSlots = 51;
  static constexpr int kFormatSlots = 51;

  FormatCatalogue();

  // Empties every slot, then puts the delivered groups and formats in again.
  void Refill();

  static constexpr int32_t Code(int group, int slot) { return group * 100 + slot; }

  // Number of groups that have a name, counted from group 0.
  int GroupCount() const;
  // Empty for a free slot or a number out of range.
  const std::string& GroupName(int group) const;
  const std::string& FormatName(int group, int slot) const;
  // The codes of the group's formats in slot order, free slots skipped.
  std::vector<int32_t> FormatCodes(int group) const;
  // The display name of a format code; nullopt when the code names no format.
  std::optional<std::string> NameOfCode(int32_t code) const;

 private:
  struct Group {
    std::string name;
    std::array<std::string, kFormatSlots> formats;
  };
  std::array<Group, kGroupSlots> groups_;
};

}  // namespace korvex::workflow
