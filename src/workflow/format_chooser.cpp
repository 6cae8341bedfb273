#include "workflow/format_chooser.h"

#include "platform/text.h"

namespace korvex::workflow {

namespace {

constexpr int kMainWindowMaxHeight = 422;
constexpr int kDialogMaxHeight = 247;

}  // namespace

int ChooserListHeight(ChooserVariant variant, int row_count) {
  const int limit =
      variant == ChooserVariant::kMainWindow ? kMainWindowMaxHeight : kDialogMaxHeight;
  const int rows_height = kChooserRowHeight * row_count;
  return rows_height > limit ? limit : rows_height + kChooserRowHeight;
}

int ChooserListTop(ChooserVariant variant, int list_height, int field_top, int field_bottom) {
  return variant == ChooserVariant::kMainWindow ? field_top - list_height : field_bottom - 1;
}

TFormatChooser::TFormatChooser(ChooserVariant variant, AppSettings& settings)
    : variant_(variant), settings_(settings) {}

void TFormatChooser::FillFormatChooser() {
  list_visible_ = false;
  rows_.clear();
  selected_.reset();
  catalogue_.Refill();
  for (int group = 0; group < catalogue_.GroupCount(); ++group) {
    const bool collapsed = settings_.GroupCollapsed(group);
    rows_.push_back({catalogue_.GroupName(group), {false, true, collapsed, group}});
    if (collapsed) continue;
    for (int32_t code : catalogue_.FormatCodes(group)) {
      rows_.push_back(FormatRow(code));
    }
  }
  field_text_ = variant_ == ChooserVariant::kMainWindow
                    ? settings_.FormatName()
                    : settings_.FormatName(kDialogDefaultFormatName);
  SelectByName(field_text_);
}

ChooserRow TFormatChooser::FormatRow(int32_t code) const {
  return {*catalogue_.NameOfCode(code), {true, false, false, code}};
}

void TFormatChooser::SaveGroupStates() {
  for (const ChooserRow& row : rows_) {
    if (row.info.IsGroup) settings_.SetGroupCollapsed(row.info.Code, row.info.Collapsed);
  }
}

void TFormatChooser::SetFieldEdges(int top, int bottom) {
  field_top_ = top;
  field_bottom_ = bottom;
}

void TFormatChooser::ClickField() { Toggle(Opener::kField); }
void TFormatChooser::DoubleClickField() { Toggle(Opener::kDoubleClick); }
void TFormatChooser::ClickDropButton() { Toggle(Opener::kDropButton); }

void TFormatChooser::Toggle(Opener opener) {
  if (list_visible_) {
    list_visible_ = false;
  } else {
    Open(opener);
  }
}

void TFormatChooser::Open(Opener opener) {
  std::string name = field_text_;
  if (variant_ == ChooserVariant::kMainWindow) {
    name = settings_.FormatName();
    if (opener != Opener::kField) field_text_ = name;
  }
  SelectByName(name);
  list_visible_ = true;
  if (opener != Opener::kDoubleClick) UpdateGeometry();
  if (variant_ == ChooserVariant::kMainWindow && opener == Opener::kField && selected_ &&
      OnMovePointerToRow) {
    OnMovePointerToRow(*selected_);
  }
}

void TFormatChooser::PressRow(size_t row, int x) {
  if (row >= rows_.size()) return;
  if (rows_[row].info.IsFormat) {
    Choose(row);
  } else if (x < kChooserGlyphWidth) {
    ToggleGroup(row);
  }
  UpdateGeometry();
}

void TFormatChooser::DoubleClickRow(size_t row) {
  if (row < rows_.size() && rows_[row].info.IsGroup) ToggleGroup(row);
}

void TFormatChooser::HoverRow(size_t row) {
  if (row < rows_.size()) selected_ = row;
}

void TFormatChooser::HideList() { list_visible_ = false; }

void TFormatChooser::ToggleGroup(size_t row) {
  if (row >= rows_.size() || !rows_[row].info.IsGroup) return;
  ChooserRow& header = rows_[row];
  const auto first = rows_.begin() + static_cast<std::ptrdiff_t>(row) + 1;
  size_t changed = 0;
  if (header.info.Collapsed) {
    std::vector<ChooserRow> formats;
    for (int32_t code : catalogue_.FormatCodes(header.info.Code)) {
      formats.push_back(FormatRow(code));
    }
    changed = formats.size();
    header.info.Collapsed = false;
    rows_.insert(first, formats.begin(), formats.end());
    if (selected_ && *selected_ > row) *selected_ += changed;
  } else {
    auto last = first;
    while (last != rows_.end() && last->info.IsFormat) ++last;
    changed = static_cast<size_t>(last - first);
    header.info.Collapsed = true;
    rows_.erase(first, last);
    if (selected_ && *selected_ > row) {
      if (*selected_ <= row + changed) {
        selected_.reset();
      } else {
        *selected_ -= changed;
      }
    }
  }
}

void TFormatChooser::SelectByName(const std::string& name) {
  selected_.reset();
  const std::string_view wanted = platform::Trim(name);
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (platform::EqualsIgnoreCase(rows_[i].text, wanted)) {
      selected_ = i;
      return;
    }
  }
}

void TFormatChooser::UpdateGeometry() {
  list_height_ = ChooserListHeight(variant_, static_cast<int>(rows_.size()));
  list_top_ = ChooserListTop(variant_, list_height_, field_top_, field_bottom_);
}

void TFormatChooser::Choose(size_t row) {
  // Copies: the handler may refill the list.
  const std::string name = rows_[row].text;
  const int32_t code = rows_[row].info.Code;
  field_text_ = name;
  list_visible_ = false;
  selected_ = row;
  if (variant_ == ChooserVariant::kMainWindow) settings_.SetChosenFormat(name, code);
  if (OnChoose) OnChoose(name, code);
}

}  // namespace korvex::workflow
