#include "framework/controls/ComCtrls.h"

#include <algorithm>

namespace framework {

// ---- TProgressBar ----------------------------------------------------------------------------------

FW_DEFINE_CLASS(TProgressBar, [](TClassDef<TProgressBar>& d) {
  d.Property("Align", &TProgressBar::Align, &TProgressBar::SetAlign).Default(alNone);
  d.Property("Enabled", &TProgressBar::Enabled, &TProgressBar::SetEnabled).Default(true);
  d.Property("Min", &TProgressBar::Min, &TProgressBar::SetMin).Default(0);
  d.Property("Max", &TProgressBar::Max, &TProgressBar::SetMax).Default(100);
  d.Property("Position", &TProgressBar::Position, &TProgressBar::SetPosition).Default(0);
  d.Property("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth).Default(false);
  d.Property("Step", &TProgressBar::Step, &TProgressBar::SetStep).Default(10);
  d.Property("TabOrder", &TProgressBar::TabOrder, &TProgressBar::SetTabOrder).Default(-1);
  d.Property("TabStop", &TProgressBar::TabStop, &TProgressBar::SetTabStop).Default(false);
  d.Property("Visible", &TProgressBar::Visible, &TProgressBar::SetVisible).Default(true);
})

TProgressBar::TProgressBar(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetMin(int value) {
  if (FMin == value) return;
  FMin = value;
  if (!IsLoading()) SetPosition(FPosition);
  Invalidate();
}

void TProgressBar::SetMax(int value) {
  if (FMax == value) return;
  FMax = value;
  if (!IsLoading()) SetPosition(FPosition);
  Invalidate();
}

void TProgressBar::SetPosition(int value) {
  if (!IsLoading()) value = std::clamp(value, std::min(FMin, FMax), std::max(FMin, FMax));
  if (FPosition == value) return;
  FPosition = value;
  Invalidate();
}

void TProgressBar::Loaded() {
  TCustomControl::Loaded();
  FPosition = std::clamp(FPosition, std::min(FMin, FMax), std::max(FMin, FMax));
}

void TProgressBar::StepIt() {
  int next = FPosition + FStep;
  if (next > FMax) next = FMin + (next - FMax) - 1;
  SetPosition(next);
}

void TProgressBar::StepBy(int delta) { SetPosition(FPosition + delta); }

void TProgressBar::Paint() {
  TCanvas& c = Canvas();
  TRect r = ClientRect();
  c.Brush().SetColor(clBtnFace);
  c.FillRect(r);
  if (FMax > FMin) {
    int w = static_cast<int>(static_cast<int64_t>(r.Width()) * (FPosition - FMin) / (FMax - FMin));
    c.Brush().SetColor(clHighlight);
    c.FillRect(Rect(r.Left, r.Top, r.Left + w, r.Bottom));
  }
}

// ---- TStatusBar --------------------------------------------------------------------------------------

FW_DEFINE_CLASS(TStatusPanel, [](TClassDef<TStatusPanel>& d) {
  d.Property("Alignment", &TStatusPanel::Alignment, &TStatusPanel::SetAlignment).Default(taLeftJustify);
  d.Property("Text", &TStatusPanel::Text, &TStatusPanel::SetText);
  d.Property("Width", &TStatusPanel::Width, &TStatusPanel::SetWidth);
})

void TStatusPanel::SetWidth(int value) {
  FWidth = value;
  Changed();
}
void TStatusPanel::SetText(const std::string& value) {
  FText = value;
  Changed();
}
void TStatusPanel::SetAlignment(TAlignment value) {
  FAlignment = value;
  Changed();
}
void TStatusPanel::Assign(const TPersistent& source) {
  auto p = dynamic_cast<const TStatusPanel*>(&source);
  if (!p) return TCollectionItem::Assign(source);
  FWidth = p->FWidth;
  FText = p->FText;
  FAlignment = p->FAlignment;
  Changed();
}

FW_DEFINE_CLASS(TStatusBar, [](TClassDef<TStatusBar>& d) {
  d.Property("Align", &TStatusBar::Align, &TStatusBar::SetAlign).Default(alBottom);
  d.Property("Font", &TStatusBar::FontPtr, &TStatusBar::SetFont)
      .StoredIf([](const TStatusBar& s) { return !s.ParentFont(); });
  d.Property("Panels", &TStatusBar::Panels, &TStatusBar::SetPanels);
  d.Property("ParentFont", &TStatusBar::ParentFont, &TStatusBar::SetParentFont).Default(true);
  d.Property("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel).Default(false);
  d.Property("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText);
  d.Property("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip).Default(true);
  d.Property("Visible", &TStatusBar::Visible, &TStatusBar::SetVisible).Default(true);
})

TStatusBar::TStatusBar(TComponent* owner)
    : TCustomControl(owner),
      FPanels(new TCollection([](TCollection* c) -> TCollectionItem* { return new TStatusPanel(c); })) {
  FPanels->OnUpdate = [this](TCollectionItem*) { Invalidate(); };
  SetBounds(0, 0, 200, 19);
  SetColor(clBtnFace);
  SetAlign(alBottom);
}

TStatusBar::~TStatusBar() {
  Destroying();
  delete FPanels;
}

void TStatusBar::SetPanels(TCollection* value) {
  if (value) FPanels->Assign(*value);
}

TStatusPanel* TStatusBar::Panel(int index) const {
  return static_cast<TStatusPanel*>(FPanels->Items(index));
}

TStatusPanel* TStatusBar::AddPanel() { return static_cast<TStatusPanel*>(FPanels->Add()); }

void TStatusBar::SetSimplePanel(bool value) {
  if (FSimplePanel == value) return;
  FSimplePanel = value;
  Invalidate();
}

void TStatusBar::SetSimpleText(const std::string& value) {
  if (FSimpleText == value) return;
  FSimpleText = value;
  if (FSimplePanel) Invalidate();
}

void TStatusBar::Paint() {
  TCanvas& c = Canvas();
  c.Brush().SetColor(Color());
  c.FillRect(ClientRect());
  c.SetFont(Font());
  c.Brush().SetStyle(bsClear);
  int h = c.TextHeight("0");
  int y = (ClientHeight() - h) / 2;
  if (FSimplePanel) {
    c.TextOut(2, y, FSimpleText);
    return;
  }
  int x = 0;
  for (int i = 0; i < FPanels->Count(); ++i) {
    TStatusPanel* p = Panel(i);
    int w = i == FPanels->Count() - 1 ? std::max(p->Width(), ClientWidth() - x) : p->Width();
    TRect r = Rect(x, 0, x + w, ClientHeight());
    TRect f = r;
    Frame3D(c, f, clBtnShadow, clBtnHighlight, 1);
    c.TextOut(r.Left + 2, y, p->Text());
    x += w;
  }
}

}  // namespace framework
