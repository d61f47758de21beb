// The menu bar at design time: the selected button and the Button* properties that show
// it, controls dropped on the bar, the component editor and the registration.
#include "framework/base/Random.h"
#include "framework/controls/Forms.h"
#include "framework/messages/DestroyGuard.h"
#include "tessapack/MenuBar.h"
#include "tessapack/Package.h"

namespace tessapack {

using namespace framework;

// ---- the selected button
// -------------------------------------------------------------------------

void TMenuBar::SetActiveButton(TMenuButton* button) {
  if (button && !button->Marked()) {
    for (TMenuButton* b : FButtons->List()) {
      b->SetMarked(false);
      b->Invalidate();
    }
    button->SetMarked(true);
    button->Invalidate();
  }
  FSelectedButton = button;
  if (IsDesigning()) Modified();
}

void TMenuBar::Modified() const {
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Designer())
    form->Designer()->Modified();
}

std::string TMenuBar::GetButtonCaption() const {
  if (!IsDesigning()) return "";
  return FSelectedButton ? FSelectedButton->FullCaption() : "none selected";
}

void TMenuBar::SetButtonCaption(const std::string& Value) {
  if (!IsDesigning() || !FSelectedButton) return;
  FCaptionsEnabled = true;
  FSelectedButton->SetFullCaption(Value);
}

TColor TMenuBar::GetButtonColor() const {
  return IsDesigning() && FSelectedButton ? FSelectedButton->Color() : static_cast<TColor>(0);
}

void TMenuBar::SetButtonColor(TColor Value) {
  if (IsDesigning() && FSelectedButton) FSelectedButton->SetColor(Value);
}

TColor TMenuBar::GetPanelColor() const {
  return IsDesigning() && FSelectedButton && FSelectedButton->Panel()
             ? FSelectedButton->Panel()->Color()
             : static_cast<TColor>(0);
}

void TMenuBar::SetPanelColor(TColor Value) {
  if (IsDesigning() && FSelectedButton && FSelectedButton->Panel())
    FSelectedButton->Panel()->SetColor(Value);
}

bool TMenuBar::GetButtonSlideable() const {
  return IsDesigning() && FSelectedButton && FSelectedButton->SlideAble();
}

void TMenuBar::SetButtonSlideable(bool Value) {
  if (IsDesigning() && FSelectedButton) FSelectedButton->SetSlideAble(Value);
}

int TMenuBar::GetButtonSlot() const {
  return IsDesigning() && FSelectedButton ? FSelectedButton->Index() : 0;
}

void TMenuBar::SetSlot(int Value) {
  if (IsDesigning() && FSelectedButton) FSelectedButton->SetSlot(Value);
}

void TMenuBar::SetInherit(bool Value) {
  if (!IsDesigning() || !Value || GetCount() == 0) return;
  const TColor color = FButtons->Items(0)->Color();
  for (TMenuButton* b : FButtons->List()) b->SetColor(color);
}

// At design time a press on the bar selects the button under it; a button's own press
// arrives as the select code with the button.
void TMenuBar::WMParentNotify(TMessage& m) {
  if (IsDesigning() && !IsDestroying()) {
    if (LoWord(m.WParam) == static_cast<int>(WM_LBUTTONDOWN)) {
      const TPoint p{GetXParam(m.LParam), GetYParam(m.LParam)};
      for (TMenuButton* b : FButtons->List())
        if (b->BoundsRect().Contains(p)) {
          SetActiveButton(b);
          break;
        }
    } else if (m.WParam == kSelectButtonCode && !m.ObjFreed) {
      auto* b = dynamic_cast<TMenuButton*>(m.Obj);
      if (b && FButtons->IndexOf(b) >= 0) SetActiveButton(b);
    }
  }
  TCustomPanel::WMParentNotify(m);
}

// ---- controls dropped on the bar
// ------------------------------------------------------------------

