// Simulated input for tests on the headless widgetset: mouse events at a point of a
// control's client area, delivered the way a widgetset delivers them (a graphic control's
// events arrive through its parent's window). The control's window is created if needed.
#pragma once

#include "framework/controls/Controls.h"

namespace framework::headless {

void MouseMove(TControl& control, int x, int y, TShiftState shift = {});
void MouseDown(TControl& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
void MouseUp(TControl& control, int x, int y, TMouseButton button = mbLeft, TShiftState shift = {});
// Press and release: a click.
void Click(TControl& control, int x, int y);

}  // namespace framework::headless
