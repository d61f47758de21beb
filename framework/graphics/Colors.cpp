#include "framework/graphics/Colors.h"

#include <cstdio>

namespace framework {

namespace {
struct TColorIdent {
  TColor Value;
  const char* Name;
};
const TColorIdent kColors[] = {
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clNone, "clNone"}, {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"}, {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"}, {clWindow, "clWindow"}, {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"}, {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
};
// The classic palette of the system colours, index = low byte of the system colour.
const int32_t kSystemRGB[] = {
    0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
    0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000, 0xE1FFFF,
};
}  // namespace

TColor ColorToRGB(TColor color) {
  if (color < 0) {
    unsigned index = static_cast<unsigned>(color) & 0xFF;
    if (index < std::size(kSystemRGB)) return static_cast<TColor>(kSystemRGB[index]);
    return clBlack;
  }
  return static_cast<TColor>(color & 0xFFFFFF);
}

bool ColorToIdent(int64_t color, std::string& ident) {
  for (const auto& c : kColors)
    if (c.Value == color) {
      ident = c.Name;
      return true;
    }
  return false;
}

bool IdentToColor(std::string_view ident, int64_t& color) {
  for (const auto& c : kColors)
    if (SameText(c.Name, ident)) {
      color = c.Value;
      return true;
    }
  return false;
}

std::string ColorToString(TColor color) {
  std::string s;
  if (ColorToIdent(color, s)) return s;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(color));
  return buf;
}

}  // namespace framework

const framework::TTypeInfo& framework::TTypeOf<framework::TColor>::Get() {
  static const TTypeInfo info = [] {
    TTypeInfo t{"TColor", tkInteger};
    t.IntToIdent = [](int64_t v, std::string& s) { return ColorToIdent(v, s); };
    t.IdentToInt = [](std::string_view s, int64_t& v) { return IdentToColor(s, v); };
    return t;
  }();
  return info;
}
