#include "tessapack/MenuBar.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "framework/base/Exceptions.h"
#include "framework/base/Random.h"
#include "framework/base/StrUtils.h"
#include "framework/controls/Forms.h"
#include "framework/messages/Clock.h"
#include "tessapack/Package.h"

FW_DEFINE_ENUM(tessapack::TUDAlign, "TUDAlign", "udLeft", "udCenter", "udRight")

namespace tessapack {

using namespace framework;

// ---- caption fitting ---------------------------------------------------------------------------

namespace {

// Where a caption may be cut: after a whole UTF-8 character, never inside "&&" and never
// between an accelerator marker and its character.
std::vector<size_t> CutPoints(const std::string& text, size_t& marker) {
  std::vector<size_t> cuts;
  marker = std::string::npos;
  size_t i = 0;
  auto charEnd = [&](size_t at) {
    size_t end = at + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    return end;
  };
  while (i < text.size()) {
    if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
      i += 2;
    } else if (text[i] == '&') {
      if (i + 1 < text.size() && marker == std::string::npos) marker = i;
      i = i + 1 < text.size() ? charEnd(i + 1) : i + 1;
    } else {
      i = charEnd(i);
    }
    cuts.push_back(i);
  }
  return cuts;
}

}  // namespace

std::string FitMenuCaption(const std::string& full, int limit,
                           const std::function<int(const std::string&)>& textWidth) {
  if (textWidth(StripHotkey(full)) <= limit) return full;
  size_t marker;
  const std::vector<size_t> cuts = CutPoints(full, marker);
  size_t cut = 0;
  for (auto it = cuts.rbegin(); it != cuts.rend(); ++it)
    if (*it < full.size() && textWidth(StripHotkey(full.substr(0, *it))) < limit) {
      cut = *it;
      break;
    }
  // A cut that leaves the accelerator out shows the marker and its character instead.
  if (marker != std::string::npos && marker >= cut) {
    size_t end = marker + 2;
    while (end < full.size() && (static_cast<unsigned char>(full[end]) & 0xC0) == 0x80) ++end;
    return full.substr(marker, end - marker);
  }
  return full.substr(0, cut);
}

// ---- the button list and its motions ----------------------------------------------------------

int TMenuButtonGp::IndexOf(const TMenuButton* button) const {
  auto it = std::find(FItems.begin(), FItems.end(), button);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TMenuButtonGp::HideAll() {
  for (TMenuButton* b : FItems) b->HidePanel();
}

void TMenuButtonGp::Recalculate() {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    TMenuButton* b = FItems[i];
    b->UpTop = i * FBar->FButtonHeight + FBar->FCushion;
    b->DownTop = FBar->Height() - (n - i) * FBar->FButtonHeight - FBar->FCushion;
    if (b->OnTop() && !FBar->FCompact && b->Panel()) {
      const int width = FBar->Width() - (FBar->BorderStyle() == bsNone ? 4 : 6);
      const int top = b->Top() + b->Height() + 2;
      b->Panel()->SetBounds(2, top, std::max(width, 0), std::max(b->DownTop - b->Top() - 4, 0));
    }
  }
}

// The watched button of a motion must pass its target; a stored layout that keeps it still
// would loop for ever, so every motion stops after the passes its distance needs, plus one.
void TMenuButtonGp::Drop(int a) {
  const int n = Count();
  FLastPasses = 0;
  if (a < 0 || a >= n || a + 1 == n) return;
  int m = 0;
  for (int j = a + 1; j < n; ++j) m += FItems[j]->Up() ? 1 : 0;
  if (m > 0) {
    HideAll();
    const int step = 5 * m;
    TMenuButton* watched = FItems[a + 1];
    const int passes = std::max(watched->DownTop - watched->Top(), 0) / step + 1;
    FBar->MotionBegin(passes);
    do {
      ++FLastPasses;
      for (int j = n - 1; j > a; --j)
        if (FItems[j]->Up()) FItems[j]->SetTop(FItems[j]->Top() + step);
      FBar->MotionPass(FLastPasses);
    } while (watched->Top() <= watched->DownTop && FLastPasses <= passes);
    for (int j = n - 1; j > a; --j) {
      FItems[j]->SetTop(FItems[j]->DownTop);
      FItems[j]->FUp = false;
    }
  }
  FItems[a]->ShowPanel();
}

void TMenuButtonGp::Rise(int a) {
  const int n = Count();
  FLastPasses = 0;
  if (a < 0 || a >= n) return;
  int m = 0;
  for (int j = std::max(a, 0); j >= (a == 0 ? 0 : 1); --j) m += FItems[j]->Up() ? 0 : 1;
  if (m > 0) {
    HideAll();
    const int step = 5 * m;
    TMenuButton* watched = FItems[a];
    const int passes = std::max(watched->Top() - watched->UpTop, 0) / step + 1;
    FBar->MotionBegin(passes);
    do {
      ++FLastPasses;
      for (int j = 1; j <= a; ++j)
        if (!FItems[j]->Up()) FItems[j]->SetTop(FItems[j]->Top() - step);
      if (a == 0) FItems[0]->SetTop(FItems[0]->UpTop);
      FBar->MotionPass(FLastPasses);
    } while (watched->Top() > watched->UpTop && FLastPasses <= passes);
    for (int j = a; j >= 0; --j) {
      FItems[j]->SetTop(FItems[j]->UpTop);
      FItems[j]->FUp = true;
    }
  }
  FItems[a]->ShowPanel();
}

void TMenuButtonGp::LayOutUp() {
  HideAll();
  for (int j = 0; j < Count(); ++j) {
    TMenuButton* b = FItems[j];
    b->SetBounds(FBar->FGap, j * FBar->FButtonHeight + FBar->FCushion, FBar->FButtonWidth,
                 FBar->FButtonHeight);
    b->FUp = true;
    b->FIndex = j;
    if (b->Panel()) b->Panel()->SetTag(j + 1);
  }
  Recalculate();
  if (Count() > 0) FItems.back()->ShowPanel();
}

