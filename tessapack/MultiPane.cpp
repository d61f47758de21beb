#include "tessapack/MultiPane.h"

#include <algorithm>
#include <stdexcept>

#include "framework/base/Random.h"
#include "tessapack/GrabBorder.h"
#include "tessapack/Package.h"

namespace tessapack {

using namespace framework;

namespace {
// Posted by a multi-pane to itself when shown before it has painted.
constexpr uint32_t kEstablishFront = WM_USER + 1;
}  // namespace

// ---- TSinglePane ----------------------------------------------------------------------------

FW_DEFINE_CLASS(TSinglePane, [](TClassDef<TSinglePane>& d) {
  d.Property("BevelInner", &TSinglePane::BevelInner, &TSinglePane::SetBevelInner).Default(bvNone);
  d.Property("BevelOuter", &TSinglePane::BevelOuter, &TSinglePane::SetBevelOuter).Default(bvRaised);
  d.Property("BevelWidth", &TSinglePane::BevelWidth, &TSinglePane::SetBevelWidth).Default(1);
  d.Property("BorderStyle", &TSinglePane::BorderStyle, [](TSinglePane& p, TBorderStyle v) {
     p.SetBorderStyle(v);
   }).Default(bsNone);
  d.Property("BorderWidth", &TSinglePane::BorderWidth, &TSinglePane::SetBorderWidth).Default(0);
  d.Property("Color", &TSinglePane::Color, [](TSinglePane& p, TColor v) { p.SetColor(v); })
      .Default(clBtnFace)
      .StoredIf([](const TSinglePane& p) { return !p.ParentColor(); });
  d.Property("Font", &TSinglePane::FontPtr, &TSinglePane::SetFont)
      .StoredIf([](const TSinglePane& p) { return !p.ParentFont(); });
  d.Event("OnMouseMove", &TControl::OnMouseMove);
  d.Property("ParentColor", &TSinglePane::ParentColor, &TSinglePane::SetParentColor).Default(false);
})

TSinglePane::TSinglePane(TComponent* owner) : TCustomPanel(owner) {
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
  SetAlign(alClient);
}

// Freeing a pane always takes it out of the stack.
TSinglePane::~TSinglePane() {
  Destroying();
  if (TMultiPane* stack = Stack()) stack->Remove(this);
}

TMultiPane* TSinglePane::Stack() const { return dynamic_cast<TMultiPane*>(Parent()); }

int TSinglePane::GetIndex() const {
  TMultiPane* stack = Stack();
  return stack ? stack->IndexOf(this) : -1;
}

void TSinglePane::SetIndex(int Value) {
  if (TMultiPane* stack = Stack()) stack->Move(GetIndex(), Value);
}

void TSinglePane::MoveToTop() {
  TMultiPane* stack = Stack();
  if (!stack) return;
  int index = stack->IndexOf(this);
  if (index >= 0) stack->SetTop(index);
}

void TSinglePane::ReadState(TReader& reader) {
  TCustomPanel::ReadState(reader);
  auto* stack = dynamic_cast<TMultiPane*>(reader.Parent());
  if (!stack) return;
  SetCaption("");
  stack->PaneRead(this);
}

// ---- TMultiPane -----------------------------------------------------------------------------

FW_DEFINE_CLASS(TMultiPane, [](TClassDef<TMultiPane>& d) {
  d.Property("Align", &TMultiPane::Align, &TMultiPane::SetAlign).Default(alNone);
  d.Property("BevelInner", &TMultiPane::BevelInner, &TMultiPane::SetBevelInner).Default(bvNone);
  d.Property("BevelOuter", &TMultiPane::BevelOuter, &TMultiPane::SetBevelOuter).Default(bvRaised);
  d.Property("BorderWidth", &TMultiPane::BorderWidth, &TMultiPane::SetBorderWidth).Default(0);
  d.Property("BorderStyle", &TMultiPane::BorderStyle, [](TMultiPane& p, TBorderStyle v) {
     p.SetBorderStyle(v);
   }).Default(bsNone);
  d.Property("BevelWidth", &TMultiPane::BevelWidth, &TMultiPane::SetBevelWidth).Default(1);
  d.Property("Color", &TMultiPane::Color, [](TMultiPane& p, TColor v) { p.SetColor(v); })
      .Default(clBtnFace)
      .StoredIf([](const TMultiPane& p) { return !p.ParentColor(); });
  d.Property("Count", &TMultiPane::GetCount);
  d.Property("GrabBorder", &TMultiPane::GrabBorder, &TMultiPane::SetGrab).NoDefault();
  d.Event("OnResize", &TControl::OnResize);
  d.Property("OnMouseDown", &TMultiPane::OnMouseDown, &TMultiPane::SetMouseDown);
  d.Property("OnMouseMove", &TMultiPane::OnMouseMove, &TMultiPane::SetMouseMove);
  d.Property("OnMouseUp", &TMultiPane::OnMouseUp, &TMultiPane::SetMouseUp);
  d.Property("PaneIndex", &TMultiPane::GetTop, &TMultiPane::SetIndex).Stored(false);
  d.Property("PaneColor", &TMultiPane::GetPaneColor, &TMultiPane::SetPaneColor).Stored(false);
  d.Property("ParentColor", &TMultiPane::ParentColor, &TMultiPane::SetParentColor).Default(false);
  d.Property("ParentFont", &TMultiPane::ParentFont, &TMultiPane::SetParentFont).Default(true);
  d.Property("TopPaneIndex", &TMultiPane::GetTop, &TMultiPane::SetTop).NoDefault();
  d.Property("Visible", &TMultiPane::Visible, &TMultiPane::SetVisible).Default(true);
})

TMultiPane::TMultiPane(TComponent* owner) : TCustomPanel(owner) {
  if (!GetClass("TSinglePane")) RegisterClass(TSinglePane::StaticClass());
  if (!GetClass("TMultiPane")) RegisterClass(TMultiPane::StaticClass());
  FControlStyle.Include(csOpaque);
  auto* placeholder = new TSinglePane(this);
  placeholder->SetTag(kPlaceholderTag);
  Add(placeholder);
  SetCaption("Error");  // seen only where no pane covers the multi-pane
}

// The panes go last first.
TMultiPane::~TMultiPane() {
  Destroying();
  *FAlive = false;
  while (!FPanes.empty()) {
    TSinglePane* pane = FPanes.back();
    FPanes.pop_back();
    delete pane;
  }
}

void TMultiPane::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  for (TControl*& c : FMoving)
    if (c == component) c = nullptr;
}

