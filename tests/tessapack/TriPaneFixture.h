// A form on the headless widgetset with one tri-pane of 300 x 200 pixels at (10, 10), at
// run time or (with a test designer) at design time.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "framework/base/Random.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "tests/fakes/TestDesigner.h"
#include "framework/widgetset/headless/HeadlessInput.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"
#include "tessapack/Package.h"
#include "tessapack/TriPane.h"

namespace tessapack::test {

class TriPaneFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    framework::RegisterStandardClasses();
    tessapack::Register();
    framework::SetRandomTestSeed(std::nullopt);
    framework::Application().Reset();
  }
  void TearDown() override {
    if (Designer) Form->SetDesigner(nullptr);
    Form.reset();
    Designer.reset();
    framework::SetRandomTestSeed(std::nullopt);
    framework::Application().Reset();
  }

  // Makes the form and the tri-pane; designing attaches a test designer first.
  TTriPane* Make(TMenuAlignment edge = mnRight, bool designing = false) {
    Form = std::make_unique<framework::TForm>(nullptr);
    Form->SetName("Form1");
    Form->SetBounds(0, 0, 400, 300);
    if (designing) Designer = std::make_unique<framework::TTestDesigner>(Form.get());
    Tri = new TTriPane(Form.get());
    Tri->SetName("TriPane1");
    Tri->SetParent(Form.get());
    Tri->SetBounds(10, 10, 300, 200);
    Tri->FSetAlign(edge);
    Form->Show();
    return Tri;
  }

  std::unique_ptr<framework::TForm> Form;
  std::unique_ptr<framework::TTestDesigner> Designer;
  TTriPane* Tri = nullptr;
};

inline framework::TRect BoundsOf(const framework::TControl* c) { return c->BoundsRect(); }

}  // namespace tessapack::test