void TMenuButtonGp::Move(int from, int to) {
  const int n = Count();
  if (from < 0 || from >= n || to < 0 || to >= n) return;
  TMenuButton* b = FItems[from];
  FItems.erase(FItems.begin() + from);
  FItems.insert(FItems.begin() + to, b);
  LayOutUp();
  FBar->RingChanged();
}

// ---- the panel --------------------------------------------------------------------------------

FW_DEFINE_CLASS(TMBPanel, [](TClassDef<TMBPanel>& d) {
  d.Property("BevelInner", &TMBPanel::BevelInner, &TMBPanel::SetBevelInner).Default(bvNone);
  d.Property("BevelOuter", &TMBPanel::BevelOuter, &TMBPanel::SetBevelOuter).Default(bvRaised);
  d.Property("BevelWidth", &TMBPanel::BevelWidth, &TMBPanel::SetBevelWidth).Default(1);
  d.Property("BorderStyle", &TMBPanel::BorderStyle, [](TMBPanel& p, TBorderStyle v) {
     p.SetBorderStyle(v);
   }).Default(bsNone);
  d.Property("BorderWidth", &TMBPanel::BorderWidth, &TMBPanel::SetBorderWidth).Default(0);
  d.Property("Color", &TMBPanel::Color, [](TMBPanel& p, TColor v) { p.SetColor(v); })
      .Default(clBtnFace)
      .StoredIf([](const TMBPanel& p) { return !p.ParentColor(); });
  d.Property("Font", &TMBPanel::FontPtr, &TMBPanel::SetFont).StoredIf([](const TMBPanel& p) {
    return !p.ParentFont();
  });
  d.Property("ParentColor", &TMBPanel::ParentColor, &TMBPanel::SetParentColor).Default(false);
  d.Property("ParentFont", &TMBPanel::ParentFont, &TMBPanel::SetParentFont).Default(true);
  d.Event("OnClick", &TControl::OnClick);
  d.Event("OnDblClick", &TControl::OnDblClick);
  d.Event("OnDragDrop", &TControl::OnDragDrop);
  d.Event("OnDragOver", &TControl::OnDragOver);
  d.Event("OnEndDrag", &TControl::OnEndDrag);
  d.Event("OnEnter", &TWinControl::OnEnter);
  d.Event("OnExit", &TWinControl::OnExit);
  d.Event("OnMouseDown", &TControl::OnMouseDown);
  d.Event("OnMouseMove", &TControl::OnMouseMove);
  d.Event("OnMouseUp", &TControl::OnMouseUp);
  d.Event("OnResize", &TControl::OnResize);
  d.Event("OnStartDrag", &TControl::OnStartDrag);
})

TMBPanel::TMBPanel(TComponent* owner) : TCustomPanel(owner) {}

TMBPanel::~TMBPanel() {
  Destroying();
  // A panel freed on its own (or by the window it lies on) leaves its button without one.
  if (FButton && FButton->FPanel == this) FButton->FPanel = nullptr;
}

void TMBPanel::ReadState(TReader& reader) {
  TCustomPanel::ReadState(reader);
  FStored = true;
  if (auto* bar = dynamic_cast<TMenuBar*>(reader.Parent())) bar->PanelRead(this);
}

// ---- the button -------------------------------------------------------------------------------

FW_DEFINE_CLASS(TMenuButton, [](TClassDef<TMenuButton>& d) {
  // The full caption is stored, never the one fitted to the width.
  d.Property("Caption", &TMenuButton::StoredCaption, &TMenuButton::SetFullCaption);
  // The hint a cut caption gives itself is not the application's.
  d.Property("Hint", &TMenuButton::Hint, &TMenuButton::SetHint).StoredIf([](const TMenuButton& b) {
    return !b.HintFromCut() && !b.Hint().empty();
  });
  d.Property("ShowHint", &TMenuButton::ShowHint, &TMenuButton::SetShowHint)
      .Default(false)
      .StoredIf([](const TMenuButton& b) { return !b.HintFromCut(); });
  d.Property("Index", &TMenuButton::Index, &TMenuButton::SetSlot).NoDefault();
  d.Property("OnTop", &TMenuButton::OnTop, &TMenuButton::SetOnTop).NoDefault();
  d.Property("SlideAble", &TMenuButton::SlideAble, &TMenuButton::SetSlideAble).NoDefault();
  d.Property("Up", &TMenuButton::Up, &TMenuButton::SetUp).NoDefault();
})

TMenuButton::TMenuButton(TComponent* owner) : TSpeedButton(owner) {
  TakePanel(new TMBPanel(owner));
  SetParentColor(false);
  SetColor(clBtnFace);
  FPanel->SetParentColor(true);
  FPanel->SetCaption("");
  if (!IsDesigning()) {
    FPanel->SetBevelInner(bvNone);
    FPanel->SetBevelOuter(bvNone);
  }
  if (!owner || !owner->IsLoading()) HidePanel();
}

TMenuButton::~TMenuButton() {
  Destroying();
  // The panel of a button without an owner has no one else to free it; an owned panel is
  // left to its owner (the bar frees its panels itself).
  if (TMBPanel* panel = FPanel) {
    TakePanel(nullptr);
    if (!panel->Owner()) delete panel;
  }
  // A button freed on its own (not through DeleteButton) leaves the list; the slots close up.
  if (FGroup) {
    TMenuBar* bar = FGroup->Bar();
    int at = FGroup->IndexOf(this);
    if (at >= 0 && !bar->IsDestroying()) {
      FGroup->List().erase(FGroup->List().begin() + at);
      for (int j = 0; j < FGroup->Count(); ++j) {
        FGroup->Items(j)->FIndex = j;
        if (FGroup->Items(j)->Panel()) FGroup->Items(j)->Panel()->SetTag(j + 1);
      }
      if (bar->FSelectedButton == this) bar->FSelectedButton = nullptr;
      bar->RingChanged();
    }
  }
}

