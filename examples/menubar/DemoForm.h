// The menu bar demo's window: a menu bar along the left edge with four buttons (Mail,
// Calendar, Contacts, Tasks), each panel holding a few controls of its own, and a label on
// the right that names the last button clicked. "Compact" shrinks the window so that the
// bar falls back to its compact mode; clicking it again restores the height.
#pragma once

#include <string>
#include <vector>

#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "tessapack/MenuBar.h"

namespace menubar_demo {

class TDemoForm : public framework::TForm {
 public:
  // The bar class may be replaced (a test watches the motion frames through a subclass).
  explicit TDemoForm(tessapack::TMenuBar* bar = nullptr);

  tessapack::TMenuBar* Bar() const { return FBar; }
  framework::TLabel* Status() const { return FStatus; }
  framework::TButton* CompactButton() const { return FCompact; }
  // The clicks the bar reported, as "<slot>:<caption>", in order.
  const std::vector<std::string>& Clicks() const { return FClicks; }

 private:
  void BarClick(framework::TObject* Sender, int Slot);
  void CompactClick(framework::TObject* Sender);
  tessapack::TMenuBar* FBar = nullptr;
  framework::TLabel* FStatus = nullptr;
  framework::TButton* FCompact = nullptr;
  std::vector<std::string> FClicks;
};

}  // namespace menubar_demo
