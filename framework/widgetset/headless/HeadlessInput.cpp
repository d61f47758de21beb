#include "framework/widgetset/headless/HeadlessInput.h"

#include "framework/controls/Forms.h"
#include "framework/controls/Input.h"
#include "framework/messages/DestroyGuard.h"

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

void MouseLeave(TWinControl& window) { DeliverMouseLeave(window.Handle()); }

static TWinControl* FocusWindow() {
  if (TWinControl* c = Screen().ActiveControl()) return c;
  return Screen().ActiveForm();
}

bool PressKey(uint16_t key, TShiftState shift) {
  TWinControl* c = FocusWindow();
  if (!c) return false;
  THandle h = c->Handle();
  bool used = DeliverKey(h, WM_KEYDOWN, key, shift);
  const bool letter = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9') || key == VK_SPACE;
  if (!used && letter && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
    char ch =
        static_cast<char>(key >= 'A' && key <= 'Z' && !shift.Contains(ssShift) ? key + 32 : key);
    used = DeliverKey(h, WM_CHAR, static_cast<unsigned char>(ch), shift);
  }
  if (FindControl(h)) DeliverKey(h, WM_KEYUP, key, shift);
  return used;
}

void Type(const std::string& text) {
  for (char ch : text)
    if (TWinControl* c = FocusWindow())
      DeliverKey(c->Handle(), WM_CHAR, static_cast<unsigned char>(ch), {});
}

void Click(TControl& control, int x, int y) {
  TDestroyGuard guard(&control);
  MouseDown(control, x, y);
  if (guard.Alive()) MouseUp(control, x, y);  // the press may have freed it
}

}  // namespace framework::headless