TMenuBar* TMenuButton::Bar() const { return dynamic_cast<TMenuBar*>(Parent()); }

void TMenuButton::TakePanel(TMBPanel* panel) {
  if (FPanel && FPanel->FButton == this) FPanel->FButton = nullptr;
  FPanel = panel;
  if (!panel) return;
  if (TMenuButton* old = panel->FButton; old && old != this && old->FPanel == panel)
    old->FPanel = nullptr;
  panel->FButton = this;
}

void TMenuButton::SetFullCaption(const std::string& Value) {
  FFullCaption = Value;
  SetShownCaption(Value);
  if (!IsLoading()) FitCaption();
}

void TMenuButton::SetShownCaption(const std::string& text) {
  FFitting = true;
  SetCaption(text);
  FFitting = false;
}

// A caption set from outside (the application, the inspector) becomes the full caption.
void TMenuButton::TextChanged() {
  TSpeedButton::TextChanged();
  if (FFitting) return;
  FFullCaption = Caption();
  if (!IsLoading()) FitCaption();
}

void TMenuButton::FitCaption() {
  TMenuBar* bar = Bar();
  if (!bar || bar->IsLoading()) return;
  std::string shown;
  if (bar->CaptionsEnabled()) {
    TCanvas canvas;
    canvas.SetFont(Font());
    shown = FitMenuCaption(FFullCaption, Width() - 5,
                           [&](const std::string& s) { return canvas.TextWidth(s); });
  }
  if (shown != Caption()) SetShownCaption(shown);
  // A cut caption shows in full as the hint.
  if (bar->CaptionsEnabled() && shown != FFullCaption) {
    SetHint(StripHotkey(FFullCaption));
    SetShowHint(true);
    FHintFromCut = true;
  } else if (FHintFromCut) {
    SetHint("");
    SetShowHint(false);
    FHintFromCut = false;
  }
}

void TMenuButton::SetUp(bool Value) {
  TMenuBar* bar = Bar();
  if (Value == FUp || IsLoading() || IsDesigning() || !FGroup || !bar || bar->Compact()) {
    FUp = Value;
    return;
  }
  if (FIndex == 0 || (!Value && FIndex == FGroup->Count() - 1)) return;
  FGroup->Recalculate();
  if (Value)
    FGroup->Rise(FIndex);
  else
    FGroup->Drop(FIndex - 1);
}

void TMenuButton::SetSlot(int Value) {
  if (IsLoading() || !FGroup) {
    FIndex = Value;
    return;
  }
  if (Value != FIndex) FGroup->Move(FIndex, Value);
}

void TMenuButton::ShowPanel() {
  TMenuBar* bar = Bar();
  FOnTop = true;
  if (!bar || !FPanel) return;
  if (FPanel->Parent() != bar) FPanel->SetParent(bar);
  if (bar->Compact()) {
    FPanel->SetWidth(0);
    return;
  }
  if (!IsDesigning() && !bar->IsResident(FIndex) && bar->HandleAllocated()) {
    FPanel->HandleNeeded();
    FPanel->UpdateControlState();
  }
  FOnTop = true;
  if (FGroup) FGroup->Recalculate();
}

void TMenuButton::HidePanel() {
  if (FPanel) {
    FPanel->SetWidth(0);
    TMenuBar* bar = Bar();
    if (!IsDesigning() && !(bar && bar->IsResident(FIndex))) FPanel->DestroyHandle();
  }
  FOnTop = false;
}

void TMenuButton::Drop() {
  if (!FUp) return;
  const int target = DownTop;
  for (int guard = 0; Top() <= target && guard < MaxControlCoord / 5; ++guard) SetTop(Top() + 5);
  SetTop(target);
  FUp = false;
}

void TMenuButton::Rise() {
  if (FUp) return;
  const int target = UpTop;
  for (int guard = 0; Top() >= target && guard < MaxControlCoord / 5; ++guard) SetTop(Top() - 5);
  SetTop(target);
  FUp = true;
}

// The slot and the bar are taken first: the button's OnClick may free the button.
void TMenuButton::Click() {
  TMenuBar* bar = Bar();
  TMenuButtonGp* group = FGroup;
  const int slot = FIndex;
  std::shared_ptr<bool> alive = bar ? bar->FAlive : nullptr;
  if (bar && group && group->IndexOf(this) >= 0) {
    group->Recalculate();
    if (FSlideAble && !bar->Compact()) {
      if (FUp)
        group->Drop(slot);
      else
        group->Rise(slot);
    }
  }
  TSpeedButton::Click();
  if (bar && *alive && !bar->IsDestroying()) bar->OnClick(bar, slot);
}

void TMenuButton::Paint() {
  TSpeedButton::Paint();
  if (!IsDesigning() || !FMarked) return;
  TCanvas& c = Canvas();
  const TPenStyle style = c.Pen().Style();
  c.Pen().SetStyle(psDashDot);
  c.Pen().SetColor(clBtnShadow);
  const int r = Width() - 3, b = Height() - 3;
  c.Polyline({{2, 2}, {r, 2}, {r, b}, {2, b}, {2, 2}});
  c.Pen().SetStyle(style);
}

// At design time a press on a button tells the bar, which selects it; the designer keeps
// the mouse (it selects and drags the bar).
void TMenuButton::CMDesignHitTest(TMessage& m) {
  TSpeedButton::CMDesignHitTest(m);
  if ((m.WParam & (MK_LBUTTON | MK_RBUTTON)) != 0 && Parent())
    PostMessage(Parent(), WM_PARENTNOTIFY, TMenuBar::kSelectButtonCode, 0, this);
  m.Result = 0;
}

