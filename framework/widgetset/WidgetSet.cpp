#include "framework/widgetset/WidgetSet.h"

#include <cstdlib>

#include "framework/widgetset/headless/HeadlessWidgetSet.h"

namespace framework {

TModalResult ModalResultOf(TMsgDlgBtn button) {
  static const TModalResult results[] = {mrYes, mrNo,      mrOk,       mrCancel, mrAbort, mrRetry,
                                         mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
  return results[button];
}

int TWidgetSet::TextWidth(const TFontData& font, const std::string& text) {
  return static_cast<int>(text.size()) * ((std::abs(font.Height) + 1) / 2);
}

int TWidgetSet::TextHeight(const TFontData& font, const std::string&) {
  return std::abs(font.Height) + 2;
}

TModalResult TWidgetSet::MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons buttons) {
  for (int b = mbYes; b <= mbYesToAll; ++b)
    if (buttons.Contains(static_cast<TMsgDlgBtn>(b))) return ModalResultOf(static_cast<TMsgDlgBtn>(b));
  return mrOk;
}

namespace {
std::unique_ptr<TWidgetSet>& Current() {
  static std::unique_ptr<TWidgetSet> ws = std::make_unique<THeadlessWidgetSet>();
  return ws;
}
}  // namespace

TWidgetSet& Widgetset() { return *Current(); }

std::unique_ptr<TWidgetSet> SetWidgetset(std::unique_ptr<TWidgetSet> widgetset) {
  if (!widgetset) widgetset = std::make_unique<THeadlessWidgetSet>();
  std::swap(Current(), widgetset);
  return widgetset;
}

}  // namespace framework
