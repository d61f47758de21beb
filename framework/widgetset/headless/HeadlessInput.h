// Simulated input for tests on the headless widgetset: mouse events at a point of a
// control's client area, delivered the way a widgetset delivers them (a graphic control's
// events arrive through its parent's window). The control's window is created if needed.
#pragma once

#include <string>

#include "framework/controls/Controls.h"

namespace framework::headless {

void MouseMove(TControl& control, int x, int y, TShiftState shift = {});
void MouseDown(TControl& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
void MouseUp(TControl& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
// The pointer leaves the window (for the desktop or another program).
void MouseLeave(TWinControl& window);
// Keys go to the focused control's window (Screen().ActiveControl, else the active form),
// as a widgetset sends them: KeyDown, then the typed character (for 'A'..'Z' and '0'..'9'
// with no Ctrl or Alt, and Space), then KeyUp. Returns false when no window has the
// focus, else whether the key was used up (a native control would not see it).
bool PressKey(uint16_t key, TShiftState shift = {});
// Types the characters of text into the focused control (WM_CHAR each).
void Type(const std::string& text);
// Press and release: a click.
void Click(TControl& control, int x, int y);

}  // namespace framework::headless
