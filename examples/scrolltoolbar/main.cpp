// scrolltoolbar_demo_app: shows the scrolling toolbar demo window on the Qt widgetset.
#include <exception>
#include <iostream>
#include <memory>

#include "examples/scrolltoolbar/DemoForm.h"
#include "framework/widgetset/qt/QtWidgetSet.h"

int main(int argc, char **argv) {
  framework::SetWidgetset(std::make_unique<framework::TQtWidgetSet>(argc, argv));
  try {
    scrolltoolbar_demo::TDemoForm form;
    form.OnClose = framework::TCloseEvent([](framework::TObject *, framework::TCloseAction &) {
      framework::Application().Terminate();
    });
    form.Show();
    framework::Application().Run();
  } catch (const std::exception &e) {
    std::cerr << "scrolltoolbar_demo_app: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
