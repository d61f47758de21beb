#include "framework/controls/Grids.h"

#include "framework/classes/Filer.h"

FW_DEFINE_ENUM(framework::TGridOption, "TGridOption", "goFixedVertLine", "goFixedHorzLine",
               "goVertLine", "goHorzLine", "goRangeSelect", "goDrawFocusSelected", "goRowSizing",
               "goColSizing", "goRowMoving", "goColMoving", "goEditing", "goTabs", "goRowSelect",
               "goAlwaysShowEditor", "goThumbTracking")

namespace framework {

FW_DEFINE_CLASS(TStringGrid, [](TClassDef<TStringGrid>& d) {
  d.Property("Align", &TStringGrid::Align, &TStringGrid::SetAlign).Default(alNone);
  d.Property("AlternateColor", &TStringGrid::AlternateColor, &TStringGrid::SetAlternateColor).Default(clNone);
  d.Property("ColCount", &TStringGrid::ColCount, &TStringGrid::SetColCount).Default(5);
  d.Property("RowCount", &TStringGrid::RowCount, &TStringGrid::SetRowCount).Default(5);
  d.Property("Color", &TStringGrid::Color, &TStringGrid::SetColor).Default(clWindow);
  d.Property("DefaultColWidth", &TStringGrid::DefaultColWidth, &TStringGrid::SetDefaultColWidth).Default(64);
  d.Property("DefaultRowHeight", &TStringGrid::DefaultRowHeight, &TStringGrid::SetDefaultRowHeight).Default(24);
  d.Property("FixedColor", &TStringGrid::FixedColor, &TStringGrid::SetFixedColor).Default(clBtnFace);
  d.Property("FixedCols", &TStringGrid::FixedCols, &TStringGrid::SetFixedCols).Default(1);
  d.Property("FixedRows", &TStringGrid::FixedRows, &TStringGrid::SetFixedRows).Default(1);
  d.Property("Font", &TStringGrid::FontPtr, &TStringGrid::SetFont)
      .StoredIf([](const TStringGrid& g) { return !g.ParentFont(); });
  d.Property("Headers", &TStringGrid::Headers, &TStringGrid::SetHeaders);
  d.Property("Options", &TStringGrid::Options, &TStringGrid::SetOptions)
      .Default(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect});
  d.Property("ParentFont", &TStringGrid::ParentFont, &TStringGrid::SetParentFont).Default(true);
  d.Property("TabOrder", &TStringGrid::TabOrder, &TStringGrid::SetTabOrder).Default(-1);
  d.Property("TabStop", &TStringGrid::TabStop, &TStringGrid::SetTabStop).Default(true);
  d.Property("Visible", &TStringGrid::Visible, &TStringGrid::SetVisible).Default(true);
  d.Event("OnClick", &TControl::OnClick);
})

TStringGrid::TStringGrid(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 320, 120);
  SetColor(clWindow);
  SetTabStop(true);
  Resize2();
}

void TStringGrid::Resize2() {
  FCells.resize(FRowCount);
  for (auto& row : FCells) row.resize(FColCount);
  FColWidths.resize(FColCount, FDefaultColWidth);
  FColReadOnly.resize(FColCount, false);
  Invalidate();
}

void TStringGrid::SetColCount(int value) {
  if (value < 1 || value == FColCount) return;
  FColCount = value;
  if (FFixedCols >= FColCount) FFixedCols = FColCount - 1;
  Resize2();
}

void TStringGrid::SetRowCount(int value) {
  if (value < 1 || value == FRowCount) return;
  FRowCount = value;
  if (FFixedRows >= FRowCount) FFixedRows = FRowCount - 1;
  Resize2();
}

void TStringGrid::SetFixedCols(int value) {
  if (value < 0 || value >= FColCount) throw EInvalidOperation("Fixed column count must be less than column count");
  FFixedCols = value;
  Invalidate();
}

void TStringGrid::SetFixedRows(int value) {
  if (value < 0 || value >= FRowCount) throw EInvalidOperation("Fixed row count must be less than row count");
  FFixedRows = value;
  Invalidate();
}

void TStringGrid::SetDefaultColWidth(int value) {
  if (value < 0) return;
  for (int& w : FColWidths)
    if (w == FDefaultColWidth) w = value;
  FDefaultColWidth = value;
  Invalidate();
}