void TMenuButton::ReadState(TReader& reader) {
  TSpeedButton::ReadState(reader);
  if (auto* bar = dynamic_cast<TMenuBar*>(reader.Parent())) bar->ButtonRead(this);
}

// ---- the arrows -------------------------------------------------------------------------------

FW_DEFINE_CLASS(TMBArrow)

TMBArrow::TMBArrow(TComponent* owner, bool pointsUp) : TSpeedButton(owner), FPointsUp(pointsUp) {}

// A triangle 7 pixels wide and 4 high, placed by the layout the bar's UpDownAlign gives.
void TMBArrow::Paint() {
  TSpeedButton::Paint();
  TCanvas& c = Canvas();
  constexpr int kWide = 7, kHigh = 4;
  int left = (Width() - kWide) / 2;
  if (Layout() == blGlyphLeft) left = std::min(2, std::max(Width() - kWide, 0));
  if (Layout() == blGlyphRight) left = std::max(Width() - kWide - 2, 0);
  const int top = (Height() - kHigh) / 2;
  c.Pen().SetStyle(psSolid);
  c.Pen().SetColor(Enabled() ? clBtnText : clGrayText);
  for (int row = 0; row < kHigh; ++row) {
    const int half = FPointsUp ? row : kHigh - 1 - row;
    const int cx = left + kWide / 2;
    c.Polyline({{cx - half, top + row}, {cx + half + 1, top + row}});
  }
}

// ---- the bar ----------------------------------------------------------------------------------

FW_DEFINE_CLASS(TMenuBar, [](TClassDef<TMenuBar>& d) {
  d.Property("Align", &TMenuBar::Align, &TMenuBar::SetAlign).Default(alNone);
  d.Property("ActiveButtonIndex", &TMenuBar::GetActiveIndex, &TMenuBar::SetActiveIndex)
      .Stored(false);
  d.Property("BevelInner", &TMenuBar::BevelInner, &TMenuBar::SetBevelInner).Default(bvNone);
  d.Property("BevelOuter", &TMenuBar::BevelOuter, &TMenuBar::SetBevelOuter).Default(bvRaised);
  d.Property("BevelWidth", &TMenuBar::BevelWidth, &TMenuBar::SetBevelWidth).Default(1);
  d.Property("BorderStyle", &TMenuBar::BorderStyle, [](TMenuBar& p, TBorderStyle v) {
     p.SetBorderStyle(v);
   }).Default(bsNone);
  d.Property("ButtonCaption", &TMenuBar::GetButtonCaption, &TMenuBar::SetButtonCaption)
      .Stored(false);
  d.Property("ButtonColor", &TMenuBar::GetButtonColor, &TMenuBar::SetButtonColor).Stored(false);
  d.Property("ButtonCount", &TMenuBar::GetCount);
  d.Property("ButtonHeight", &TMenuBar::ButtonHeight, &TMenuBar::SetButtonHeight).Default(22);
  d.Property("ButtonWidth", &TMenuBar::ButtonWidth, &TMenuBar::SetWidth).NoDefault();
  d.Property("ButtonSlideable", &TMenuBar::GetButtonSlideable, &TMenuBar::SetButtonSlideable)
      .Stored(false);
  d.Property("ButtonSlot", &TMenuBar::GetButtonSlot, &TMenuBar::SetSlot).Stored(false);
  d.Property("ButtonUpImages", &TMenuBar::ButtonUpImages, &TMenuBar::SetButtonUpImages);
  d.Property("CaptionsEnabled", &TMenuBar::CaptionsEnabled, &TMenuBar::SetCaptionsEnabled)
      .Default(true);
  d.Property("Color", &TMenuBar::Color, [](TMenuBar& p, TColor v) { p.SetColor(v); })
      .Default(clBtnFace)
      .StoredIf([](const TMenuBar& p) { return !p.ParentColor(); });
  d.Property("Cushion", &TMenuBar::Cushion, &TMenuBar::SetCushion).Default(4);
  d.Property("Enabled", &TMenuBar::Enabled, &TMenuBar::SetEnabled).Default(true);
  d.Property("Font", &TMenuBar::FontPtr, &TMenuBar::SetFont).StoredIf([](const TMenuBar& p) {
    return !p.ParentFont();
  });
  d.Property("Gap", &TMenuBar::Gap, &TMenuBar::SetGap).Default(2);
  d.Property("OnClick", &TMenuBar::OnClick,
             [](TMenuBar& p, TMenuBarClickEvent e) { p.OnClick = e; });
  d.Property("OnMouseMove", &TMenuBar::OnMouseMove, &TMenuBar::SetMouseMove);
  d.Event("OnResize", &TControl::OnResize);
  // The panel's own Color is what is stored; this view of it would only make the text
  // depend on which button the designer had selected.
  d.Property("PanelColor", &TMenuBar::GetPanelColor, &TMenuBar::SetPanelColor).Stored(false);
  d.Property("ParentColor", &TMenuBar::ParentColor, &TMenuBar::SetParentColor).Default(false);
  d.Property("ParentFont", &TMenuBar::ParentFont, &TMenuBar::SetParentFont).Default(true);
  d.Property("SnapToWidth", &TMenuBar::SnapToWidth, &TMenuBar::SetSnap).Default(true);
  d.Property("UpDownAlign", &TMenuBar::UpDownAlign, &TMenuBar::SetUpDownAlign).Default(udLeft);
  d.Property("Visible", &TMenuBar::Visible, &TMenuBar::SetVisible).Default(true);
})

