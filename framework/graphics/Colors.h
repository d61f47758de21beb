// Colours: TColor holds blue-green-red in its low three bytes (RGB(r, g, b) = r | g << 8 |
// b << 16), or a system colour (high bit set, low byte the system colour index) that the
// widgetset's palette resolves. Colours have identifiers for streaming ("clBtnFace").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/base/Rtti.h"

namespace framework {

enum TColor : int32_t {
  clBlack = 0x000000,
  clMaroon = 0x000080,
  clGreen = 0x008000,
  clOlive = 0x008080,
  clNavy = 0x800000,
  clPurple = 0x800080,
  clTeal = 0x808000,
  clGray = 0x808080,
  clSilver = 0xC0C0C0,
  clRed = 0x0000FF,
  clLime = 0x00FF00,
  clYellow = 0x00FFFF,
  clBlue = 0xFF0000,
  clFuchsia = 0xFF00FF,
  clAqua = 0xFFFF00,
  clWhite = 0xFFFFFF,
  clNone = 0x1FFFFFFF,
  clDefault = 0x20000000,
  // System colours.
  clScrollBar = static_cast<int32_t>(0x80000000),
  clBackground = static_cast<int32_t>(0x80000001),
  clActiveCaption = static_cast<int32_t>(0x80000002),
  clInactiveCaption = static_cast<int32_t>(0x80000003),
  clMenu = static_cast<int32_t>(0x80000004),
  clWindow = static_cast<int32_t>(0x80000005),
  clWindowFrame = static_cast<int32_t>(0x80000006),
  clMenuText = static_cast<int32_t>(0x80000007),
  clWindowText = static_cast<int32_t>(0x80000008),
  clCaptionText = static_cast<int32_t>(0x80000009),
  clActiveBorder = static_cast<int32_t>(0x8000000A),
  clInactiveBorder = static_cast<int32_t>(0x8000000B),
  clAppWorkSpace = static_cast<int32_t>(0x8000000C),
  clHighlight = static_cast<int32_t>(0x8000000D),
  clHighlightText = static_cast<int32_t>(0x8000000E),
  clBtnFace = static_cast<int32_t>(0x8000000F),
  clBtnShadow = static_cast<int32_t>(0x80000010),
  clGrayText = static_cast<int32_t>(0x80000011),
  clBtnText = static_cast<int32_t>(0x80000012),
  clInactiveCaptionText = static_cast<int32_t>(0x80000013),
  clBtnHighlight = static_cast<int32_t>(0x80000014),
  cl3DDkShadow = static_cast<int32_t>(0x80000015),
  cl3DLight = static_cast<int32_t>(0x80000016),
  clInfoText = static_cast<int32_t>(0x80000017),
  clInfoBk = static_cast<int32_t>(0x80000018),
};

constexpr TColor RGB(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(int32_t c) { return c & 0xFF; }
constexpr int GetGValue(int32_t c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(int32_t c) { return (c >> 16) & 0xFF; }

// The RGB value of a colour, system colours resolved by the classic palette.
TColor ColorToRGB(TColor color);
bool ColorToIdent(int64_t color, std::string& ident);
bool IdentToColor(std::string_view ident, int64_t& color);
std::string ColorToString(TColor color);  // identifier or "$00BBGGRR"

}  // namespace framework

template <>
struct framework::TTypeOf<framework::TColor> {
  static const ::framework::TTypeInfo& Get();
};
