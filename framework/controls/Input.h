// Entry points through which a widgetset hands native events to the framework.
#pragma once

#include <cstdint>
#include <string>

#include "framework/controls/Controls.h"

namespace framework {

// A mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN, ...) on a window at a point of its client
// area. A button press first notifies every ancestor with WM_PARENTNOTIFY (the event in
// the low word of WParam, the point in the ancestor's client coordinates in LParam); the
// message then goes to the window, which passes it to a graphic child under the point.
// Every mouse message also updates the control under the pointer (GetMouseControl), which
// sends CM_MOUSELEAVE and CM_MOUSEENTER when it changes. While a control holds the capture
// the message goes to it alone (in its coordinates).
void DeliverMouse(THandle window, uint32_t msg, TShiftState shift, int x, int y);
// The pointer left the window: a control under the pointer inside it is left.
void DeliverMouseLeave(THandle window);
// The deepest visible control at a point of a window's client area (the window itself when
// no child lies there); points outside the window are looked up from its top-level window.
// nullptr when the point lies outside the top-level window.
TControl* ControlAtPoint(TWinControl& window, TPoint p);
// A key on the focused window: WM_KEYDOWN or WM_KEYUP with a virtual-key code (VK_*, 'A'..
// 'Z', '0'..'9'), or WM_CHAR with a typed character; the shift state travels in LParam
// (TShiftState mask). The form sees it first when it has KeyPreview; then the control's
// OnKeyDown / OnKeyPress / OnKeyUp. A key down nobody swallowed and the control does not
// want (WM_GETDLGCODE) is a dialog key: Tab and Shift+Tab move the focus in tab order,
// Enter presses the default button (or the focused button), Escape the cancel button,
// Escape also ends a drag. True when the key was used up: the native widget must not act
// on it.
bool DeliverKey(THandle window, uint32_t msg, int key, TShiftState shift);
// The native side moved the focus to a window (a click on an edit, the window activated).
void DeliverFocus(THandle window);
// The hint to show for the pointer at a point of a window: the Hint of the control under
// it when that control has ShowHint; empty otherwise.
std::string HintAt(TWinControl& window, TPoint p);
// Drops every reference the input services hold to a control that goes away (capture,
// the control under the pointer, a drag it takes part in).
void ForgetInputControl(TControl* control);
// Paints a window on a device (erase background, then WM_PAINT).
void PaintWindow(THandle window, TCanvasDevice& device);

}  // namespace framework