TMenuBar::TMenuBar(TComponent* owner)
    : TCustomPanel(owner), FButtons(std::make_unique<TMenuButtonGp>(this)) {
  if (!GetClass("TMenuButton")) RegisterClass(TMenuButton::StaticClass());
  if (!GetClass("TMBPanel")) RegisterClass(TMBPanel::StaticClass());
  if (!GetClass("TMenuBar")) RegisterClass(TMenuBar::StaticClass());
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(Left(), Top(), 100, 50);
  SetCaption("");
  FUpArrow = new TMBArrow(this, true);
  FDownArrow = new TMBArrow(this, false);
  // At design time the arrows stay off the bar: it is never compact there.
  for (TMBArrow* arrow : {FUpArrow, FDownArrow}) arrow->SetVisible(false);
  if (!FUpArrow->IsDesigning()) {
    for (TMBArrow* arrow : {FUpArrow, FDownArrow}) {
      arrow->SetFlat(true);
      arrow->SetParent(this);
      arrow->SetBounds(2, 1, 11, 7);
    }
    FUpArrow->OnClick = TNotifyEvent(this, &TMenuBar::Up);
    FDownArrow->OnClick = TNotifyEvent(this, &TMenuBar::Down);
  }
}

// The buttons and panels go first, while the list still knows them.
TMenuBar::~TMenuBar() {
  Destroying();
  *FAlive = false;
  FreeRing();
  std::vector<TMenuButton*> buttons = FButtons->List();
  FButtons->List().clear();
  for (TMenuButton* b : buttons) {
    b->FGroup = nullptr;
    delete b->FPanel;
    delete b;
  }
}

void TMenuBar::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FButtonUpImages) FButtonUpImages = nullptr;
  if (component == FSelectedButton) FSelectedButton = nullptr;
  for (TControl*& c : FMoving)
    if (c == component) c = nullptr;
}

TMenuButton* TMenuBar::GetButton(int slot) const {
  if (slot < 0 || slot >= GetCount()) throw EListError();
  return FButtons->Items(slot);
}

TMBPanel* TMenuBar::GetPanel(int slot) const { return GetButton(slot)->Panel(); }

TMenuButton* TMenuBar::GetActiveButton() const {
  for (TMenuButton* b : FButtons->List())
    if (b->OnTop()) return b;
  return nullptr;
}

int TMenuBar::GetActiveIndex() const {
  TMenuButton* b = GetActiveButton();
  return b ? b->Index() : -1;
}

void TMenuBar::SetActiveIndex(int slot) {
  if (slot < 0 || slot >= GetCount() || slot == GetActiveIndex()) return;
  TMenuButton* b = FButtons->Items(slot);
  SetActiveButton(b);
  if (FCompact || IsLoading()) {
    // No motion: the flags alone say which panel leaving compact mode shows.
    for (TMenuButton* other : FButtons->List()) {
      other->FUp = other->Index() <= slot;
      other->FOnTop = other == b;
    }
    return;
  }
  FButtons->Recalculate();
  if (b->Up())
    FButtons->Drop(slot);
  else
    FButtons->Rise(slot);
}

int TMenuBar::TopButton() const {
  for (TMenuButton* b : FButtons->List())
    if (!b->Up()) return b->Index();
  return GetCount() - 1;
}

void TMenuBar::SetTopButton(TMenuButton* button) {
  if (button) SetActiveIndex(button->Index());
}

// ---- creating and deleting buttons
// ----------------------------------------------------------------

TMenuButton* TMenuBar::AppendButton() {
  const int count = GetCount();
  auto* b = new TMenuButton(this);
  b->SetParent(this);
  b->FMarked = false;
  b->FIndex = count;
  if (b->Panel()) {
    b->Panel()->SetTag(count + 1);
    b->Panel()->OnMouseMove = FMouseMove;
    b->Panel()->SetParent(this);
  }
  b->FOnTop = true;
  b->SetBounds(FGap, count * FButtonHeight + FCushion, FButtonWidth, FButtonHeight);
  FButtons->List().push_back(b);
  b->SetGroup(FButtons.get());
  return b;
}

// The new button comes last, every button stands in the upper stack, and its panel shows.
TMenuButton* TMenuBar::CreateButton() {
  if (GetCount() >= kMaxButtons)
    throw EInvalidOperation("A menu bar holds at most " + std::to_string(kMaxButtons) + " buttons");
  if (FSnapToWidth || FButtonWidth == 0) UpdateSnappedWidth();
  for (TMenuButton* b : FButtons->List()) b->HidePanel();
  std::shared_ptr<bool> alive = FAlive;
  if (GetCount() > 1 && !FButtons->List().back()->Up()) {
    FButtons->List().back()->Click();
    if (!*alive || IsDestroying()) return nullptr;
  }
  TMenuButton* b = AppendButton();
  FButtons->Recalculate();
  SetActiveButton(b);
  FButtons->LayOutUp();
  RingChanged();
  SetName(Name());
  if (!IsLoading()) Layout();
  return b;
}

void TMenuBar::DeleteButton(int slot) {
  TMenuButton* b = GetButton(slot);
  FButtons->List().erase(FButtons->List().begin() + slot);
  if (FSelectedButton == b) FSelectedButton = nullptr;
  b->FGroup = nullptr;
  delete b->FPanel;
  delete b;
  for (int j = 0; j < GetCount(); ++j) {
    TMenuButton* other = FButtons->Items(j);
    other->SetBounds(FGap, j * FButtonHeight + FCushion, FButtonWidth, FButtonHeight);
    other->FUp = true;
    other->FIndex = j;
    if (other->Panel()) other->Panel()->SetTag(j + 1);
  }
  FButtons->Recalculate();
  RingChanged();
  if (GetCount() == 0) {
    if (!IsLoading()) Layout();
    return;
  }
  std::shared_ptr<bool> alive = FAlive;
  FButtons->List().back()->Click();
  if (!*alive || IsDestroying() || GetCount() == 0) return;
  FButtons->LayOutUp();
  if (!IsLoading()) Layout();
}

