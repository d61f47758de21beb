#include "framework/controls/Input.h"

#include <cstdlib>

#include "framework/controls/Forms.h"
#include "framework/design/Designer.h"
#include "framework/messages/DestroyGuard.h"

namespace framework {

namespace {

TControl* GCaptureControl = nullptr;
TControl* GMouseControl = nullptr;
// The pointer as last delivered: a window and a point of its client area. Its place on the
// desktop is worked out only when something needs it (capture, dragging), which keeps the
// plain delivery of a move cheap.
THandle GPointerWindow;
TPoint GPointerAt;

TPoint PointerOnScreen() {
  TWinControl* w = FindControl(GPointerWindow);
  return w ? w->ClientToScreen(GPointerAt) : GPointerAt;
}

// A drag of a control: it waits for the pointer to move Threshold pixels from Start unless
// it began at once, then follows the pointer over the targets.
struct TDrag {
  TControl* Source = nullptr;
  bool Active = false;
  TPoint Start;
  int Threshold = 5;
  TControl* Target = nullptr;
  bool Accepted = false;
};
TDrag GDrag;

}  // namespace

void SetCaptureControl(TControl* control) { GCaptureControl = control; }
TControl* GetCaptureControl() { return GCaptureControl; }
TControl* GetMouseControl() { return GMouseControl; }

void SetMouseControl(TControl* control) {
  if (control == GMouseControl) return;
  TControl* old = GMouseControl;
  GMouseControl = control;
  if (old) old->Perform(CM_MOUSELEAVE);
  // A leave handler may have moved the pointer's control on (or destroyed this one).
  if (control && GMouseControl == control) control->Perform(CM_MOUSEENTER);
}

void ForgetInputControl(TControl* control) {
  if (GCaptureControl == control) GCaptureControl = nullptr;
  if (GMouseControl == control) GMouseControl = nullptr;
  if (GDrag.Target == control) GDrag.Target = nullptr;
  if (GDrag.Source == control) {
    GDrag = TDrag();
    Screen().SetCursor(crDefault);
  }
}

static intptr_t ShiftToKeys(TShiftState s) {
  intptr_t k = 0;
  if (s.Contains(ssShift)) k |= MK_SHIFT;
  if (s.Contains(ssCtrl)) k |= MK_CONTROL;
  if (s.Contains(ssLeft)) k |= MK_LBUTTON;
  if (s.Contains(ssRight)) k |= MK_RBUTTON;
  if (s.Contains(ssMiddle)) k |= MK_MBUTTON;
  return k;
}

TControl* ControlAtPoint(TWinControl& window, TPoint p) {
  TWinControl* w = &window;
  // Within the window's bounds (its frame included) the window or a child is hit; the
  // bounds are checked first because working out the client area is not cheap.
  if (p.X < 0 || p.Y < 0 || p.X >= w->Width() || p.Y >= w->Height()) {
    TWinControl* top = w;
    while (top->Parent()) top = top->Parent();
    p = top->ScreenToClient(w->ClientToScreen(p));
    if (!top->ClientRect().Contains(p)) return nullptr;
    w = top;
  }
  TControl* hit = w;
  while (TControl* c = w->ControlAtPos(p, true, true)) {
    hit = c;
    if (!c->IsWindowed()) break;
    auto* child = static_cast<TWinControl*>(c);
    TRect f = child->FrameInsets();
    p = {p.X - c->Left() - f.Left, p.Y - c->Top() - f.Top};
    if (!child->ClientRect().Contains(p)) break;  // on its frame
    w = child;
  }
  return hit;
}

void DeliverMouseLeave(THandle window) {
  TWinControl* control = FindControl(window);
  TControl* under = GetMouseControl();
  if (control && under && control->ContainsControl(under)) SetMouseControl(nullptr);
}

// ---- dragging ----------------------------------------------------------------------------------

static TPoint TargetPoint(TControl* target) { return target->ScreenToClient(PointerOnScreen()); }

// Moves the drag to the control under the pointer: the old target hears dsDragLeave, the
// new one dsDragEnter, then every move dsDragMove; each answer decides Accepted.
static void DragMoveTo(TControl* under) {
  bool accept = false;
  if (under != GDrag.Target) {
    if (TControl* old = GDrag.Target) {
      TDestroyGuard underGuard(under);
      GDrag.Target = nullptr;
      TPoint p = TargetPoint(old);
      old->DragOver(GDrag.Source, p.X, p.Y, dsDragLeave, accept);
      if (!underGuard.Alive()) under = nullptr;  // the leave handler freed it
    }
    if (!GDrag.Source) return;  // a handler ended the drag
    GDrag.Target = under;
    GDrag.Accepted = false;
    if (under) {
      TPoint p = TargetPoint(under);
      accept = false;
      under->DragOver(GDrag.Source, p.X, p.Y, dsDragEnter, accept);
      GDrag.Accepted = accept;
    }
  } else if (under) {
    TPoint p = TargetPoint(under);
    accept = false;
    under->DragOver(GDrag.Source, p.X, p.Y, dsDragMove, accept);
    GDrag.Accepted = accept;
  }
  if (GDrag.Source) Screen().SetCursor(GDrag.Target && GDrag.Accepted ? crDrag : crNoDrop);
}

// Ends the drag: drops on an accepting target (or tells the target it was left) and
// returns the target dropped on (nullptr: none, or a target its drop handler freed) with
// the point in its coordinates.
static TControl* FinishDrag(bool drop, TPoint& p) {
  TDrag drag = GDrag;
  GDrag = TDrag();
  Screen().SetCursor(crDefault);
  if (drag.Source->MouseCapture()) SetCaptureControl(nullptr);
  TControl* target = drag.Active ? drag.Target : nullptr;
  bool dropped = drop && target && drag.Accepted;
  p = target ? TargetPoint(target) : TPoint{0, 0};
  if (target && !dropped) {
    bool accept = false;
    target->DragOver(drag.Source, p.X, p.Y, dsDragLeave, accept);
  }
  if (dropped) {
    TDestroyGuard targetGuard(target);
    target->DragDrop(drag.Source, p.X, p.Y);
    if (targetGuard.Alive()) return target;
  }
  p = {0, 0};
  return nullptr;
}

void TControl::BeginDrag(bool immediate, int threshold) {
  if (GDrag.Source || IsDesigning()) return;
  GDrag.Source = this;
  GDrag.Start = PointerOnScreen();
  GDrag.Threshold = threshold < 0 ? 5 : threshold;
  SetCaptureControl(this);
  DoStartDrag();
  if (GDrag.Source == this && immediate) {
    GDrag.Active = true;
    DragMoveTo(GMouseControl);
  }
}

// The drop handler may free the dragged control: it then hears no OnEndDrag.
void TControl::EndDrag(bool drop) {
  if (GDrag.Source != this) return;
  TPoint p;
  TDestroyGuard guard(this);
  TControl* target = FinishDrag(drop, p);
  if (guard.Alive()) DoEndDrag(target, p.X, p.Y);
}

bool TControl::Dragging() const { return GDrag.Source == this; }

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = OnDragOver.Assigned();
  if (accept) OnDragOver(this, source, x, y, state, accept);
}