void TMenuBar::CMControlListChange(TMessage& m) {
  TCustomPanel::CMControlListChange(m);
  if (!IsDestroying()) SetCaption("");
  if (IsLoading() || IsDestroying() || !IsDesigning() || m.LParam != 1) return;
  auto* control = dynamic_cast<TControl*>(m.Obj);
  if (!control || dynamic_cast<TMenuButton*>(control) || dynamic_cast<TMBPanel*>(control) ||
      dynamic_cast<TMBArrow*>(control))
    return;
  PostMessage(this, WM_USER, 0, 0, control);
}

void TMenuBar::Dispatch(TMessage& message) {
  if (message.Msg == WM_USER) {
    WMUser(message);
    return;
  }
  TCustomPanel::Dispatch(message);
}

// A control dropped on the bar itself goes onto the shown panel, at a random place inside
// it, once the designer has finished inserting it.
void TMenuBar::WMUser(TMessage& m) {
  DefaultHandler(m);
  if (IsDestroying() || m.ObjFreed) return;
  auto* control = dynamic_cast<TControl*>(m.Obj);
  if (!control || control->Parent() != this || !GetActiveButton()) return;
  // Pending messages may free the control, or the bar: watch both while they run.
  std::shared_ptr<bool> alive = FAlive;
  const size_t slot = FMoving.size();
  FMoving.push_back(control);
  FreeNotification(control);
  Application().ProcessMessages();
  if (!*alive || IsDestroying()) return;
  const bool controlAlive = FMoving[slot] == control;
  FMoving.resize(slot);
  if (!controlAlive) return;
  RemoveFreeNotification(control);
  TMenuButton* active = GetActiveButton();
  if (control->Parent() != this || !active || !active->Panel()) return;
  TMBPanel* panel = active->Panel();
  control->SetParent(panel);
  const int left =
      panel->Width() > control->Width() ? Random(panel->Width() - control->Width()) : 0;
  const int top =
      panel->Height() > control->Height() ? Random(panel->Height() - control->Height()) : 0;
  control->SetBounds(left, top, control->Width(), control->Height());
  if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->Designer())
    form->Designer()->SelectComponent(control);
}

// ---- the component editor
// ---------------------------------------------------------------------------

int TMenuBarEditor::GetVerbCount() {
  auto* bar = dynamic_cast<TMenuBar*>(Component());
  return bar && bar->SelectedButton() ? 6 : 1;
}

std::string TMenuBarEditor::GetVerb(int Index) {
  auto* bar = dynamic_cast<TMenuBar*>(Component());
  switch (Index) {
    case 0:
      return "New Button";
    case 1:
      return bar && bar->SelectedButton() ? "Delete Button" : "-";
    case 3:
      return "Simulate Click";
    case 5:
      return "Inherit Properties";
    default:
      return "-";
  }
}

void TMenuBarEditor::ExecuteVerb(int Index) {
  auto* bar = dynamic_cast<TMenuBar*>(Component());
  if (!bar) return;
  // A verb may free the bar (a simulated click whose handler frees it).
  TDestroyGuard guard(bar);
  auto modified = [&] {
    if (Designer())
      Designer()->Modified();
    else if (guard.Alive())
      bar->Modified();
  };
  switch (Index) {
    case 0:
      bar->CreateButton();
      modified();
      break;
    case 1:
      if (TMenuButton* b = bar->SelectedButton()) {
        bar->Delete(b);
        modified();
      }
      break;
    case 3:
      if (TMenuButton* b = bar->SelectedButton()) {
        b->Click();
        modified();
      }
      break;
    case 5:
      bar->SetInherit(true);
      modified();
      break;
    default:
      break;
  }
}

namespace MenuBar {
void Register() {
  RegisterPackageBitmaps();
  RegisterClass(TMenuButton::StaticClass());
  RegisterClass(TMBPanel::StaticClass());
  RegisterComponents("Tessaline", {&TMenuBar::StaticClass()});
  static const bool editor =
      (RegisterComponentEditor<TMenuBarEditor>(TMenuBar::StaticClass()), true);
  (void)editor;
}
}  // namespace MenuBar

}  // namespace tessapack
