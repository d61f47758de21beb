// Entry points through which a widgetset hands native events to the framework.
#pragma once

#include <cstdint>

#include "framework/controls/Controls.h"

namespace framework {

// A mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN, ...) on a window at a point of its client
// area. A button press first notifies every ancestor with WM_PARENTNOTIFY (the event in
// the low word of WParam, the point in the ancestor's client coordinates in LParam); the
// message then goes to the window, which passes it to a graphic child under the point.
void DeliverMouse(THandle window, uint32_t msg, TShiftState shift, int x, int y);
// Paints a window on a device (erase background, then WM_PAINT).
void PaintWindow(THandle window, TCanvasDevice& device);

}  // namespace framework