void TMenuBar::Delete(TMenuButton* button) {
  int slot = FButtons->IndexOf(button);
  if (slot >= 0) DeleteButton(slot);
}

// ---- properties ---------------------------------------------------------------------------------

void TMenuBar::UpdateSnappedWidth() {
  FButtonWidth = Width() - 2 * FGap - (BorderStyle() != bsNone ? 4 : 0);
}

void TMenuBar::Relay() {
  if (IsLoading()) return;
  FButtons->Recalculate();
  for (TMenuButton* b : FButtons->List())
    b->SetBounds(FGap, b->Up() ? b->UpTop : b->DownTop, FButtonWidth, FButtonHeight);
  FButtons->Recalculate();
  Layout();
}

void TMenuBar::SetButtonHeight(int Value) {
  if (Value < 1) return;  // a row pitch below one pixel would put every button on one row
  FButtonHeight = Value;
  Relay();
}

void TMenuBar::SetCushion(int Value) {
  if (Value == FCushion) return;
  FCushion = Value;
  Relay();
}

void TMenuBar::SetGap(int Value) {
  if (IsLoading()) {
    FGap = Value;
    return;
  }
  if (Value < 0 || 2 * Value > Width() - 4) return;
  FGap = Value;
  UpdateSnappedWidth();
  for (TMenuButton* b : FButtons->List()) b->SetBounds(FGap, b->Top(), FButtonWidth, b->Height());
  FButtons->Recalculate();
}

void TMenuBar::SetWidth(int Value) {
  if (IsLoading()) {
    FButtonWidth = Value;
    return;
  }
  if (Value < 0 || Value > Width() - 2 * FGap) return;
  if (FSnapToWidth)
    UpdateSnappedWidth();
  else
    FButtonWidth = Value;
}

void TMenuBar::SetSnap(bool Value) {
  if (Value == FSnapToWidth) return;
  FSnapToWidth = Value;
  if (IsLoading() || !Value) return;
  FButtonWidth = Width() - 2 * FGap;
  for (TMenuButton* b : FButtons->List()) b->SetWidth(FButtonWidth);
}

void TMenuBar::SetBorderStyle(TBorderStyle Value) {
  TCustomPanel::SetBorderStyle(Value);
  if (IsLoading()) return;
  FButtonWidth = Width() - 2 * FGap - (Value == bsSingle ? 4 : 0);
  SetButtonHeight(FButtonHeight);
}

void TMenuBar::SetUpDownAlign(TUDAlign Value) {
  if (Value == FUpDownAlign) return;
  FUpDownAlign = Value;
  const TButtonLayout layout = Value == udLeft     ? blGlyphLeft
                               : Value == udCenter ? blGlyphTop
                                                   : blGlyphRight;
  FUpArrow->SetLayout(layout);
  FDownArrow->SetLayout(layout);
}

// Off, the full captions are kept and the buttons show none; on, each button gets back the
// caption kept for its slot (a button without one keeps its own).
void TMenuBar::SetCaptionsEnabled(bool Value) {
  if (IsLoading()) {
    FCaptionsEnabled = Value;
    return;
  }
  if (Value == FCaptionsEnabled) return;
  FCaptionsEnabled = Value;
  if (!Value) {
    FSavedCaptions = std::make_unique<std::vector<std::string>>();
    for (TMenuButton* b : FButtons->List()) {
      FSavedCaptions->push_back(b->FullCaption());
      b->FitCaption();
    }
    return;
  }
  for (int i = 0; i < GetCount(); ++i) {
    TMenuButton* b = FButtons->Items(i);
    if (FSavedCaptions && i < static_cast<int>(FSavedCaptions->size()))
      b->SetFullCaption((*FSavedCaptions)[i]);
    else
      b->FitCaption();
  }
}

void TMenuBar::SetButtonUpImages(TImageList* Value) {
  if (Value == FButtonUpImages) return;
  if (FButtonUpImages) FButtonUpImages->RemoveFreeNotification(this);
  FButtonUpImages = Value;
  if (Value) Value->FreeNotification(this);
}

void TMenuBar::SetMouseMove(const TMouseMoveEvent& Value) {
  OnMouseMove = Value;
  FMouseMove = Value;
  for (TMenuButton* b : FButtons->List())
    if (b->Panel()) b->Panel()->OnMouseMove = Value;
}

// Resident panels keep their windows while hidden; the shown panel keeps its size.
void TMenuBar::SetResource(const TPanes& Value) {
  FResidentPanels = Value;
  if (IsLoading() || IsDesigning()) return;
  const int active = GetActiveIndex();
  for (int i = 0; i < GetCount(); ++i) {
    TMBPanel* panel = FButtons->Items(i)->Panel();
    if (!panel) continue;
    if (IsResident(i)) {
      if (HandleAllocated()) {
        panel->HandleNeeded();
        panel->UpdateControlState();
      }
      if (i != active) panel->SetWidth(0);
    } else if (i != active) {
      panel->DestroyHandle();
    }
  }
}

bool TMenuBar::ChildNeedsWindow(const TWinControl* child) const {
  if (IsDesigning()) return true;
  for (TMenuButton* b : FButtons->List())
    if (b->Panel() == child) return b->OnTop() || IsResident(b->Index());
  return true;
}

// ---- layout -------------------------------------------------------------------------------------

void TMenuBar::Resize() {
  TCustomPanel::Resize();
  if (IsDestroying() || IsLoading()) return;
  Layout();
}

