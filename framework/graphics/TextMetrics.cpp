#include "framework/graphics/TextMetrics.h"

#include <cstdlib>
#include <utility>

#include "framework/graphics/Graphics.h"

namespace framework {

int TTextMetrics::TextWidth(const TFontData& font, const std::string& text) {
  return static_cast<int>(text.size()) * ((std::abs(font.Height) + 1) / 2);
}

int TTextMetrics::TextHeight(const TFontData& font, const std::string&) {
  return std::abs(font.Height) + 2;
}

namespace {
TTextMetrics*& Installed() {
  static TTextMetrics* installed = nullptr;
  return installed;
}
}  // namespace

TTextMetrics& TextMetrics() {
  static TTextMetrics fixed;
  return Installed() ? *Installed() : fixed;
}

TTextMetrics* SetTextMetrics(TTextMetrics* metrics) { return std::exchange(Installed(), metrics); }

}  // namespace framework
