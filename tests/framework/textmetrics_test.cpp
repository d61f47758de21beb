// Text is measured by the installed widgetset through graphics' metrics interface, so a
// canvas (and a label sizing itself) follows whichever widgetset is installed.
#include "framework/graphics/TextMetrics.h"

#include "TestSupport.h"

using namespace framework;

namespace fwtest {
namespace {

// A widgetset whose characters are 10 pixels wide and whose lines are 30 high.
class TWideWidgetSet : public THeadlessWidgetSet {
 public:
  int TextWidth(const TFontData&, const std::string& text) override {
    return 10 * static_cast<int>(text.size());
  }
  int TextHeight(const TFontData&, const std::string&) override { return 30; }
};

// Metrics of their own, installed over the widgetset's.
class TFixedSeven : public TTextMetrics {
 public:
  int TextWidth(const TFontData&, const std::string&) override { return 7; }
};

using TextMetricsTest = FrameworkTest;

TEST_F(TextMetricsTest, CanvasesMeasureWithTheInstalledWidgetset) {
  TCanvas canvas;
  canvas.Font().SetHeight(-11);
  EXPECT_EQ(canvas.TextWidth("abc"), 18);  // the headless widgetset's fixed metric
  EXPECT_EQ(canvas.TextHeight("abc"), 13);

  SetWidgetset(std::make_unique<TWideWidgetSet>());
  EXPECT_EQ(canvas.TextWidth("abc"), 30);
  EXPECT_EQ(canvas.TextHeight("abc"), 30);
  TForm form(nullptr);
  auto* label = new TLabel(&form);
  label->SetParent(&form);
  label->SetCaption("Hello");
  EXPECT_EQ(label->Width(), 50);

  TFixedSeven seven;
  TTextMetrics* previous = SetTextMetrics(&seven);
  EXPECT_EQ(canvas.TextWidth("abc"), 7);
  EXPECT_EQ(canvas.TextHeight("abc"), 13);  // the fixed metric where it is not overridden
  SetTextMetrics(previous);
  EXPECT_EQ(canvas.TextWidth("abc"), 30);
}

}  // namespace
}  // namespace fwtest