void TMenuBar::Layout() {
  if (IsDestroying() || IsLoading()) return;
  FButtons->Recalculate();
  for (TMenuButton* b : FButtons->List()) {
    if (Width() - 2 * FGap < 0) {
      b->Hide();
    } else if (FSnapToWidth) {
      UpdateSnappedWidth();
      b->SetWidth(FButtonWidth);
      b->Show();
    } else {
      if (FButtonWidth == 0) FButtonWidth = FButtons->Items(0)->Width();
      if (Width() - 2 * FGap < FButtonWidth) UpdateSnappedWidth();
      b->SetWidth(FButtonWidth);
      b->Show();  // hidden on a bar too narrow, shown again once it widens
    }
    if (!b->Up() && !FCompact) b->SetTop(b->DownTop);
    b->FitCaption();
  }
  const bool normal =
      IsDesigning() || GetCount() == 0 || GetCount() * FButtonHeight + 16 <= Height();
  if (normal) {
    if (FCompact) LeaveCompact();
    FButtons->Recalculate();
  } else {
    EnterCompact();
  }
}

void TMenuBar::Normalize() {
  const int n = GetCount();
  if (n == 0) return;
  bool up = true;
  int lastUp = 0;
  for (int i = 0; i < n; ++i) {
    TMenuButton* b = FButtons->Items(i);
    b->FIndex = i;
    up = up && (b->Up() || i == 0);
    b->FUp = up;
    if (up) lastUp = i;
  }
  FButtons->Recalculate();
  if (!FCompact)
    for (TMenuButton* b : FButtons->List())
      b->SetBounds(FGap, b->Up() ? b->UpTop : b->DownTop, FButtonWidth, FButtonHeight);
  for (TMenuButton* b : FButtons->List())
    if (b->Index() != lastUp) b->HidePanel();
  FButtons->Items(lastUp)->ShowPanel();
}

// ---- compact mode
// --------------------------------------------------------------------------------

void TMenuBar::FreeRing() {
  FRing.clear();
  FRingFirst = FRingLastShown = nullptr;
}

void TMenuBar::BuildRing() {
  FreeRing();
  const int n = GetCount();
  if (n == 0) return;
  for (TMenuButton* b : FButtons->List()) {
    FRing.push_back(std::make_unique<TRingEntry>());
    FRing.back()->Button = b;
  }
  for (int i = 0; i < n; ++i) {
    FRing[i]->Next = FRing[(i + 1) % n].get();
    FRing[i]->Prev = FRing[(i + n - 1) % n].get();
  }
  FRingFirst = FRing.front().get();
}

// From RingFirst, ShownRows entries are shown; none of the buttons slides.
void TMenuBar::MarkRing() {
  if (!FRingFirst) return;
  for (auto& e : FRing) {
    e->Shown = false;
    e->Button->FSlideAble = false;
  }
  TRingEntry* e = FRingFirst;
  for (int k = 0; k < FShownRows; ++k, e = e->Next) {
    e->Shown = true;
    FRingLastShown = e;
  }
  // Shown buttons stand from Top 9 on, one row each, in ring order.
  e = FRingFirst;
  int row = 0;
  for (size_t k = 0; k < FRing.size(); ++k, e = e->Next) {
    if (e->Shown) {
      e->Button->SetTop(9 + row++ * FButtonHeight);
      e->Button->Show();
    } else {
      e->Button->Hide();
    }
  }
  Invalidate();
}

void TMenuBar::EnterCompact() {
  const int n = GetCount();
  if (n == 0) return;  // without buttons there is nothing to scroll
  FShownRows = std::clamp((Height() - FCushion - 14) / FButtonHeight, 1, n);
  if (!FRing.empty() && n != FRingSize) FreeRing();
  FRingSize = n;
  if (FRing.empty()) BuildRing();
  FCompact = true;
  if (TMenuButton* active = GetActiveButton(); active && active->Panel())
    active->Panel()->SetWidth(0);
  MarkRing();
  FUpArrow->SetBounds(2, 1, std::max(Width() - 4, 0), 7);
  FUpArrow->Show();
  FDownArrow->SetBounds(2, Height() - 8, std::max(Width() - 4, 0), 7);
  FDownArrow->Show();
}

// Back to stacks: the buttons stand by their Up flags and the active panel is laid out again.
void TMenuBar::LeaveCompact() {
  FCompact = false;
  FreeRing();
  for (TMenuButton* b : FButtons->List()) {
    b->Show();
    b->FSlideAble = true;
  }
  FUpArrow->Hide();
  FDownArrow->Hide();
  Normalize();
}

void TMenuBar::RingChanged() {
  if (!FCompact || IsDestroying()) return;
  if (GetCount() == 0) {
    LeaveCompact();
    return;
  }
  BuildRing();
  FRingSize = GetCount();
  FShownRows = std::clamp(FShownRows, 1, FRingSize);
  MarkRing();
}

void TMenuBar::Up(TObject*) {
  if (!FCompact || !FRingFirst) return;
  FRingFirst = FRingFirst->Prev;
  MarkRing();
}

void TMenuBar::Down(TObject*) {
  if (!FCompact || !FRingFirst) return;
  FRingFirst = FRingFirst->Next;
  MarkRing();
}

void TMenuBar::Paint() { TCustomPanel::Paint(); }

// ---- motion pacing
// ---------------------------------------------------------------------------------

bool TMenuBar::Paced() const { return Application().Animate() && Showing(); }

void TMenuBar::MotionBegin(int passes) {
  FMotionPasses = std::max(passes, 1);
  FMotionStart = FLastFrame = Clock().NowMs();
}

