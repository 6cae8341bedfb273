// The format chooser as a model: a read-only field showing the chosen format, a drop button
// and a drop-down list of collapsible groups. The main window and the format settings dialog
// each own one; their Qt widgets only show this model and forward the user's actions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "workflow/app_settings.h"
#include "workflow/format_catalogue.h"

namespace korvex::workflow {

// The main window's list opens upwards and writes a choice at once; the settings dialog's
// list opens downwards and only reports the choice, which the dialog writes when confirmed.
enum class ChooserVariant { kMainWindow, kSettingsDialog };

inline constexpr int kChooserRowHeight = 20;
// Presses left of this x coordinate of a row hit the expand glyph.
inline constexpr int kChooserGlyphWidth = 20;

// Height of the list for `row_count` rows of 20 pixels.
int ChooserListHeight(ChooserVariant variant, int row_count);
// Top edge of the list: in the main window its bottom sits on the field's top edge, in the
// dialog its top sits one pixel above the field's bottom edge.
int ChooserListTop(ChooserVariant variant, int list_height, int field_top, int field_bottom);

struct ChooserRow {
  std::string text;  // group name or format display name
  TItemInfo info;
};

class TFormatChooser {
 public:
  TFormatChooser(ChooserVariant variant, AppSettings& settings);

  // Rebuilds the rows from the catalogue and the stored group states, shows the stored
  // format name in the field and selects its row. The list is hidden.
  void FillFormatChooser();
  // Writes the collapsed state of every header row to "lstformat".
  void SaveGroupStates();

  const std::vector<ChooserRow>& Rows() const { return rows_; }
  std::optional<size_t> Selected() const { return selected_; }
  const std::string& FieldText() const { return field_text_; }
  bool ListVisible() const { return list_visible_; }
  // The list's geometry as last computed.
  int ListHeight() const { return list_height_; }
  int ListTop() const { return list_top_; }

  // Where the field sits in the window, for the list's position.
  void SetFieldEdges(int top, int bottom);

  // User actions, as the widgets report them.
  void ClickField();
  void DoubleClickField();
  void ClickDropButton();
  // A press of any mouse button on a row at x pixels from the list's left edge.
  void PressRow(size_t row, int x);
  void DoubleClickRow(size_t row);
  void HoverRow(size_t row);
  // The application lost activation or the user pressed elsewhere.
  void HideList();

  // Expands a collapsed header or collapses an expanded one; format rows are ignored.
  void ToggleGroup(size_t row);

  // A format was chosen: its display name and code.
  std::function<void(const std::string& name, int32_t code)> OnChoose;
  // The main window moves the mouse pointer onto the centre of this row when the list was
  // opened by a click on the field.
  std::function<void(size_t row)> OnMovePointerToRow;

 private:
  enum class Opener { kField, kDropButton, kDoubleClick };
  void Toggle(Opener opener);
  void Open(Opener opener);
  void SelectByName(const std::string& name);
  void UpdateGeometry();
  void Choose(size_t row);
  // The row of a format of the catalogue.
  ChooserRow FormatRow(int32_t code) const;

  ChooserVariant variant_;
  AppSettings& settings_;
  FormatCatalogue catalogue_;
  std::vector<ChooserRow> rows_;
  std::optional<size_t> selected_;
  std::string field_text_;
  bool list_visible_ = false;
  int field_top_ = 0;
  int field_bottom_ = 0;
  int list_height_ = 0;
  int list_top_ = 0;
};

}  // namespace korvex::workflow
