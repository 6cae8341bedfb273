// Reading and updating INI files with the rules of Windows profile files.
#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "ini_test_util.h"
#include "support/temp_environment.h"

namespace korvex::platform {
namespace {

using namespace std::string_literals;
using testing::FolderEntries;

class IniFileTest : public testing::TempEnvironment {
 protected:
  std::string Path() const { return AppData() + "/settings.ini"; }
};

TEST_F(IniFileTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
  IniFile ini(Path());
  ini.WriteInteger("Settings", "paraZoom", 3);
  EXPECT_EQ(ini.ReadInteger("settings", "parazoom", 0), 3);
  EXPECT_TRUE(ini.SectionExists("SETTINGS"));

  ini.WriteInteger("SETTINGS", "PARAZOOM", 4);
  EXPECT_EQ(ReadFile(Path()), "[Settings]\nparaZoom=4\n");
  EXPECT_EQ(ini.ReadSectionKeys("settings"), std::vector<std::string>{"paraZoom"});
}

TEST_F(IniFileTest, ValuesReadAsStringIntegerAndBool) {
  struct Case {
    std::string raw;  // what follows "k=" in the file
    std::string text;
    int integer;  // read with default 42
    bool flag;    // read with default false
  };
  const std::vector<Case> cases = {
      {"12", "12", 12, true},
      {"-3", "-3", -3, true},
      {"0", "0", 0, false},
      {"1", "1", 1, true},
      {"2", "2", 2, true},
      {"  7 \t", "7", 7, true},
      {"\"5\"", "5", 5, true},
      {"12a", "12a", 42, false},
      {"", "", 42, false},
      {"yes", "yes", 42, false},
      {"1.0", "1.0", 42, false},
      {"99999999999", "99999999999", 42, false},
      {"\" padded \"", " padded ", 42, false},
      {"'single'", "single", 42, false},
      {"\"unbalanced", "\"unbalanced", 42, false},
      {"a=b", "a=b", 42, false},
  };
  std::string text = "[V]\n";
  for (size_t i = 0; i < cases.size(); ++i)
    text += "k" + std::to_string(i) + "=" + cases[i].raw + "\n";
  WriteFile(Path(), text);

  IniFile ini(Path());
  for (size_t i = 0; i < cases.size(); ++i) {
    const std::string key = "k" + std::to_string(i);
    SCOPED_TRACE("k=" + cases[i].raw);
    EXPECT_EQ(ini.ReadString("V", key, "default"), cases[i].text);
    EXPECT_EQ(ini.ReadInteger("V", key, 42), cases[i].integer);
    EXPECT_EQ(ini.ReadBool("V", key, false), cases[i].flag);
  }
}

TEST_F(IniFileTest, MissingFileSectionOrKeyReadsAsDefaultAndFirstWriteCreatesTheFile) {
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadString("S", "k", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("S", "k", -7), -7);
  EXPECT_TRUE(ini.ReadBool("S", "k", true));
  EXPECT_FALSE(ini.SectionExists("S"));
  EXPECT_TRUE(ini.ReadSectionKeys("S").empty());

  ini.WriteBool("S", "On", true);
  ini.WriteBool("S", "Off", false);
  EXPECT_EQ(ReadFile(Path()), "[S]\nOn=1\nOff=0\n");
  EXPECT_EQ(ini.ReadString("Other", "On", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("S", "Missing", "dflt"), "dflt");
}

TEST_F(IniFileTest, WriteKeepsEveryOtherLineInItsPlace) {
  const std::string before =
      "; Korvex settings\n"
      "[General]\n"
      "  Language = English  \n"
      "; a comment inside\n"
      "Zoom=2\n"
      "\n"
      "[Paths]\n"
      "Output=\"/home/u/My Videos\"\n"
      "#hash comment\n"
      "garbage line without equals\n"
      "=novalue\n"
      "[unterminated\n"
      "\x01\xff\xfe binary\0bytes\n"s
      "Last=1\n"
      "\n";
  WriteFile(Path(), before);
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadString("paths", "output", ""), "/home/u/My Videos");
  EXPECT_EQ(ini.ReadString("General", "Language", ""), "English");
  EXPECT_EQ(ini.ReadSectionKeys("Paths"), (std::vector<std::string>{"Output", "Last"}));

  ini.WriteInteger("general", "zoom", 5);
  ini.WriteString("Paths", "New", "x");
  ini.WriteString("Extra", "k", "v");

  const std::string after =
      "; Korvex settings\n"
      "[General]\n"
      "  Language = English  \n"
      "; a comment inside\n"
      "Zoom=5\n"
      "\n"
      "[Paths]\n"
      "Output=\"/home/u/My Videos\"\n"
      "#hash comment\n"
      "garbage line without equals\n"
      "=novalue\n"
      "[unterminated\n"
      "\x01\xff\xfe binary\0bytes\n"s
      "Last=1\n"
      "New=x\n"
      "\n"
      "[Extra]\n"
      "k=v\n";
  EXPECT_EQ(ReadFile(Path()), after);
  EXPECT_EQ(ini.ReadString("Paths", "Last", ""), "1");
}

TEST_F(IniFileTest, LineEndingsAndByteOrderMarkAreKept) {
  WriteFile(Path(), "\xEF\xBB\xBF[A]\r\nx = 1\r\nlast=no newline");
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
  EXPECT_EQ(ini.ReadString("A", "last", ""), "no newline");

  ini.WriteString("A", "y", "2");
  ini.WriteString("B", "z", "3");
  EXPECT_EQ(ReadFile(Path()),
            "\xEF\xBB\xBF[A]\r\nx = 1\r\nlast=no newline\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
}

TEST_F(IniFileTest, FirstOfEqualSectionsAndKeysIsTheOneReadAndWritten) {
  WriteFile(Path(), "[A]\nk=1\nK=2\n[B]\nk=b\n[a]\nk=3\nj=4\n");
  IniFile ini(Path());
  EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
  EXPECT_EQ(ini.ReadString("A", "j", "none"), "none");
  EXPECT_EQ(ini.ReadSectionKeys("A"), std::vector<std::string>{"k"});

  ini.WriteString("a", "K", "9");
  ini.WriteString("A", "j", "5");
  EXPECT_EQ(ReadFile(Path()), "[A]\nk=9\nK=2\nj=5\n[B]\nk=b\n[a]\nk=3\nj=4\n");
}

TEST_F(IniFileTest, ValuesThatReadingWouldChangeRoundTrip) {
  const std::string values[] = {" padded ",    "\"quoted\"", "'x'", "",  "a=b;c",
                                "tab\tinside", "ünïcödé",    "\"",  "  "};
  IniFile ini(Path());
  for (const std::string& value : values) {
    ini.WriteString("S", "k", value);
    EXPECT_EQ(ini.ReadString("S", "k", "dflt"), value) << '"' << value << '"';
  }
}

TEST_F(IniFileTest, NamesAndValuesALineCannotHoldAreRefusedAndLeaveTheFileUnchanged) {
  struct Case {
    std::string section, key, value;
  };
  const Case cases[] = {
      {"A", "k", "two\nlines"}, {"A", "k", "cr\r"}, {"A", "k", "nul\0"s}, {"A", "k=", "v"},
      {"A", "", "v"},           {"", "k", "v"},     {"A]", "k", "v"},     {" A", "k", "v"},
      {"A", "k ", "v"},         {"A", "[k", "v"},   {"A", ";k", "v"},     {"A", "#k", "v"},
      {"A\nB", "k", "v"},
  };
  const std::string before = "[A]\nk=old\n";
  WriteFile(Path(), before);
  IniFile ini(Path());
  for (const Case& c : cases) {
    SCOPED_TRACE("[" + c.section + "] " + c.key + "=" + c.value);
    EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), IniFormatError);
    EXPECT_EQ(ReadFile(Path()), before);
  }
  EXPECT_EQ(FolderEntries(AppData()), std::set<std::string>{"settings.ini"});
}

TEST(IniDocumentTest, ARefusedSetLeavesTheDocumentUnchanged) {
  IniDocument doc = IniDocument::Parse("[A]\nk=1\n");
  EXPECT_THROW(doc.Set("New", "k", "bad\nvalue"), IniFormatError);
  EXPECT_THROW(doc.Set("A", "k=x", "v"), IniFormatError);
  EXPECT_EQ(doc.Serialize(), "[A]\nk=1\n");
  EXPECT_FALSE(doc.HasSection("New"));
}

}  // namespace
}  // namespace korvex::platform