void TStringGrid::SetDefaultRowHeight(int value) {
  if (value < 0) return;
  FDefaultRowHeight = value;
  Invalidate();
}

void TStringGrid::SetOptions(TGridOptions value) {
  FOptions = value;
  Invalidate();
}

void TStringGrid::SetFixedColor(TColor value) {
  FFixedColor = value;
  Invalidate();
}

void TStringGrid::SetAlternateColor(TColor value) {
  FAlternateColor = value;
  Invalidate();
}

std::string TStringGrid::Headers() const {
  if (FFixedRows == 0) return "";
  std::string s;
  bool any = false;
  for (int c = 0; c < FColCount; ++c) {
    if (c) s += '|';
    s += FCells[0][c];
    any = any || !FCells[0][c].empty();
  }
  return any ? s : "";
}

void TStringGrid::SetHeaders(const std::string& value) {
  auto parts = SplitString(value, '|');
  for (int c = 0; c < FColCount; ++c) FCells[0][c] = c < static_cast<int>(parts.size()) ? parts[c] : "";
  Invalidate();
}

void TStringGrid::Check(int col, int row) const {
  if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount) throw EListError();
}

const std::string& TStringGrid::Cells(int col, int row) const {
  Check(col, row);
  return FCells[row][col];
}

void TStringGrid::SetCell(int col, int row, const std::string& value) {
  Check(col, row);
  FCells[row][col] = value;
  Invalidate();
}

int TStringGrid::ColWidths(int col) const {
  Check(col, 0);
  return FColWidths[col];
}

void TStringGrid::SetColWidth(int col, int width) {
  Check(col, 0);
  FColWidths[col] = width < 0 ? 0 : width;
  Invalidate();
}

int TStringGrid::RowHeights(int row) const {
  Check(0, row);
  return FDefaultRowHeight;
}

bool TStringGrid::ColReadOnly(int col) const {
  Check(col, 0);
  return FColReadOnly[col];
}

void TStringGrid::SetColReadOnly(int col, bool value) {
  Check(col, 0);
  FColReadOnly[col] = value;
}

TRect TStringGrid::CellRect(int col, int row) const {
  if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount) return {};
  int x = 0;
  for (int c = 0; c < col; ++c) x += FColWidths[c] + 1;
  return Bounds(x, row * (FDefaultRowHeight + 1), FColWidths[col], FDefaultRowHeight);
}

TColor TStringGrid::CellColor(int col, int row) const {
  if (row < FFixedRows || col < FFixedCols) return FFixedColor;
  if (FAlternateColor != clNone && (row - FFixedRows) % 2 == 1) return FAlternateColor;
  return Color();
}

// Column widths are stored as one list when any differs from the default width.
void TStringGrid::DefineProperties(TFiler& filer) {
  TCustomControl::DefineProperties(filer);
  bool custom = false;
  for (int w : FColWidths) custom = custom || w != FDefaultColWidth;
  filer.DefineProperty(
      "ColWidths",
      [this](TReader& r) {
        r.ReadListBegin();
        for (int c = 0; !r.EndOfList(); ++c) {
          int64_t w = r.ReadInteger();
          if (c < FColCount) FColWidths[c] = w < 0 ? 0 : static_cast<int>(w);
        }
        r.ReadListEnd();
      },
      [this](TWriter& w) {
        w.WriteListBegin();
        for (int v : FColWidths) w.WriteInteger(v);
        w.WriteListEnd();
      },
      custom);
}

void TStringGrid::Paint() {
  TCanvas& c = Canvas();
  c.SetFont(Font());
  for (int row = 0; row < FRowCount; ++row) {
    for (int col = 0; col < FColCount; ++col) {
      TRect r = CellRect(col, row);
      if (r.Left >= ClientWidth() || r.Top >= ClientHeight()) continue;
      c.Brush().SetColor(CellColor(col, row));
      c.Brush().SetStyle(bsSolid);
      c.TextRect(r, r.Left + 2, r.Top + 2, FCells[row][col]);
    }
  }
}

void TStringGrid::WMGetDlgCode(TMessage& m) {
  m.Result = DLGC_WANTARROWS | (Options().Contains(goTabs) ? DLGC_WANTTAB : 0);
}

}  // namespace framework