void TControl::DragDrop(TObject* source, int x, int y) { OnDragDrop(this, source, x, y); }

// While a drag runs, the mouse drives it: moves follow the pointer (once past the
// threshold), the left button's release drops, other buttons are ignored.
static void DragMouse(uint32_t msg) {
  if (msg == WM_MOUSEMOVE) {
    TPoint at = PointerOnScreen();
    if (!GDrag.Active && (std::abs(at.X - GDrag.Start.X) >= GDrag.Threshold ||
                          std::abs(at.Y - GDrag.Start.Y) >= GDrag.Threshold))
      GDrag.Active = true;
    if (GDrag.Active) DragMoveTo(GMouseControl);
  } else if (msg == WM_LBUTTONUP) {
    GDrag.Source->EndDrag(true);
  }
}

// ---- mouse
// ---------------------------------------------------------------------------------------

void DeliverMouse(THandle window, uint32_t msg, TShiftState shift, int x, int y) {
  TWinControl* control = FindControl(window);
  if (!control) return;
  GPointerWindow = window;
  GPointerAt = {x, y};
  SetMouseControl(ControlAtPoint(*control, {x, y}));
  if (FindControl(window) != control) return;  // an enter or leave handler destroyed it
  if (GDrag.Source) {
    DragMouse(msg);
    return;
  }
  if (msg == WM_LBUTTONDOWN) shift.Include(ssLeft);
  if (msg == WM_RBUTTONDOWN) shift.Include(ssRight);
  if (msg == WM_MBUTTONDOWN) shift.Include(ssMiddle);
  // The capture holder gets the message, in its own coordinates, wherever the pointer is.
  TControl* capture = GetCaptureControl();
  if (capture && capture != control && !capture->IsDestroying()) {
    if (!capture->Parent() && !capture->IsWindowed()) {
      SetCaptureControl(nullptr);  // a graphic control taken off its window
      return;
    }
    TPoint p = capture->ScreenToClient(PointerOnScreen());
    capture->Perform(msg, ShiftToKeys(shift), MakeLong(p.X, p.Y));
    return;
  }
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN) {
    TWinControl* child = control;
    while (TWinControl* parent = child->Parent()) {
      TPoint pt = control->ClientToParent({x, y}, parent);
      TRect f = parent->FrameInsets();
      pt.X -= f.Left;
      pt.Y -= f.Top;
      parent->Perform(WM_PARENTNOTIFY, MakeLong(static_cast<int>(msg), 0), MakeLong(pt.X, pt.Y));
      if (FindControl(window) != control) return;  // a handler destroyed the window
      child = parent;
    }
  }
  control->Perform(msg, ShiftToKeys(shift), MakeLong(x, y));
}

