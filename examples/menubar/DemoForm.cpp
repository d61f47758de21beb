#include "examples/menubar/DemoForm.h"

#include <string>

#include "framework/base/StrUtils.h"
#include "framework/controls/ExtCtrls.h"

namespace menubar_demo {

using namespace framework;
using namespace tessapack;

TDemoForm::TDemoForm(TMenuBar* bar) : TForm(nullptr) {
  SetName("MenuBarDemo");
  SetCaption("Menu bar");
  SetBounds(100, 100, 420, 320);

  FBar = bar ? bar : new TMenuBar(this);
  if (FBar->Owner() != this) InsertComponent(FBar);
  FBar->SetName("MenuBar1");
  FBar->SetParent(this);
  FBar->SetBounds(0, 0, 150, 320);
  FBar->SetAlign(alLeft);
  FBar->SetButtonHeight(24);

  // Each button's panel gets a heading label and a few controls of its own.
  struct TPage {
    const char* Caption;
    TColor Color;
    std::vector<const char*> Lines;
  };
  const TPage pages[] = {
      {"&Mail", RGB(230, 240, 255), {"Inbox (3)", "Sent", "Drafts"}},
      {"&Calendar", RGB(255, 245, 220), {"Today", "This week"}},
      {"C&ontacts", RGB(225, 250, 225), {"Family", "Work", "R&&D team"}},
      {"&Tasks", RGB(250, 230, 240), {"Open", "Done"}},
  };
  int n = 0;
  for (const TPage& page : pages) {
    TMenuButton* b = FBar->CreateButton();
    b->SetCaption(page.Caption);
    TMBPanel* panel = b->Panel();
    panel->SetColor(page.Color);
    int top = 8;
    for (const char* line : page.Lines) {
      auto* item = new TButton(this);
      item->SetName("Item" + std::to_string(++n));
      item->SetCaption(line);
      item->SetBounds(10, top, 120, 24);
      item->SetParent(panel);
      top += 30;
    }
  }
  FBar->OnClick = TMenuBarClickEvent(this, &TDemoForm::BarClick);
  FBar->SetActiveIndex(0);

  FStatus = new TLabel(this);
  FStatus->SetName("Status");
  FStatus->SetCaption("Click a button on the bar");
  FStatus->SetBounds(170, 20, 230, 16);
  FStatus->SetParent(this);

  FCompact = new TButton(this);
  FCompact->SetName("CompactButton");
  FCompact->SetCaption("Compact");
  FCompact->SetBounds(170, 50, 90, 25);
  FCompact->SetParent(this);
  FCompact->OnClick = TNotifyEvent(this, &TDemoForm::CompactClick);
}

void TDemoForm::BarClick(TObject*, int Slot) {
  const std::string caption = FBar->GetButton(Slot)->FullCaption();
  FClicks.push_back(std::to_string(Slot) + ":" + caption);
  FStatus->SetCaption("Shown: " + StripHotkey(caption));
}

// Four buttons of 24 need 112 pixels; 90 leaves room for three rows only.
void TDemoForm::CompactClick(TObject*) {
  const bool compact = Height() > 120;
  SetHeight(compact ? 90 + (Height() - ClientHeight()) : 320);
  FCompact->SetCaption(compact ? "Stacks" : "Compact");
}

}  // namespace menubar_demo
