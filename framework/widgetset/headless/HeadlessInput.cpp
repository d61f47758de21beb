#include "framework/widgetset/headless/HeadlessInput.h"

#include "framework/controls/Input.h"

namespace framework::headless {

static void Send(TControl& control, uint32_t msg, int x, int y, TShiftState shift) {
  TControl* c = &control;
  while (!dynamic_cast<TWinControl*>(c)) {
    if (!c->Parent()) return;  // a graphic control without a parent gets no input
    x += c->Left();
    y += c->Top();
    c = c->Parent();
  }
  auto* w = static_cast<TWinControl*>(c);
  DeliverMouse(w->Handle(), msg, shift, x, y);
}

void MouseMove(TControl& control, int x, int y, TShiftState shift) {
  Send(control, WM_MOUSEMOVE, x, y, shift);
}

void MouseDown(TControl& control, int x, int y, TMouseButton button, TShiftState shift) {
  Send(control, button == mbLeft ? WM_LBUTTONDOWN : button == mbRight ? WM_RBUTTONDOWN : WM_MBUTTONDOWN,
       x, y, shift);
}

void MouseUp(TControl& control, int x, int y, TMouseButton button, TShiftState shift) {
  Send(control, button == mbLeft ? WM_LBUTTONUP : button == mbRight ? WM_RBUTTONUP : WM_MBUTTONUP,
       x, y, shift);
}

void Click(TControl& control, int x, int y) {
  MouseDown(control, x, y);
  MouseUp(control, x, y);
}

}  // namespace framework::headless
