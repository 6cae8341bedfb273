// Option lists come from format profile files that users may edit. Splitting must lose
// nothing: the entries joined with commas give the text back, one entry per comma plus one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "workflow/option_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> entries = korvex::workflow::ParseOptionList(text);

  if (text.empty()) {
    KORVEX_FUZZ_CHECK(entries.empty());
    return 0;
  }
  const auto commas = static_cast<size_t>(std::count(text.begin(), text.end(), ','));
  KORVEX_FUZZ_CHECK(entries.size() == commas + 1);

  std::string joined;
  for (size_t i = 0; i < entries.size(); ++i) {
    KORVEX_FUZZ_CHECK(entries[i].find(',') == std::string::npos);
    if (i > 0) joined += ',';
    joined += entries[i];
  }
  KORVEX_FUZZ_CHECK(joined == text);
  return 0;
}