// ---- the stack ---------------------------------------------------------------------------------

int TMultiPane::IndexOf(const TSinglePane* pane) const {
  auto it = std::find(FPanes.begin(), FPanes.end(), pane);
  return it == FPanes.end() ? -1 : static_cast<int>(it - FPanes.begin());
}

TSinglePane* TMultiPane::GetPane(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError();
  return FPanes[Index];
}

void TMultiPane::GiveHandlers(TSinglePane* pane) const {
  pane->OnMouseMove = FMouseMove;
  pane->OnMouseDown = FMouseDown;
  pane->OnMouseUp = FMouseUp;
}

void TMultiPane::Add(TSinglePane* Pane) {
  if (!Pane || IndexOf(Pane) >= 0) return;
  if (GetCount() >= kMaxPanes)
    throw EInvalidOperation("A multi-pane holds at most " + std::to_string(kMaxPanes) + " panes");
  if (auto* other = dynamic_cast<TMultiPane*>(Pane->Parent()); other && other != this)
    other->Remove(Pane);
  // A pane that another multi-pane owns would be freed with it.
  if (auto* oldOwner = dynamic_cast<TMultiPane*>(Pane->Owner()); oldOwner && oldOwner != this) {
    if (FindComponent(Pane->Name())) Pane->SetName("");
    oldOwner->RemoveComponent(Pane);
    InsertComponent(Pane);
  }
  // Listed before it is parented, so that showing decides its window by its index.
  FPanes.push_back(Pane);
  try {
    Pane->SetParent(this);
  } catch (...) {
    FPanes.pop_back();
    throw;
  }
  GiveHandlers(Pane);
  // A new pane lies behind the front pane until it is brought to the front.
  if (FTop >= 0 && FTop < GetCount() - 1 && FPanes[FTop]) FPanes[FTop]->BringToFront();
}

TSinglePane* TMultiPane::AddPane() {
  if (GetCount() >= kMaxPanes)
    throw EInvalidOperation("A multi-pane holds at most " + std::to_string(kMaxPanes) + " panes");
  auto* pane = new TSinglePane(this);
  Add(pane);
  return pane;
}

void TMultiPane::Delete(int Index) {
  TSinglePane* pane = GetPane(Index);
  FPanes.erase(FPanes.begin() + Index);
  PaneRemoved(Index);
  delete pane;
}

void TMultiPane::Remove(TSinglePane* Pane) {
  if (IsDestroying()) return;
  std::erase(FAppended, Pane);
  int index = IndexOf(Pane);
  if (index < 0) return;
  FPanes.erase(FPanes.begin() + index);
  PaneRemoved(index);
}

