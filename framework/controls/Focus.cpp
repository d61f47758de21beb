// Keyboard focus and tab order: the focus is the model's (TScreen::ActiveControl, each
// form's ActiveControl); the widgetset is told where it went.
#include <algorithm>
#include <climits>

#include "framework/controls/Controls.h"
#include "framework/controls/Forms.h"
#include "framework/messages/DestroyGuard.h"

namespace framework {

// ---- TWinControl -------------------------------------------------------------------------------

bool TWinControl::CanFocus() const {
  const TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (const TControl* c = this; c && c != form; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return Screen().ActiveControl() == this; }

void TWinControl::SetFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) throw EInvalidOperation("Control '" + Name() + "' has no parent form");
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  form->FocusControl(form == this ? nullptr : this);
}

int TWinControl::TabOrder() const {
  if (!Parent()) return FTabOrder;
  const auto& list = Parent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// While the control is read, the value is kept; the parent sorts its list when all its
// children are read (FixupTabList).
void TWinControl::SetTabOrder(int value) {
  if (FControlState.Contains(csReadingState) || !Parent()) {
    FTabOrder = value;
    return;
  }
  auto& list = Parent()->FTabList;
  std::erase(list, this);
  int at = std::clamp(value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + at, this);
}

// Each child read with a tab order takes that place; the others (none read, beyond the end,
// or a place already taken) fill the free places in child-list order. So a child that does
// not store its tab order keeps its place and a form reads back as it was written.
void TWinControl::FixupTabList() {
  const size_t n = FTabList.size();
  std::vector<TWinControl*> slots(n, nullptr), rest;
  for (TWinControl* c : FTabList) {
    int at = c->FTabOrder;
    c->FTabOrder = -1;
    if (at >= 0 && static_cast<size_t>(at) < n && !slots[at])
      slots[at] = c;
    else
      rest.push_back(c);
  }
  size_t next = 0;
  for (TWinControl*& slot : slots)
    if (!slot) slot = rest[next++];
  FTabList = std::move(slots);
}

// Tab walks the model, so the window need not be made again: its style takes the flag the
// next time it is made.
void TWinControl::SetTabStop(bool value) { FTabStop = value; }

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  if (list.empty()) return nullptr;
  const int count = static_cast<int>(list.size());
  auto it = std::find(list.begin(), list.end(), current);
  int start = it != list.end() ? static_cast<int>(it - list.begin()) : goForward ? count - 1 : 0;
  int i = start;
  do {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    TWinControl* c = list[i];
    if (c->CanFocus() && (!checkTabStop || c->TabStop()) && (!checkParent || c->Parent() == this))
      return c;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, !checkTabStop))
    next->SetFocus();
}

void TWinControl::ForgetFocus(TWinControl* gone) {
  TScreen& screen = Screen();
  if (screen.FActiveControl && gone->ContainsControl(screen.FActiveControl))
    screen.FActiveControl = nullptr;
  if (screen.FActiveForm == gone) screen.FActiveForm = nullptr;
  for (TCustomForm* form : screen.FForms)
    if (form->FActiveControl && gone->ContainsControl(form->FActiveControl))
      form->FActiveControl = nullptr;
}

// ---- TCustomForm
// ---------------------------------------------------------------------------------

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control == FActiveControl) return;
  if (IsLoading() || IsDesigning()) {
    FActiveControl = control;
    return;
  }
  if (control && (control == this || !ContainsControl(control) || !control->CanFocus()))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (Active())
    FocusControl(control);
  else
    FActiveControl = control;
}

bool TCustomForm::Active() const { return Screen().ActiveForm() == this; }

void TCustomForm::Activate() {
  if (IsDesigning()) return;
  TWinControl* target = FActiveControl;
  if (!target || !target->CanFocus()) target = FindNextControl(nullptr, true, true, false);
  FocusControl(target);
}

// The focus leaves the old control and its containers up to the first that also holds the
// new one (CM_EXIT, innermost first) and enters the new one's containers below that (CM_ENTER,
// outermost first). A handler that moves the focus elsewhere ends this change, and so does
// one that frees the new control or this form (an OnExit that checks what was typed).
void TCustomForm::FocusControl(TWinControl* control) {
  TScreen& screen = Screen();
  TWinControl* target = control ? control : this;
  if (screen.FActiveControl == target && screen.FActiveForm == this) return;
  TWinControl* old = screen.FActiveControl;
  TCustomForm* oldForm = old ? GetParentForm(old) : nullptr;
  std::vector<TWinControl*> exits;
  for (TWinControl* c = old; c && c != oldForm && !c->ContainsControl(target); c = c->Parent())
    exits.push_back(c);
  std::vector<TWinControl*> enters;
  for (TWinControl* c = target;
       c && c != this && !(old && oldForm == this && c->ContainsControl(old)); c = c->Parent())
    enters.insert(enters.begin(), c);
  TDestroyGuard formGuard(this), targetGuard(target);
  for (TWinControl* c : exits) {
    c->Perform(CM_EXIT);
    if (screen.FActiveControl != old || !formGuard.Alive() || !targetGuard.Alive()) return;
  }
  screen.FActiveForm = this;
  screen.FActiveControl = target;
  FActiveControl = control;
  for (TWinControl* c : enters) {
    c->Perform(CM_ENTER);
    if (screen.FActiveControl != target) return;
  }
  if (target->HandleAllocated()) Widgetset().SetFocus(target->Handle());
}

void TCustomForm::CMDialogKey(TMessage& m) {
  if (m.WParam != VK_TAB) return;
  bool back = TShiftState::FromMask(static_cast<uint64_t>(m.LParam)).Contains(ssShift);
  SelectNext(FActiveControl, !back, true);
  m.Result = 1;
}

}  // namespace framework
