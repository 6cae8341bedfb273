// The option lists of the format profiles: one INI value holding the entries of a choice
// list, separated by commas, in display order, with no quoting and no trimming of blanks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvex::workflow {

// Splits an option list at every comma. Empty entries are kept: "a,,b" gives "a", "" and
// "b", and a trailing comma gives a final empty entry. An empty text gives no entries.
std::vector<std::string> ParseOptionList(std::string_view text);

}  // namespace korvex::workflow
