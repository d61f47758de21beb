#include "framework/widgetset/WidgetSet.h"

#include "framework/graphics/TextMetrics.h"

namespace framework {

TModalResult ModalResultOf(TMsgDlgBtn button) {
  static const TModalResult results[] = {mrYes, mrNo,      mrOk,       mrCancel, mrAbort, mrRetry,
                                         mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
  return results[button];
}

// The fixed metric.
int TWidgetSet::TextWidth(const TFontData& font, const std::string& text) {
  return TTextMetrics().TextWidth(font, text);
}

int TWidgetSet::TextHeight(const TFontData& font, const std::string& text) {
  return TTextMetrics().TextHeight(font, text);
}

TModalResult TWidgetSet::MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons buttons) {
  for (int b = mbYes; b <= mbYesToAll; ++b)
    if (buttons.Contains(static_cast<TMsgDlgBtn>(b))) return ModalResultOf(static_cast<TMsgDlgBtn>(b));
  return mrOk;
}

namespace {

TWidgetSetFactory& DefaultFactory() {
  static TWidgetSetFactory factory;
  return factory;
}

std::unique_ptr<TWidgetSet> MakeDefault() {
  if (DefaultFactory()) return DefaultFactory()();
  return std::make_unique<TWidgetSet>();
}

// Canvases measure text with the installed widgetset.
class TWidgetSetMetrics : public TTextMetrics {
 public:
  int TextWidth(const TFontData& font, const std::string& text) override {
    return Widgetset().TextWidth(font, text);
  }
  int TextHeight(const TFontData& font, const std::string& text) override {
    return Widgetset().TextHeight(font, text);
  }
};

std::unique_ptr<TWidgetSet>& Current() {
  static std::unique_ptr<TWidgetSet> ws = MakeDefault();
  return ws;
}

const bool kMetricsInstalled = [] {
  static TWidgetSetMetrics metrics;
  SetTextMetrics(&metrics);
  return true;
}();

}  // namespace

TWidgetSet& Widgetset() { return *Current(); }

std::unique_ptr<TWidgetSet> SetWidgetset(std::unique_ptr<TWidgetSet> widgetset) {
  if (!widgetset) widgetset = MakeDefault();
  std::swap(Current(), widgetset);
  return widgetset;
}

bool SetDefaultWidgetset(TWidgetSetFactory factory) {
  DefaultFactory() = std::move(factory);
  return true;
}

}  // namespace framework
