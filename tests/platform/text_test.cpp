#include "platform/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

namespace korvex::platform {
namespace {

TEST(TextTest, ParseIntAcceptsOnlyAWholeDecimalInteger) {
  struct Case {
    std::string text;
    std::optional<int> expected;
  };
  const Case cases[] = {
      {"12", 12},
      {"-3", -3},
      {"+7", 7},
      {"0", 0},
      {"007", 7},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"12a", std::nullopt},
      {"", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"+-1", std::nullopt},
      {"++1", std::nullopt},
      {"0x10", std::nullopt},
      {"1.5", std::nullopt},
      {"1e3", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseInt(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(TextTest, ParseDoubleAcceptsOnlyAWholeFiniteNumber) {
  struct Case {
    std::string text;
    std::optional<double> expected;
  };
  const Case cases[] = {
      {"29.97", 29.97},      {"-1", -1.0},
      {"1e3", 1000.0},       {"+2.5", 2.5},
      {".5", 0.5},           {"0", 0.0},
      {"", std::nullopt},    {" 1", std::nullopt},
      {"1 ", std::nullopt},  {"1.5x", std::nullopt},
      {"1,5", std::nullopt}, {"1e", std::nullopt},
      {"inf", std::nullopt}, {"-inf", std::nullopt},
      {"nan", std::nullopt}, {"1e999", std::nullopt},
      {"+-1", std::nullopt}, {"0x1p3", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseDouble(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(TextTest, TrimRemovesBlanksAndControlCharactersOnly) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"  a b\t", "a b"},
      {"\r\n", ""},
      {"", ""},
      {"\x7f"
       "x\x01",
       "x"},
      {std::string("\0x\0", 3), "x"},
      {" Grüße ", "Grüße"},
      // A UTF-8 no-break space is not ASCII and stays.
      {"\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Trim(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(TextTest, Utf8LengthAndRightCountCharactersNotBytes) {
  struct Case {
    std::string text;
    size_t length;
    size_t count;
    std::string right;
  };
  const Case cases[] = {
      {"abc", 3, 2, "bc"},
      {"abc", 3, 5, "abc"},
      {"abc", 3, 0, ""},
      {"", 0, 3, ""},
      {"Grüße", 5, 3, "üße"},
      {"日本語", 3, 1, "語"},
      {"a😀b", 3, 2, "😀b"},
      // Bytes outside a well-formed sequence (here Latin-1 text) count as one character each.
      {"\xA9\xB0\xBD", 3, 2, "\xB0\xBD"},
      {"x\xE9t\xE9", 4, 2, "t\xE9"},
      {"ab\xC3", 3, 1, "\xC3"},
      {"\xE6\x97", 2, 1, "\x97"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8Length(c.text), c.length) << '"' << c.text << '"';
    EXPECT_EQ(Utf8Right(c.text, c.count), c.right) << '"' << c.text << "\" " << c.count;
  }
}

TEST(TextTest, CaseFoldingTouchesAsciiLettersOnly) {
  EXPECT_EQ(ToLowerAscii("ParaZoom ÄÖ 1"), "parazoom ÄÖ 1");
  EXPECT_TRUE(EqualsIgnoreCase("paraZoom", "PARAZOOM"));
  EXPECT_FALSE(EqualsIgnoreCase("Ä", "ä"));
  EXPECT_FALSE(EqualsIgnoreCase("a", "ab"));
  EXPECT_FALSE(EqualsIgnoreCase("[", "{"));
}

}  // namespace
}  // namespace korvex::platform
