// A form on the headless widgetset with one menu bar at (0, 0), at run time or (with a test
// designer) at design time, its buttons captioned "B0", "B1", ...; animation is off unless a
// test turns it on. The bar's clicks are recorded as "bar:<slot>", the buttons' as
// "button:<slot>", in the order they fire.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/controls/Forms.h"
#include "framework/controls/StdRegister.h"
#include "tessapack/MenuBar.h"
#include "tessapack/Package.h"
#include "tests/fakes/TestDesigner.h"

namespace tessapack::test {

class MenuBarFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    framework::RegisterStandardClasses();
    tessapack::Register();
    framework::Application().Reset();
    framework::Application().SetAnimate(false);
  }
  void TearDown() override {
    if (Designer) Form->SetDesigner(nullptr);
    Form.reset();
    Designer.reset();
    framework::Application().Reset();
  }

  // The form and a bar of width x height with `count` buttons, shown, messages handled.
  TMenuBar* Make(int count, int width = 120, int height = 300, bool designing = false) {
    Form = std::make_unique<framework::TForm>(nullptr);
    Form->SetName("Form1");
    Form->SetBounds(0, 0, 640, 480);
    if (designing) Designer = std::make_unique<framework::TTestDesigner>(Form.get());
    Bar = new TMenuBar(Form.get());
    Bar->SetName("MenuBar1");
    Bar->SetParent(Form.get());
    Bar->SetBounds(0, 0, width, height);
    Bar->OnClick = TMenuBarClickEvent([this](framework::TObject*, int slot) { BarClicked(slot); });
    for (int i = 0; i < count; ++i) AddButton();
    Events.clear();
    Form->Show();
    framework::Application().ProcessMessages();
    return Bar;
  }
  TMenuButton* AddButton() {
    TMenuButton* b = Bar->CreateButton();
    b->SetCaption("B" + std::to_string(Bar->GetCount() - 1));
    b->OnClick =
        framework::TNotifyEvent([this](framework::TObject* sender) { ButtonClicked(sender); });
    return b;
  }
  void BarClicked(int slot) { Events.push_back("bar:" + std::to_string(slot)); }
  void ButtonClicked(framework::TObject* sender) {
    Events.push_back("button:" + std::to_string(static_cast<TMenuButton*>(sender)->Index()));
  }

  // The Up flags as a string, "1" up, "0" down, in slot order.
  std::string Stacks() const {
    std::string s;
    for (int i = 0; i < Bar->GetCount(); ++i) s += Bar->GetButton(i)->Up() ? '1' : '0';
    return s;
  }
  std::vector<int> Tops() const {
    std::vector<int> tops;
    for (int i = 0; i < Bar->GetCount(); ++i) tops.push_back(Bar->GetButton(i)->Top());
    return tops;
  }
  // The slots whose panel is shown (non-zero width).
  std::vector<int> ShownPanels() const {
    std::vector<int> shown;
    for (int i = 0; i < Bar->GetCount(); ++i)
      if (Bar->GetPanel(i)->Width() > 0) shown.push_back(i);
    return shown;
  }
  // The captions of the buttons shown in compact mode, top to bottom.
  std::vector<std::string> CompactRows() const {
    std::vector<std::pair<int, std::string>> rows;
    for (int i = 0; i < Bar->GetCount(); ++i)
      if (Bar->GetButton(i)->Visible())
        rows.emplace_back(Bar->GetButton(i)->Top(), Bar->GetButton(i)->FullCaption());
    std::ranges::sort(rows);
    std::vector<std::string> out;
    for (auto& r : rows) out.push_back(r.second);
    return out;
  }

  std::unique_ptr<framework::TForm> Form;
  std::unique_ptr<framework::TTestDesigner> Designer;
  TMenuBar* Bar = nullptr;
  std::vector<std::string> Events;
};

}  // namespace tessapack::test
