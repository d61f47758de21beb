// menubar_demo_app: shows the menu bar demo window on the Qt widgetset.
#include <exception>
#include <iostream>
#include <memory>

#include "examples/menubar/DemoForm.h"
#include "framework/widgetset/qt/QtWidgetSet.h"

int main(int argc, char **argv) {
  framework::SetWidgetset(std::make_unique<framework::TQtWidgetSet>(argc, argv));
  try {
    menubar_demo::TDemoForm form;
    form.OnClose = framework::TCloseEvent([](framework::TObject *, framework::TCloseAction &) {
      framework::Application().Terminate();
    });
    form.Show();
    framework::Application().Run();
  } catch (const std::exception &e) {
    std::cerr << "menubar_demo_app: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