// Each pass is due at its share of kMotionMs; the bar repaints at most once a frame (and on
// the last pass). A motion never waits beyond kMaxMotionMs in all.
void TMenuBar::MotionPass(int pass) {
  if (!Paced()) return;
  uint64_t now = Clock().NowMs();
  if (pass == 1 || pass >= FMotionPasses || now - FLastFrame >= kFrameMs) {
    Repaint();
    FLastFrame = now;
    MotionFrame(pass, FMotionPasses);
    now = Clock().NowMs();
  }
  const uint64_t due = FMotionStart + static_cast<uint64_t>(kMotionMs) *
                                          std::min(pass, FMotionPasses) / FMotionPasses;
  const uint64_t spent = now - FMotionStart;
  if (now < due && spent < static_cast<uint64_t>(kMaxMotionMs))
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::min(due - now, kMaxMotionMs - spent)));
}

// ---- streaming
// -------------------------------------------------------------------------------------

void TMenuBar::GetChildren(const TGetChildProc& proc, TComponent* root) {
  TCustomPanel::GetChildren(proc, root);
  for (int j = 0; j < GetCount(); ++j) {
    TMenuButton* b = FButtons->Items(j);
    b->FIndex = j;
    proc(b);
    if (b->Panel()) {
      b->Panel()->SetTag(j + 1);
      proc(b->Panel());
    }
  }
}

// A stored button takes the slot it names; a slot out of range or already taken puts it
// after the others.
void TMenuBar::ButtonRead(TMenuButton* button) {
  if (std::ranges::find(FLoadSlots, button) != FLoadSlots.end() ||
      std::ranges::find(FStrayButtons, button) != FStrayButtons.end() ||
      FButtons->IndexOf(button) >= 0)
    return;
  const int slot = button->FIndex;
  if (slot >= 0 && slot < kMaxButtons) {
    if (static_cast<int>(FLoadSlots.size()) <= slot) FLoadSlots.resize(slot + 1, nullptr);
    if (!FLoadSlots[slot]) {
      FLoadSlots[slot] = button;
      button->SetGroup(FButtons.get());
      return;
    }
  }
  FStrayButtons.push_back(button);
  button->SetGroup(FButtons.get());
}

// A stored panel replaces the one its button (by Tag) made for itself. A Tag naming no
// button, or a button that already has a stored panel, leaves it for FinishLoading: a
// stored panel is never freed for another.
void TMenuBar::PanelRead(TMBPanel* panel) {
  panel->OnMouseMove = FMouseMove;
  if (!IsDesigning()) {
    panel->SetBevelInner(bvNone);
    panel->SetBevelOuter(bvNone);
  }
  const int tag = panel->Tag();
  TMenuButton* b =
      tag >= 1 && tag <= static_cast<int>(FLoadSlots.size()) ? FLoadSlots[tag - 1] : nullptr;
  if (!b || (b->FPanel && b->FPanel != panel && b->FPanel->Stored())) {
    FStrayPanels.push_back(panel);
    return;
  }
  if (b->FPanel != panel) delete b->FPanel;
  b->TakePanel(panel);
  if (!b->OnTop()) panel->SetWidth(0);
}

// Packs the stored slots, renumbers buttons and panels, and pairs every stray panel with a
// button that has none stored (a new button when every button has its own).
void TMenuBar::FinishLoading() {
  std::vector<TMenuButton*> list;
  for (TMenuButton* b : FLoadSlots)
    if (b) list.push_back(b);
  list.insert(list.end(), FStrayButtons.begin(), FStrayButtons.end());
  FLoadSlots.clear();
  FStrayButtons.clear();
  for (TMenuButton* b : list)
    if (FButtons->IndexOf(b) < 0) FButtons->List().push_back(b);
  for (TMBPanel* panel : std::vector<TMBPanel*>(FStrayPanels)) {
    TMenuButton* owner = nullptr;
    for (TMenuButton* b : FButtons->List())
      if (!b->FPanel || !b->FPanel->Stored()) {
        owner = b;
        break;
      }
    if (!owner) {
      owner = new TMenuButton(this);
      owner->SetParent(this);
      owner->FUp = false;
      FButtons->List().push_back(owner);
      owner->SetGroup(FButtons.get());
    }
    delete owner->FPanel;
    owner->TakePanel(panel);
    if (!owner->OnTop()) panel->SetWidth(0);
  }
  FStrayPanels.clear();
  for (int j = 0; j < GetCount(); ++j) {
    TMenuButton* b = FButtons->Items(j);
    b->FIndex = j;
    if (b->FPanel) {
      b->FPanel->SetTag(j + 1);
      if (b->FPanel->Parent() != this) b->FPanel->SetParent(this);
    }
  }
}

void TMenuBar::ReadState(TReader& reader) {
  TCustomPanel::ReadState(reader);
  FinishLoading();
  SetName(Name());
}

// After loading the stacks are made whole (a leading run of up buttons, one shown panel)
// and the bar is laid out for its size.
void TMenuBar::Loaded() {
  TCustomPanel::Loaded();
  Normalize();
  Layout();
}

// Button i is named <name>__buttons___<i>___<count - 1>___<n>, its panel
// <name>__panels___<i>___<count - 1>___<n>, with one random n for all.
void TMenuBar::SetName(const std::string& Value) {
  TCustomPanel::SetName(Value);
  Randomize();
  const std::string n = std::to_string(Random(1000000000));
  const std::string last = std::to_string(GetCount() - 1);
  auto name = [&](const char* kind, int i) {
    return Value.empty() ? std::string()
                         : Value + kind + std::to_string(i) + "___" + last + "___" + n;
  };
  // Names may pass from one child to another: free them all first.
  for (TMenuButton* b : FButtons->List()) {
    b->SetName("");
    if (b->Panel()) b->Panel()->SetName("");
  }
  for (int i = 0; i < GetCount(); ++i) {
    TMenuButton* b = FButtons->Items(i);
    b->SetName(name("__buttons___", i));
    if (b->Panel()) {
      b->Panel()->SetName(name("__panels___", i));
      b->Panel()->SetCaption("");
    }
  }
}

}  // namespace tessapack
