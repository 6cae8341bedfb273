#include "engine/options/option_text.h"

#include <gtest/gtest.h>

namespace korvex::engine {
namespace {

using Lines = std::vector<std::pair<std::string, std::string>>;

Lines Pairs(std::string_view text) {
  Lines pairs;
  for (const OptionLine& line : ParseOptionText(text)) pairs.emplace_back(line.key, line.value);
  return pairs;
}

TEST(OptionText, SplitsLinesAtTheFirstEqualsSign) {
  const struct {
    std::string_view text;
    Lines expected;
  } cases[] = {
      {"", {}},
      {"  \r\n ", {}},
      {"VCodec=mpeg4", {{"vcodec", "mpeg4"}}},
      {"a=1<CRLF>B=2\r\nc\rd==x\ne=", {{"a", "1"}, {"b", "2"}, {"c", ""}, {"d", "=x"}, {"e", ""}}},
      // Keys and values are not trimmed line by line; an inner empty line is an empty key.
      {" k = v \n\n t=1 ", {{"k ", " v "}, {"", ""}, {" t", "1"}}},
      {"metadata=title=A b", {{"metadata", "title=A b"}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Pairs(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace korvex::engine
