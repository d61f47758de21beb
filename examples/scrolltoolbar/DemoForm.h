// The scrolling toolbar demo's window: a toolbar along the top with a dozen mixed controls
// (buttons, edits, captioned and coloured panels) in a window too narrow for all of them, so that
// the arrows scroll it one control at a time, circularly. A label below names the first
// control shown; "Placements..." opens the placement dialog for the toolbar.
#pragma once

#include <vector>

#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "tessapack/ScrollToolBar.h"

namespace scrolltoolbar_demo {

class TDemoForm : public framework::TForm {
public:
  TDemoForm();

  tessapack::TScrollToolBar *ToolBar() const { return FToolBar; }
  // The toolbar's controls in their order.
  const std::vector<framework::TControl *> &Items() const { return FItems; }
  framework::TLabel *Status() const { return FStatus; }
  framework::TButton *PlacementsButton() const { return FPlacements; }
  // Writes the first shown control's name into the status label.
  void ShowStart();

private:
  void PlacementsClick(framework::TObject *Sender);
  tessapack::TScrollToolBar *FToolBar = nullptr;
  framework::TLabel *FStatus = nullptr;
  framework::TButton *FPlacements = nullptr;
  std::vector<framework::TControl *> FItems;
};

} // namespace scrolltoolbar_demo
