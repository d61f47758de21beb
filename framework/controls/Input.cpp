#include "framework/controls/Input.h"

namespace framework {

static intptr_t ShiftToKeys(TShiftState s) {
  intptr_t k = 0;
  if (s.Contains(ssShift)) k |= MK_SHIFT;
  if (s.Contains(ssCtrl)) k |= MK_CONTROL;
  if (s.Contains(ssLeft)) k |= MK_LBUTTON;
  if (s.Contains(ssRight)) k |= MK_RBUTTON;
  if (s.Contains(ssMiddle)) k |= MK_MBUTTON;
  return k;
}

void DeliverMouse(THandle window, uint32_t msg, TShiftState shift, int x, int y) {
  TWinControl* control = FindControl(window);
  if (!control) return;
  if (msg == WM_LBUTTONDOWN) shift.Include(ssLeft);
  if (msg == WM_RBUTTONDOWN) shift.Include(ssRight);
  if (msg == WM_MBUTTONDOWN) shift.Include(ssMiddle);
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

void PaintWindow(THandle window, TCanvasDevice& device) {
  if (TWinControl* c = FindControl(window)) c->PaintHandler(device);
}

}  // namespace framework
