// A form on the headless widgetset with one multi-pane of 300 x 200 pixels at (10, 10),
// at run time or (with a test designer) at design time, and helpers that read which panes
// hold native windows.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "framework/base/Random.h"
#include "framework/classes/Filer.h"
#include "framework/controls/Buttons.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "tests/fakes/TestDesigner.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"
#include "tessapack/MultiPane.h"
#include "tessapack/Package.h"

namespace tessapack::test {

class MultiPaneFixture : public ::testing::Test {
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

  // Makes the form and a multi-pane with `panes` panes in all (the placeholder is the
  // first); designing attaches a test designer first. The form is shown, not yet painted.
  TMultiPane* Make(int panes = 1, bool designing = false) {
    Form = std::make_unique<framework::TForm>(nullptr);
    Form->SetName("Form1");
    Form->SetBounds(0, 0, 400, 300);
    if (designing) Designer = std::make_unique<framework::TTestDesigner>(Form.get());
    Mp = new TMultiPane(Form.get());
    Mp->SetName("MultiPane1");
    Mp->SetParent(Form.get());
    Mp->SetBounds(10, 10, 300, 200);
    while (Mp->GetCount() < panes) Mp->AddPane();
    Form->Show();
    return Mp;
  }
  // Lets the headless widgetset paint: the multi-pane's first paint happens here.
  static void Paint() { framework::Application().ProcessMessages(); }

  // The indices of the panes that hold a native window.
  static std::set<int> Windowed(const TMultiPane* mp) {
    std::set<int> out;
    for (int i = 0; i < mp->GetCount(); ++i)
      if (mp->GetPane(i)->HandleAllocated()) out.insert(i);
    return out;
  }
  // The pane lying in front: the last windowed child of the multi-pane.
  static TSinglePane* Front(const TMultiPane* mp) {
    for (int i = mp->ControlCount() - 1; i >= 0; --i)
      if (auto* p = dynamic_cast<TSinglePane*>(mp->Controls(i))) return p;
    return nullptr;
  }

  std::unique_ptr<framework::TForm> Form;
  std::unique_ptr<framework::TTestDesigner> Designer;
  TMultiPane* Mp = nullptr;
};

}  // namespace tessapack::test
