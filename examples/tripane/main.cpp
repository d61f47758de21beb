// tripane_demo_app [FORMFILE]: shows the tri-pane demo window on the Qt widgetset.
#include <exception>
#include <iostream>
#include <memory>

#include "examples/tripane/DemoForm.h"
#include "framework/widgetset/qt/QtWidgetSet.h"

int main(int argc, char** argv) {
  framework::SetWidgetset(std::make_unique<framework::TQtWidgetSet>(argc, argv));
  try {
    tripane_demo::TDemoForm form(argc > 1 ? argv[1] : "");
    // Closing the window, or "Quit" in the menu pane, ends the program.
    form.OnClose = framework::TCloseEvent(
        [](framework::TObject*, framework::TCloseAction&) { framework::Application().Terminate(); });
    if (auto* quit = dynamic_cast<framework::TControl*>(form.FindComponent("btnQuit")))
      quit->OnClick = framework::TNotifyEvent([&form](framework::TObject*) { form.Close(); });
    form.Show();
    framework::Application().Run();
  } catch (const std::exception& e) {
    std::cerr << "tripane_demo_app: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
