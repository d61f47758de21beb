// A form on the headless widgetset with one scrolling toolbar at (0, 0), at run time or
// (with a test designer) at design time, filled with named panels P1, P2, ... and helpers
// that read where the controls stand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/controls/ExtCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "tests/fakes/TestDesigner.h"
#include "tessapack/Package.h"
#include "tessapack/ScrollToolBar.h"

namespace tessapack::test {

class ScrollToolBarFixture : public ::testing::Test {
protected:
  void SetUp() override {
    framework::RegisterStandardClasses();
    tessapack::Register();
    framework::Application().Reset();
  }
  void TearDown() override {
    if (Designer)
      Form->SetDesigner(nullptr);
    Form.reset();
    Designer.reset();
    framework::Application().Reset();
  }

  // The form and a toolbar of width x height with `count` panels, messages handled.
  TScrollToolBar *Make(int count, int width, int height = 30, bool designing = false,
                       TScrollOrientation orientation = scHoriz) {
    Form = std::make_unique<framework::TForm>(nullptr);
    Form->SetName("Form1");
    Form->SetBounds(0, 0, 640, 480);
    if (designing)
      Designer = std::make_unique<framework::TTestDesigner>(Form.get());
    Bar = new TScrollToolBar(Form.get());
    Bar->SetName("ToolBar1");
    Bar->SetOrientation(orientation);
    Bar->SetParent(Form.get());
    Bar->SetBounds(0, 0, width, height);
    for (int i = 0; i < count; ++i)
      AddPanel();
    Form->Show();
    framework::Application().ProcessMessages();
    return Bar;
  }
  framework::TPanel *AddPanel() {
    auto *p = new framework::TPanel(Form.get());
    p->SetName("P" + std::to_string(++Made));
    p->SetParent(Bar);
    Panels.push_back(p);
    return p;
  }
  framework::TPanel *Panel(int oneBased) const { return Panels.at(oneBased - 1); }

  // The panels shown (non-zero size) in order of their position along the strip, by name.
  std::vector<std::string> Shown() const {
    std::vector<framework::TControl *> shown;
    for (int i = 0; i < Bar->ControlCount(); ++i) {
      framework::TControl *c = Bar->Controls(i);
      if (!Bar->IsArrow(c) && c->Width() > 0 && c->Height() > 0)
        shown.push_back(c);
    }
    const bool horiz = Bar->Orientation() == scHoriz;
    std::ranges::sort(shown, {}, [&](auto *c) { return horiz ? c->Left() : c->Top(); });
    std::vector<std::string> names;
    for (auto *c : shown)
      names.push_back(c->Name());
    return names;
  }
  // Positions along the strip of the shown panels, in order.
  std::vector<int> Along() const {
    std::vector<int> out;
    for (const std::string &name : Shown()) {
      auto *c = static_cast<framework::TControl *>(Form->FindComponent(name));
      out.push_back(Bar->Orientation() == scHoriz ? c->Left() : c->Top());
    }
    return out;
  }
  static bool Up(const framework::TControl *arrow) { return arrow->Parent() && arrow->Visible(); }

  std::unique_ptr<framework::TForm> Form;
  std::unique_ptr<framework::TTestDesigner> Designer;
  TScrollToolBar *Bar = nullptr;
  std::vector<framework::TPanel *> Panels;
  int Made = 0;
};

} // namespace tessapack::test