// The panes behind the one that left move up one place. When the front pane left, the
// pane before it (or the new first pane) comes to the front.
void TMultiPane::PaneRemoved(int index) {
  auto follow = [&](int i) {
    if (i > index) return i - 1;
    if (i == index) return GetCount() == 0 ? -1 : std::max(index - 1, 0);
    return i;
  };
  if (FPendingTop >= 0) FPendingTop = std::max(follow(FPendingTop), 0);
  if (FTop < 0) return;
  int top = follow(FTop);
  if (FTop == index) {
    FTop = -1;
    if (top >= 0) SetTop(top);
  } else {
    FTop = top;
  }
  ApplyWindowRule();
}

void TMultiPane::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  TSinglePane* pane = GetPane(CurIndex);
  GetPane(NewIndex);
  TSinglePane* top = GetTopPane();
  FPanes.erase(FPanes.begin() + CurIndex);
  FPanes.insert(FPanes.begin() + NewIndex, pane);
  if (top) SetTop(IndexOf(top));
  ApplyWindowRule();
}

TSinglePane* TMultiPane::GetTopPane() const {
  int top = GetTop();
  return top >= 0 && top < GetCount() ? FPanes[top] : nullptr;
}

void TMultiPane::SetTopPane(TSinglePane* Pane) {
  if (Pane) Pane->MoveToTop();
}

void TMultiPane::SetIndex(int Value) {
  if (IsDesigning()) Move(GetTop(), Value);
}

// ---- the front pane ----------------------------------------------------------------------------

void TMultiPane::SetTop(int Value) {
  if (IsLoading() || !FPainted || (!IsDesigning() && !Visible())) {
    FPendingTop = Value;
    FPainted = false;
    return;
  }
  if (Value == FTop) return;
  TSinglePane* pane = GetPane(Value);
  FTop = Value;  // the window rule now names this pane
  if (!IsDesigning() && HandleAllocated() && !pane->HandleAllocated()) {
    pane->HandleNeeded();
    pane->UpdateControlState();
  }
  pane->BringToFront();
  if (!IsDesigning())
    for (int i = 0; i < GetCount(); ++i)
      if (i != Value && !IsResident(i) && FPanes[i]) FPanes[i]->DestroyHandle();
  SetCaption("error");
}

// The first paint after creation, loading or hiding brings the wished pane to the front.
void TMultiPane::Paint() {
  TCustomPanel::Paint();
  EstablishFront();
}

// Where the pane windows cover the whole multi-pane, a native toolkit may never paint it;
// shown, it then posts itself a message that does what the first paint would.
void TMultiPane::Invalidate() {
  TCustomPanel::Invalidate();
  if (!FPainted && !FFrontPosted && Showing() && !IsDestroying())
    FFrontPosted = PostMessage(this, kEstablishFront);
}

void TMultiPane::EstablishFront() {
  if (FPainted) return;
  FPainted = true;
  if (GetCount() == 0) return;
  FPendingTop = std::clamp(FPendingTop, 0, GetCount() - 1);
  SetTop(FPendingTop);
}

// Hidden at run time, the multi-pane gives up the windows of its panes (the resident ones
// excepted) and brings the same pane back to the front on its next paint.
void TMultiPane::VisibleChanged() {
  if (!Visible() && !IsDesigning()) {
    for (int i = 0; i < GetCount(); ++i)
      if (!IsResident(i) && FPanes[i]) FPanes[i]->DestroyHandle();
    FPainted = false;
    if (FTop >= 0) FPendingTop = FTop;
    FTop = -1;
  }
  TCustomPanel::VisibleChanged();
}

bool TMultiPane::ChildNeedsWindow(const TWinControl* child) const {
  if (IsDesigning()) return true;
  int index = IndexOf(dynamic_cast<const TSinglePane*>(child));
  return index < 0 || index == GetTop() || IsResident(index);
}

void TMultiPane::ApplyWindowRule() {
  if (IsDesigning() || IsLoading() || IsDestroying()) return;
  for (int i = 0; i < GetCount(); ++i) {
    TSinglePane* pane = FPanes[i];
    if (!pane) continue;
    if (i == GetTop() || IsResident(i)) {
      if (HandleAllocated() && !pane->HandleAllocated()) {
        pane->HandleNeeded();
        pane->UpdateControlState();
      }
    } else {
      pane->DestroyHandle();
    }
  }
}

void TMultiPane::SetResource(const TPanes& Value) {
  FResource = Value;
  if (!IsLoading()) ApplyWindowRule();
}

// ---- properties ---------------------------------------------------------------------------------

