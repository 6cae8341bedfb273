#include "workflow/option_list.h"

namespace korvex::workflow {

std::vector<std::string> ParseOptionList(std::string_view text) {
  std::vector<std::string> entries;
  if (text.empty()) return entries;
  std::string current;
  for (char c : text) {
    if (c == ',') {
      entries.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  entries.push_back(std::move(current));
  return entries;
}

}  // namespace korvex::workflow
