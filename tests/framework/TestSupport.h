// Shared fixture and test classes of the framework tests: a fresh headless widgetset, a
// test clock and a fixed random seed per test; a form with published fields and handlers;
// a panel with properties of every kind and a custom list property.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/base/Random.h"
#include "framework/base/Rtti.h"
#include "framework/classes/Filer.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdRegister.h"
#include "framework/controls/StdCtrls.h"
#include "framework/messages/Clock.h"
#include "tests/fakes/TestClock.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"

namespace fwtest {

enum TTestMode { tmA, tmB, tmC };
enum TTestFlag { tfOne, tfTwo, tfThree };
using TTestFlags = framework::TSet<TTestFlag>;

}  // namespace fwtest

FW_DECLARE_ENUM(fwtest::TTestMode)
FW_DECLARE_ENUM(fwtest::TTestFlag)

namespace fwtest {

// A panel with one published property of each kind, setters that count their calls, and a
// custom property "Entries" holding (string, integer) pairs.
class TTestWidget : public framework::TCustomPanel {
  FW_CLASS(TTestWidget, framework::TCustomPanel)
 public:
  explicit TTestWidget(framework::TComponent* owner) : TCustomPanel(owner) {}
  int Count() const { return FCount; }
  void SetCount(int v) {
    ++SetterCalls;
    FCount = v;
  }
  TTestMode Mode() const { return FMode; }
  void SetMode(TTestMode v) { FMode = v; }
  TTestFlags Flags() const { return FFlags; }
  void SetFlags(TTestFlags v) { FFlags = v; }
  double Ratio() const { return FRatio; }
  void SetRatio(double v) { FRatio = v; }
  const std::string& Label() const { return FLabel; }
  void SetLabel(const std::string& v) { FLabel = v; }
  framework::TColor Tint() const { return FTint; }
  void SetTint(framework::TColor v) { FTint = v; }
  bool Armed() const { return FArmed; }
  void SetArmed(bool v) { FArmed = v; }
  void DefineProperties(framework::TFiler& filer) override;

  std::vector<std::pair<std::string, int>> Entries;
  framework::TNotifyEvent OnPing;
  int SetterCalls = 0;
  int LoadedCalls = 0;
  void Loaded() override {
    TCustomPanel::Loaded();
    ++LoadedCalls;
  }

 private:
  int FCount = 3;
  TTestMode FMode = tmB;
  TTestFlags FFlags;
  double FRatio = -1.0;
  std::string FLabel;
  framework::TColor FTint = framework::clSilver;
  bool FArmed = false;
};

class TTestForm : public framework::TForm {
  FW_CLASS(TTestForm, framework::TForm)
 public:
  explicit TTestForm(framework::TComponent* owner) : TForm(owner) {}
  void Button1Click(framework::TObject*) { ++Clicks; }
  void FormCreate(framework::TObject*) { ++Creates; }
  void WidgetPing(framework::TObject*) { ++Pings; }
  framework::TPanel* Panel1 = nullptr;
  framework::TButton* Button1 = nullptr;
  int Clicks = 0, Creates = 0, Pings = 0;
};

class FrameworkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    framework::SetWidgetset(std::make_unique<framework::THeadlessWidgetSet>());
    framework::SetClock(&TestClock);
    framework::Application().Reset();
    framework::RegisterStandardClasses();
    framework::RegisterClasses({&TTestWidget::StaticClass(), &TTestForm::StaticClass()});
    framework::SetRandomTestSeed(1234);
  }
  void TearDown() override {
    framework::Application().Queue().Clear();
    framework::SetClock(nullptr);
    framework::SetRandomTestSeed(std::nullopt);
  }
  framework::THeadlessWidgetSet& WS() { return *framework::Headless(); }
  framework::TTestClock TestClock;
};

}  // namespace fwtest
