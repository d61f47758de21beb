// The designer on the headless widgetset: a fresh designer with a blank, shown form, the
// standard components on the palette, and helpers that press the mouse on a control at a
// point of the form.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "framework/controls/Forms.h"
#include "framework/controls/Input.h"
#include "framework/controls/StdRegister.h"
#include "framework/widgetset/headless/HeadlessInput.h"
#include "framework/widgetset/headless/HeadlessWidgetSet.h"
#include "tools/designer/ColorProperty.h"
#include "tools/designer/FormDesigner.h"

namespace tessapack::designer::test {

class DesignerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    framework::SetWidgetset(std::make_unique<framework::THeadlessWidgetSet>());
    framework::Application().Reset();
    framework::RegisterStandardComponents();
    RegisterDesignerEditors();
    Designer = std::make_unique<TFormDesigner>();
    Designer->OnChange = [this] { ++Changes; };
    Designer->NewForm();
    Form()->Show();
  }
  void TearDown() override {
    Designer.reset();
    framework::Application().Queue().Clear();
  }
  framework::TCustomForm* Form() const { return Designer->Form(); }
  // Chooses a class on the palette and clicks at a point of a control (the form: client).
  framework::TComponent* Place(const char* className, framework::TControl& at, int x, int y) {
    Designer->SetPlaceClass(framework::GetClass(className));
    framework::headless::Click(at, x, y);
    return Designer->Selection();
  }
  // Presses the left button on a control and moves the pointer by (dx, dy) over the form
  // (the pressed control holds the capture), then releases.
  void Drag(framework::TControl& control, int x, int y, int dx, int dy) {
    namespace h = framework::headless;
    framework::TPoint p = Form()->ScreenToClient(control.ClientToScreen({x, y}));
    h::MouseDown(control, x, y);
    h::MouseMove(*Form(), p.X + dx / 2, p.Y + dy / 2, {framework::ssLeft});
    h::MouseMove(*Form(), p.X + dx, p.Y + dy, {framework::ssLeft});
    h::MouseUp(*Form(), p.X + dx, p.Y + dy);
  }

  // A key on the designed form's window, as the widgetset hands it over (a designed form
  // never takes the focus of the application).
  bool Key(uint16_t key, framework::TShiftState shift = {}) {
    return framework::DeliverKey(Form()->Handle(), framework::WM_KEYDOWN, key, shift);
  }

  std::unique_ptr<TFormDesigner> Designer;
  int Changes = 0;
};

}  // namespace tessapack::designer::test