std::string HintAt(TWinControl& window, TPoint p) {
  TControl* c = ControlAtPoint(window, p);
  return c && c->ShowHint() ? c->Hint() : std::string();
}

// ---- keyboard and focus
// --------------------------------------------------------------------------

bool DeliverKey(THandle window, uint32_t msg, int key, TShiftState shift) {
  TWinControl* control = FindControl(window);
  if (!control) return false;
  if (control->IsDesigning()) {
    // A designed control never acts on keys; its form's designer sees them (to move,
    // resize and delete what is selected).
    TCustomForm* form = GetParentForm(control);
    if (form && form->Designer()) {
      TMessage m{msg, key, static_cast<intptr_t>(shift.Mask()), 0, nullptr};
      form->Designer()->IsDesignMsg(control, m);
    }
    return true;
  }
  if (msg == WM_KEYDOWN && key == VK_ESCAPE && GDrag.Source) {
    GDrag.Source->EndDrag(false);
    return true;
  }
  intptr_t handled = control->Perform(msg, key, static_cast<intptr_t>(shift.Mask()));
  if (FindControl(window) != control) return true;  // a handler destroyed it
  if (handled || msg != WM_KEYDOWN) return handled != 0;
  if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
  if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return false;
  intptr_t wants = control->Perform(WM_GETDLGCODE, key);
  if (wants & DLGC_WANTALLKEYS) return false;
  if (key == VK_TAB && (wants & DLGC_WANTTAB)) return false;
  TCustomForm* form = GetParentForm(control);
  if (!form) return false;
  return form->Perform(CM_DIALOGKEY, key, static_cast<intptr_t>(shift.Mask())) != 0;
}

void DeliverFocus(THandle window) {
  TWinControl* control = FindControl(window);
  if (!control || control->Focused() || control->IsDesigning()) return;
  TCustomForm* form = GetParentForm(control);
  if (!form || !control->CanFocus()) return;
  form->FocusControl(control == form ? nullptr : control);
}

void PaintWindow(THandle window, TCanvasDevice& device) {
  if (TWinControl* c = FindControl(window)) c->PaintHandler(device);
}

}  // namespace framework
