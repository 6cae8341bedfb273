#include "workflow/format_chooser.h"

#include <gtest/gtest.h>

#include "support/temp_environment.h"
#include "workflow/option_list.h"

namespace korvex::workflow {
namespace {

TEST(ParseOptionListTest, SplitsAtEveryCommaAndKeepsEmptyEntries) {
  using List = std::vector<std::string>;
  struct Case {
    const char* text;
    List entries;
  };
  const Case cases[] = {
      {"as source,,320x240,", {"as source", "", "320x240", ""}},
      {"as source,320x240,640x480", {"as source", "320x240", "640x480"}},
      {"null", {"null"}},
      {"", {}},
      {",", {"", ""}},
      {" 25% , 50%", {" 25% ", " 50%"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseOptionList(c.text), c.entries) << c.text;
}

TEST(FormatCatalogueTest, HoldsTheEighteenFormatsUnderTheirCodes) {
  FormatCatalogue catalogue;
  ASSERT_EQ(catalogue.GroupCount(), 3);
  EXPECT_EQ(catalogue.GroupName(0), "Quick Time Video - MOV");
  EXPECT_EQ(catalogue.GroupName(1), "General Video formates");
  EXPECT_EQ(catalogue.GroupName(2), "General Audio formates");
  EXPECT_EQ(catalogue.FormatCodes(0), std::vector<int32_t>{0});
  EXPECT_EQ(catalogue.FormatCodes(1),
            (std::vector<int32_t>{100, 101, 102, 103, 104, 105, 106, 107, 108, 109}));
  EXPECT_EQ(catalogue.FormatCodes(2), (std::vector<int32_t>{200, 201, 202, 203, 204, 205, 206}));
  EXPECT_EQ(catalogue.NameOfCode(108), "DV - NTSC -Digital Video Format (*.dv)");
  EXPECT_EQ(catalogue.NameOfCode(203), "WMA - Windows Meida Audio (*.wma)");
  for (int32_t missing : {1, 110, 207, 251, 5099, -1}) {
    EXPECT_EQ(catalogue.NameOfCode(missing), std::nullopt) << missing;
  }
  EXPECT_EQ(catalogue.GroupName(51), "");
  EXPECT_EQ(catalogue.FormatName(0, 51), "");
}

TEST(ChooserGeometryTest, HeightsAndPositionsOfBothVariants) {
  EXPECT_EQ(ChooserListHeight(ChooserVariant::kSettingsDialog, 14), 247);
  EXPECT_EQ(ChooserListHeight(ChooserVariant::kSettingsDialog, 3), 80);
  EXPECT_EQ(ChooserListHeight(ChooserVariant::kMainWindow, 3), 80);
  EXPECT_EQ(ChooserListHeight(ChooserVariant::kMainWindow, 22), 422);
  EXPECT_EQ(ChooserListHeight(ChooserVariant::kMainWindow, 21), 440);
  EXPECT_EQ(ChooserListHeight(ChooserVariant::kMainWindow, 14), 300);
  EXPECT_EQ(ChooserListTop(ChooserVariant::kMainWindow, 300, 500, 521), 200);
  EXPECT_EQ(ChooserListTop(ChooserVariant::kSettingsDialog, 247, 40, 61), 60);
}

class FormatChooserTest : public testing::TempEnvironment {
 protected:
  std::string IniPath() const { return AppData() + "/korvexavimovconverter.ini"; }

  static std::vector<int32_t> Codes(const TFormatChooser& chooser) {
    std::vector<int32_t> codes;
    for (const ChooserRow& row : chooser.Rows()) codes.push_back(row.info.Code);
    return codes;
  }
  static size_t RowOf(const TFormatChooser& chooser, const std::string& text) {
    for (size_t i = 0; i < chooser.Rows().size(); ++i) {
      if (chooser.Rows()[i].text == text) return i;
    }
    ADD_FAILURE() << "no row " << text;
    return 0;
  }
};

TEST_F(FormatChooserTest, WithoutStoredStatesAllThreeGroupsAreCollapsed) {
  AppSettings settings(IniPath());
  TFormatChooser chooser(ChooserVariant::kMainWindow, settings);
  chooser.FillFormatChooser();
  ASSERT_EQ(chooser.Rows().size(), 3u);
  for (int32_t group = 0; group < 3; ++group) {
    EXPECT_EQ(chooser.Rows()[group].info, (TItemInfo{false, true, true, group}));
  }
  EXPECT_EQ(chooser.FieldText(), "Apple iPod Video MPEG-4 Movie (*.mp4)");
  EXPECT_EQ(chooser.Selected(), std::nullopt) << "the default name matches no row";
  EXPECT_FALSE(chooser.ListVisible());
}

TEST_F(FormatChooserTest, ExpandingAndCollapsingInsertsAndRemovesExactlyTheGroupsRows) {
  AppSettings settings(IniPath());
  settings.SetGroupCollapsed(2, false);
  TFormatChooser chooser(ChooserVariant::kMainWindow, settings);
  chooser.FillFormatChooser();
  EXPECT_EQ(Codes(chooser), (std::vector<int32_t>{0, 1, 2, 200, 201, 202, 203, 204, 205, 206}));

  chooser.PressRow(1, 5);  // the glyph of "General Video formates"
  EXPECT_EQ(Codes(chooser),
            (std::vector<int32_t>{0,   1,   100, 101, 102, 103, 104, 105, 106, 107,
                                  108, 109, 2,   200, 201, 202, 203, 204, 205, 206}));
  EXPECT_FALSE(chooser.Rows()[1].info.Collapsed);
  EXPECT_EQ(chooser.Rows()[2].text, "MPEG-1 Video (*.mpg)");
  EXPECT_TRUE(chooser.Rows()[2].info.IsFormat);

  chooser.DoubleClickRow(1);
  EXPECT_EQ(Codes(chooser), (std::vector<int32_t>{0, 1, 2, 200, 201, 202, 203, 204, 205, 206}));
  EXPECT_TRUE(chooser.Rows()[1].info.Collapsed);

  chooser.PressRow(1, 20);  // right of the glyph: a header is not toggled by a press
  EXPECT_TRUE(chooser.Rows()[1].info.Collapsed);
  chooser.ToggleGroup(3);  // a format row ignores the toggle
  EXPECT_EQ(chooser.Rows().size(), 10u);
}

TEST_F(FormatChooserTest, SelectionFollowsItsRowWhenGroupsChange) {
  AppSettings settings(IniPath());
  settings.SetChosenFormat("  ac-3 audio codec (*.AC3) ", 206);
  settings.SetGroupCollapsed(2, false);
  TFormatChooser chooser(ChooserVariant::kMainWindow, settings);
  chooser.FillFormatChooser();
  ASSERT_EQ(chooser.Selected(), 9u) << "trimmed, any letter case";
  chooser.ToggleGroup(0);
  EXPECT_EQ(chooser.Selected(), 10u);
  chooser.ToggleGroup(2 + 1);  // collapse the audio group: the selected row goes away
  EXPECT_EQ(chooser.Selected(), std::nullopt);
}

TEST_F(FormatChooserTest, MainWindowWritesTheChoiceAtOnce) {
  AppSettings settings(IniPath());
  settings.SetGroupCollapsed(2, false);
  TFormatChooser chooser(ChooserVariant::kMainWindow, settings);
  std::vector<int32_t> reported;
  chooser.OnChoose = [&](const std::string&, int32_t code) { reported.push_back(code); };
  chooser.FillFormatChooser();
  chooser.ClickDropButton();
  ASSERT_TRUE(chooser.ListVisible());
  chooser.PressRow(RowOf(chooser, "AC-3 Audio Codec (*.ac3)"), 100);
  EXPECT_FALSE(chooser.ListVisible());
  EXPECT_EQ(chooser.FieldText(), "AC-3 Audio Codec (*.ac3)");
  EXPECT_EQ(reported, std::vector<int32_t>{206});
  AppSettings reader(IniPath());
  EXPECT_EQ(reader.FormatCode(), 206);
  EXPECT_EQ(reader.FormatName(), "AC-3 Audio Codec (*.ac3)");
}

TEST_F(FormatChooserTest, DialogHoldsTheChoiceWithoutWriting) {
  AppSettings settings(IniPath());
  settings.SetGroupCollapsed(1, false);
  const std::string before = ReadFile(IniPath());
  TFormatChooser chooser(ChooserVariant::kSettingsDialog, settings);
  std::string chosen_name;
  int32_t chosen_code = -1;
  chooser.OnChoose = [&](const std::string& name, int32_t code) {
    chosen_name = name;
    chosen_code = code;
  };
  chooser.FillFormatChooser();
  EXPECT_EQ(chooser.FieldText(), "iPod Video MPEG-4");
  chooser.ClickField();
  chooser.PressRow(RowOf(chooser, "Xvid Video (*.avi)"), 0);
  EXPECT_EQ(chosen_name, "Xvid Video (*.avi)");
  EXPECT_EQ(chosen_code, 107);
  EXPECT_EQ(chooser.FieldText(), "Xvid Video (*.avi)");
  EXPECT_EQ(ReadFile(IniPath()), before);

  chooser.SaveGroupStates();
  AppSettings reader(IniPath());
  EXPECT_TRUE(reader.GroupCollapsed(0));
  EXPECT_FALSE(reader.GroupCollapsed(1));
  EXPECT_TRUE(reader.GroupCollapsed(2));
}

TEST_F(FormatChooserTest, OpeningAndClosingTheList) {
  AppSettings settings(IniPath());
  settings.SetGroupCollapsed(0, false);
  TFormatChooser chooser(ChooserVariant::kMainWindow, settings);
  std::vector<size_t> pointer_moves;
  chooser.OnMovePointerToRow = [&](size_t row) { pointer_moves.push_back(row); };
  chooser.SetFieldEdges(500, 521);
  chooser.FillFormatChooser();

  // Another window changed the choice: opening reads it again; the drop button shows it.
  settings.SetChosenFormat("MOV - Quick Time Video (*.mov)", 0);
  chooser.ClickField();
  EXPECT_TRUE(chooser.ListVisible());
  EXPECT_EQ(chooser.Selected(), 1u);
  EXPECT_EQ(chooser.FieldText(), "Apple iPod Video MPEG-4 Movie (*.mp4)");
  EXPECT_EQ(pointer_moves, std::vector<size_t>{1});
  EXPECT_EQ(chooser.ListHeight(), 100);
  EXPECT_EQ(chooser.ListTop(), 400);
  chooser.ClickField();
  EXPECT_FALSE(chooser.ListVisible());

  chooser.ClickDropButton();
  EXPECT_EQ(chooser.FieldText(), "MOV - Quick Time Video (*.mov)");
  chooser.HoverRow(3);
  EXPECT_EQ(chooser.Selected(), 3u);
  chooser.PressRow(2, 2);  // expand the video group: the geometry follows
  EXPECT_EQ(chooser.ListHeight(), 300);
  EXPECT_EQ(chooser.ListTop(), 200);
  chooser.HideList();
  EXPECT_FALSE(chooser.ListVisible());

  // A double click opens with the geometry as it was.
  chooser.SetFieldEdges(0, 21);
  chooser.DoubleClickField();
  EXPECT_TRUE(chooser.ListVisible());
  EXPECT_EQ(chooser.ListTop(), 200);
  EXPECT_EQ(pointer_moves.size(), 1u);
}

TEST_F(FormatChooserTest, RefillStartsFromTheSavedStates) {
  AppSettings settings(IniPath());
  TFormatChooser chooser(ChooserVariant::kMainWindow, settings);
  chooser.FillFormatChooser();
  chooser.ToggleGroup(0);
  chooser.FillFormatChooser();
  EXPECT_EQ(chooser.Rows().size(), 3u) << "unsaved states are dropped";
  chooser.ToggleGroup(0);
  chooser.SaveGroupStates();
  chooser.FillFormatChooser();
  EXPECT_EQ(Codes(chooser), (std::vector<int32_t>{0, 0, 1, 2}));
}

}  // namespace
}  // namespace korvex::workflow
