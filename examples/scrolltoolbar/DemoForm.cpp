#include "examples/scrolltoolbar/DemoForm.h"

#include <memory>
#include <string>

#include "framework/controls/ExtCtrls.h"
#include "tessapack/ScrollToolBarEf.h"

namespace scrolltoolbar_demo {

using namespace framework;
using namespace tessapack;

TDemoForm::TDemoForm() : TForm(nullptr) {
  SetName("ScrollToolBarDemo");
  SetCaption("Scrolling toolbar");
  SetBounds(100, 100, 360, 140);

  FToolBar = new TScrollToolBar(this);
  FToolBar->SetName("ToolBar1");
  FToolBar->SetCircularScroll(true);
  FToolBar->SetMinCompSize(56);
  FToolBar->SetSpacing(2);
  FToolBar->SetBevelOuter(bvRaised);
  FToolBar->SetParent(this);
  FToolBar->SetBounds(0, 0, 360, 30);
  FToolBar->SetAlign(alTop);

  // Buttons, an edit, labels and coloured panels, in toolbar order.
  struct TItem {
    const char *Kind;
    const char *Caption;
    TColor Color;
  };
  const TItem items[] = {
      {"button", "New", clBtnFace},  {"button", "Open", clBtnFace}, {"edit", "find...", clWindow},
      {"panel", "Zoom:", clBtnFace}, {"button", "In", clBtnFace},   {"button", "Out", clBtnFace},
      {"panel", "Red", clRed},       {"panel", "Lime", clLime},     {"edit", "100%", clWindow},
      {"panel", "Mode:", clBtnFace}, {"panel", "Aqua", clAqua},     {"button", "Help", clBtnFace},
  };
  int n = 0;
  for (const TItem &item : items) {
    TControl *c = nullptr;
    const std::string kind = item.Kind;
    if (kind == "button")
      c = new TButton(this);
    else if (kind == "edit")
      c = new TEdit(this);
    else
      c = new TPanel(this);
    c->SetName("Item" + std::to_string(++n));
    c->SetCaption(item.Caption);
    if (kind == "panel" || kind == "edit")
      c->SetColor(item.Color);
    c->SetParent(FToolBar);
    FItems.push_back(c);
  }
  Application().ProcessMessages();
  // Labels and edits sit a little in from the edges of the strip.
  for (TSBComp *entry : *FToolBar->ComponentsInfo())
    if (dynamic_cast<TLabel *>(entry->Control) || dynamic_cast<TEdit *>(entry->Control))
      entry->CompPad = 3;
  FToolBar->Reposition();

  for (TSpeedButton *arrow : {FToolBar->LeftArrow(), FToolBar->RightArrow()}) {
    TNotifyEvent scroll = arrow->OnClick;
    arrow->OnClick = TNotifyEvent([this, scroll](TObject *sender) {
      scroll(sender);
      ShowStart();
    });
  }

  FStatus = new TLabel(this);
  FStatus->SetName("lbStatus");
  FStatus->SetParent(this);
  FStatus->SetBounds(8, 44, 200, 13);
  FPlacements = new TButton(this);
  FPlacements->SetName("btnPlacements");
  FPlacements->SetCaption("Placements...");
  FPlacements->SetParent(this);
  FPlacements->SetBounds(8, 70, 100, 25);
  FPlacements->OnClick = TNotifyEvent(this, &TDemoForm::PlacementsClick);
  ShowStart();
}

void TDemoForm::ShowStart() {
  TControl *start = FToolBar->StartControl();
  FStatus->SetCaption("First shown: " + (start ? start->Caption() : std::string("(none)")));
}

void TDemoForm::PlacementsClick(TObject *) {
  std::unique_ptr<TScrollEdit>(MakeScrollEdit(FToolBar))->ShowModal();
}

} // namespace scrolltoolbar_demo