TColor TMultiPane::GetPaneColor() const {
  if (!IsDesigning() || FTop < 0 || FTop >= GetCount() || !FPanes[FTop])
    return static_cast<TColor>(0);
  return FPanes[FTop]->Color();
}

void TMultiPane::SetPaneColor(TColor Value) {
  if (!IsDesigning() || FTop < 0 || FTop >= GetCount() || !FPanes[FTop]) return;
  FPanes[FTop]->SetColor(Value);
}

void TMultiPane::SetMouseDown(const TMouseEvent& Value) {
  OnMouseDown = Value;
  FMouseDown = Value;
  for (TSinglePane* pane : FPanes)
    if (pane) pane->OnMouseDown = Value;
}

void TMultiPane::SetMouseMove(const TMouseMoveEvent& Value) {
  OnMouseMove = Value;
  FMouseMove = Value;
  for (TSinglePane* pane : FPanes)
    if (pane) pane->OnMouseMove = Value;
}

void TMultiPane::SetMouseUp(const TMouseEvent& Value) {
  OnMouseUp = Value;
  FMouseUp = Value;
  for (TSinglePane* pane : FPanes)
    if (pane) pane->OnMouseUp = Value;
}

// The grab border widens a border of width 0 at design time; switching it off takes away
// only a border that it made.
void TMultiPane::SetGrab(bool Value) {
  if (!IsDesigning()) return;
  if (Value) {
    if (BorderWidth() != 0) return;
    SetBorderWidth(2);
  } else if (FGrabBorder && !IsLoading()) {
    SetBorderWidth(0);
  }
  FGrabBorder = Value;
}

// Pane i is named <name>__panes___<i>___<count - 1>___<n> with one random n for all.
void TMultiPane::SetName(const std::string& Value) {
  TCustomPanel::SetName(Value);
  Randomize();
  const std::string n = std::to_string(Random(1000000000));
  const std::string last = std::to_string(GetCount() - 1);
  std::vector<std::string> names;
  for (int i = 0; i < GetCount(); ++i)
    names.push_back(Value.empty()
                        ? std::string()
                        : Value + "__panes___" + std::to_string(i) + "___" + last + "___" + n);
  // Names may pass from one pane to another: free them all first.
  for (int i = 0; i < GetCount(); ++i)
    if (FPanes[i] && FPanes[i]->Name() != names[i]) FPanes[i]->SetName("");
  for (int i = 0; i < GetCount(); ++i)
    if (FPanes[i]) {
      FPanes[i]->SetName(names[i]);
      FPanes[i]->SetCaption("");
    }
}

// While a form loads, a stored pane may bear the name of a pane that loading discards.
void TMultiPane::ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName) {
  if (IsLoading() && !newName.empty()) {
    auto* other = dynamic_cast<TSinglePane*>(FindComponent(newName));
    if (other && other != component) other->SetName("");
  }
  TCustomPanel::ValidateRename(component, curName, newName);
}

// ---- streaming ----------------------------------------------------------------------------------

void TMultiPane::GetChildren(const TGetChildProc& proc, TComponent*) {
  uint8_t tag = 0;
  for (TSinglePane* pane : std::vector<TSinglePane*>(FPanes)) {
    if (!pane) continue;
    pane->SetTag(++tag);
    proc(pane);
    if (tag == kMaxPanes) break;
  }
}

// The stored border width never includes the grab border.
void TMultiPane::WriteState(TWriter& writer) {
  WriteWithoutGrabBorder(*this, FGrabBorder, [&] { TCustomPanel::WriteState(writer); });
}

// Tag n puts the pane at position n - 1; a Tag outside 1..255, or a position already taken
// by a stored pane, puts it after the numbered ones. The placeholder is the only pane ever
// discarded.
void TMultiPane::PaneRead(TSinglePane* pane) {
  if (IndexOf(pane) >= 0 || std::ranges::find(FAppended, pane) != FAppended.end()) return;
  if (GetCount() == 1 && FPanes[0] && FPanes[0] != pane && FPanes[0]->Tag() == kPlaceholderTag) {
    TSinglePane* placeholder = FPanes[0];
    FPanes.clear();
    delete placeholder;
  }
  const int tag = pane->Tag();
  if (tag >= 1 && tag <= kMaxPanes) {
    if (GetCount() < tag) FPanes.resize(tag, nullptr);
    if (!FPanes[tag - 1]) {
      FPanes[tag - 1] = pane;
      return;
    }
  }
  FAppended.push_back(pane);
}

