// How a canvas measures text. Graphics sits below the widgetsets, so it asks this
// interface; the widgetset layer installs the one that asks the installed widgetset. Until
// then (a program that links no widgetset) text is measured by the fixed metric:
// characters are (|height| + 1) / 2 pixels wide, lines |height| + 2 pixels high.
#pragma once

#include <string>

namespace framework {

struct TFontData;

class TTextMetrics {
 public:
  virtual ~TTextMetrics() = default;
  virtual int TextWidth(const TFontData& font, const std::string& text);
  virtual int TextHeight(const TFontData& font, const std::string& text);
};

// The metrics in use (never null).
TTextMetrics& TextMetrics();
// Installs metrics (not owned) and returns the ones installed before; nullptr goes back to
// the fixed metric.
TTextMetrics* SetTextMetrics(TTextMetrics* metrics);

}  // namespace framework
