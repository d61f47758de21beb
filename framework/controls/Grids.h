// TStringGrid: a grid of text cells with fixed (header) rows and columns, column widths
// (stored as the custom property "ColWidths" when any differs from DefaultColWidth), an
// optional alternate colour for every other data row, header texts from one bar-separated
// string, and per-column read-only flags.
#pragma once

#include <string>
#include <vector>

#include "framework/controls/Controls.h"

namespace framework {

enum TGridOption {
  goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
  goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
  goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

class TStringGrid : public TCustomControl {
  FW_CLASS(TStringGrid, TCustomControl)
 public:
  explicit TStringGrid(TComponent* owner);

  int ColCount() const { return FColCount; }
  void SetColCount(int value);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int value);
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int value);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int value);
  int DefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int value);
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor value);
  // Colour of every second data row (clNone: all rows in Color).
  TColor AlternateColor() const { return FAlternateColor; }
  void SetAlternateColor(TColor value);
  // The texts of the first fixed row, separated by '|'.
  std::string Headers() const;
  void SetHeaders(const std::string& value);

  // Cells: EListError outside the grid.
  const std::string& Cells(int col, int row) const;
  void SetCell(int col, int row, const std::string& value);
  int ColWidths(int col) const;
  void SetColWidth(int col, int width);
  int RowHeights(int row) const;
  bool ColReadOnly(int col) const;
  void SetColReadOnly(int col, bool value);
  // The cell's rectangle in client coordinates (empty when out of range).
  TRect CellRect(int col, int row) const;
  // The colour a cell is painted in.
  TColor CellColor(int col, int row) const;

  void DefineProperties(TFiler& filer) override;
  void Paint() override;

 protected:
  // The grid keeps the arrows for itself, and Tab when goTabs is set.
  void WMGetDlgCode(TMessage& m) override;

 private:
  void Check(int col, int row) const;
  void Resize2();
  int FColCount = 5, FRowCount = 5, FFixedCols = 1, FFixedRows = 1;
  int FDefaultColWidth = 64, FDefaultRowHeight = 24;
  TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TColor FFixedColor = clBtnFace;
  TColor FAlternateColor = clNone;
  std::vector<std::vector<std::string>> FCells;  // [row][col]
  std::vector<int> FColWidths;
  std::vector<bool> FColReadOnly;
};

}  // namespace framework

FW_DECLARE_ENUM(framework::TGridOption)
