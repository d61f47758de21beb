#include "tools/designer/ColorProperty.h"

#include "framework/graphics/Colors.h"

namespace tessapack::designer {

using namespace framework;

std::vector<std::string> TColorProperty::GetValues() {
  static const char* const kNames[] = {
      "clBlack",    "clMaroon",     "clGreen",     "clOlive",         "clNavy",
      "clPurple",   "clTeal",       "clGray",      "clSilver",        "clRed",
      "clLime",     "clYellow",     "clBlue",      "clFuchsia",       "clAqua",
      "clWhite",    "clBtnFace",    "clBtnShadow", "clBtnHighlight",  "clBtnText",
      "clWindow",   "clWindowText", "clHighlight", "clHighlightText", "clInfoBk",
      "clInfoText", "clGrayText",   "clNone"};
  std::vector<std::string> values;
  for (const char* name : kNames) {
    int64_t color;
    if (IdentToColor(name, color)) values.emplace_back(name);  // only what the reader knows
  }
  return values;
}

std::string TColorProperty::GetValue() {
  return ColorToString(static_cast<TColor>(GetOrdProp(*GetComponent(), GetName())));
}

void RegisterDesignerEditors() {
  static const bool done =
      (RegisterPropertyEditor<TColorProperty>(TTypeOf<TColor>::Get(), nullptr, ""), true);
  (void)done;
}

}  // namespace tessapack::designer
