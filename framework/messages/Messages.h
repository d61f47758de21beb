// Messages: the message record and the message numbers. Numbers keep the values of the
// windowing system the components were written for, so code that names them reads the same.
#pragma once

#include <cstdint>

namespace framework {

class TComponent;

struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
  // A component carried by the message (where other code would cast an object to a
  // parameter).
  TComponent* Obj = nullptr;
  // Set on a posted message whose Obj was destroyed (or was being destroyed when the message
  // was posted) before the message was handled. The message is still delivered so that its
  // receiver can forget what it kept about that component, but Obj is then only an identity:
  // compare it with the pointers the receiver holds, never dereference or cast it.
  bool ObjFreed = false;
};

inline constexpr uint32_t WM_NULL = 0x0000;
inline constexpr uint32_t WM_CREATE = 0x0001;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_MOVE = 0x0003;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_SETFOCUS = 0x0007;
inline constexpr uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr uint32_t WM_ENABLE = 0x000A;
inline constexpr uint32_t WM_SETREDRAW = 0x000B;
inline constexpr uint32_t WM_SETTEXT = 0x000C;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_ERASEBKGND = 0x0014;
inline constexpr uint32_t WM_SHOWWINDOW = 0x0018;
inline constexpr uint32_t WM_NCHITTEST = 0x0084;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_MOUSEFIRST = 0x0200;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MOUSELAST = 0x0209;
inline constexpr uint32_t WM_PARENTNOTIFY = 0x0210;
inline constexpr uint32_t WM_DROPFILES = 0x0233;
inline constexpr uint32_t WM_USER = 0x0400;

// Framework notifications (component messages).
inline constexpr uint32_t CM_BASE = 0xB000;
inline constexpr uint32_t CM_TEXTCHANGED = CM_BASE + 18;
inline constexpr uint32_t CM_MOUSEENTER = CM_BASE + 19;
inline constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr uint32_t CM_DESIGNHITTEST = CM_BASE + 28;
// WParam unused, Obj = the control, LParam = 1 inserted / 0 removed; sent after the
// parent's control list has changed.
inline constexpr uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 44;

// Mouse key flags in the WParam of mouse messages.
inline constexpr intptr_t MK_LBUTTON = 0x0001;
inline constexpr intptr_t MK_RBUTTON = 0x0002;
inline constexpr intptr_t MK_SHIFT = 0x0004;
inline constexpr intptr_t MK_CONTROL = 0x0008;
inline constexpr intptr_t MK_MBUTTON = 0x0010;

inline constexpr intptr_t SIZE_RESTORED = 0;

// PeekMessage flags.
inline constexpr unsigned PM_NOREMOVE = 0;
inline constexpr unsigned PM_REMOVE = 1;

inline constexpr intptr_t MakeLong(int lo, int hi) {
  return static_cast<intptr_t>(static_cast<uint32_t>((static_cast<uint32_t>(hi) << 16) |
                                                     (static_cast<uint32_t>(lo) & 0xFFFF)));
}
inline constexpr int LoWord(intptr_t v) { return static_cast<int>(v & 0xFFFF); }
inline constexpr int HiWord(intptr_t v) { return static_cast<int>((v >> 16) & 0xFFFF); }
// Signed coordinates packed in an LParam.
inline constexpr int GetXParam(intptr_t v) { return static_cast<int16_t>(v & 0xFFFF); }
inline constexpr int GetYParam(intptr_t v) { return static_cast<int16_t>((v >> 16) & 0xFFFF); }

}  // namespace framework