void TMultiPane::ReadState(TReader& reader) {
  TCustomPanel::ReadState(reader);
  std::erase(FPanes, nullptr);  // positions that no stored pane filled
  FPanes.insert(FPanes.end(), FAppended.begin(), FAppended.end());
  FAppended.clear();
  if (GetCount() > kMaxPanes)
    throw EInvalidOperation("A multi-pane holds at most " + std::to_string(kMaxPanes) + " panes");
  if (IsDesigning() && FGrabBorder) {
    SetBorderWidth(2);
    Realign();
  }
  SetName(Name());
  for (TSinglePane* pane : FPanes) GiveHandlers(pane);
}

// ---- design time: controls dropped on the multi-pane itself
// --------------------------------------

void TMultiPane::Dispatch(TMessage& message) {
  if (message.Msg == WM_USER) {
    WMUser(message);
    return;
  }
  if (message.Msg == kEstablishFront) {
    FFrontPosted = false;
    if (Showing() && !IsLoading() && !IsDestroying()) EstablishFront();
    return;
  }
  TCustomPanel::Dispatch(message);
}

// A control dropped on the multi-pane itself at design time goes into the top pane once the
// designer has finished inserting it.
void TMultiPane::CMControlListChange(TMessage& m) {
  TCustomPanel::CMControlListChange(m);
  if (IsLoading() || IsDestroying() || !IsDesigning() || m.LParam != 1) return;
  auto* control = dynamic_cast<TControl*>(m.Obj);
  if (!control || dynamic_cast<TSinglePane*>(control)) return;
  PostMessage(this, WM_USER, 0, 0, control);
}

void TMultiPane::WMUser(TMessage& m) {
  DefaultHandler(m);
  if (IsDestroying() || m.ObjFreed) return;  // a dropped control already freed: nothing to move
  auto* control = dynamic_cast<TControl*>(m.Obj);
  if (!control || control->Parent() != this) return;
  // Pending messages may free the control, or the multi-pane: watch both while they run.
  std::shared_ptr<bool> alive = FAlive;
  size_t slot = FMoving.size();
  FMoving.push_back(control);
  FreeNotification(control);
  Application().ProcessMessages();
  if (!*alive) return;
  bool controlAlive = FMoving[slot] == control;
  FMoving.resize(slot);
  if (!controlAlive) return;
  RemoveFreeNotification(control);
  TSinglePane* top = GetTopPane();
  if (IsDestroying() || control->Parent() != this || !top) return;
  control->SetParent(top);
  int left = control->Width() < top->Width() ? Random(top->Width() - control->Width()) : 0;
  int topPos = control->Height() < top->Height() ? Random(top->Height() - control->Height()) : 0;
  control->SetBounds(left, topPos, control->Width(), control->Height());
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Designer())
    form->Designer()->SelectComponent(control);
}

void TMultiPane::Modified() const {
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Designer())
    form->Designer()->Modified();
}

// ---- the component editor -----------------------------------------------------------------------

int TMultiPaneEditor::GetVerbCount() {
  auto* mp = dynamic_cast<TMultiPane*>(Component());
  if (!mp || mp->GetCount() <= 1) return 1;
  return mp->GetCount() + 2;
}

std::string TMultiPaneEditor::GetVerb(int Index) {
  auto* mp = dynamic_cast<TMultiPane*>(Component());
  if (Index == 0) return "New Pane";
  if (Index == 1) return "Delete Pane " + std::to_string(mp ? mp->GetTop() : -1);
  return "Pane " + std::to_string(Index - 2);
}

void TMultiPaneEditor::ExecuteVerb(int Index) {
  auto* mp = dynamic_cast<TMultiPane*>(Component());
  if (!mp || Index < 0) return;
  if (Index == 0) {
    TSinglePane* pane = mp->AddPane();
    pane->SetTag(mp->GetCount());
    if (!mp->Name().empty()) mp->SetName(mp->Name());  // names the new pane like the others
    mp->SetTop(mp->GetCount() - 1);
  } else if (Index == 1) {
    int top = mp->GetTop();
    if (top < 0 || top >= mp->GetCount() || mp->GetCount() <= 1) return;
    mp->Delete(top);
  } else {
    if (Index - 2 >= mp->GetCount()) return;
    mp->SetTop(Index - 2);
  }
  if (Designer())
    Designer()->Modified();
  else
    mp->Modified();
}

namespace MultiPane {
void Register() {
  RegisterPackageBitmaps();
  RegisterClass(TSinglePane::StaticClass());
  RegisterComponents("Tessaline", {&TMultiPane::StaticClass()});
  static const bool editor =
      (RegisterComponentEditor<TMultiPaneEditor>(TMultiPane::StaticClass()), true);
  (void)editor;
}
}  // namespace MultiPane

}  // namespace tessapack
