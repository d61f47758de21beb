// multipane_demo_app [--grab] [FORMFILE]: shows the multi-pane demo window (pages switched
// by buttons) on the Qt widgetset; with --grab, the grab form as the designer shows it.
#include <exception>
#include <iostream>
#include <memory>
#include <string>

#include "examples/multipane/DemoForms.h"
#include "framework/widgetset/qt/QtWidgetSet.h"

int main(int argc, char** argv) {
  framework::SetWidgetset(std::make_unique<framework::TQtWidgetSet>(argc, argv));
  bool grab = argc > 1 && std::string(argv[1]) == "--grab";
  std::string file = argc > (grab ? 2 : 1) ? argv[grab ? 2 : 1] : "";
  try {
    std::unique_ptr<multipane_demo::TMultiPaneDemoForm> demo;
    std::unique_ptr<multipane_demo::TGrabForm> designed;
    framework::TForm* form;
    if (grab) {
      designed = multipane_demo::OpenGrabForm(file);
      form = designed->Form.get();
    } else {
      demo = std::make_unique<multipane_demo::TMultiPaneDemoForm>(file);
      form = demo.get();
    }
    form->OnClose = framework::TCloseEvent([](framework::TObject*, framework::TCloseAction&) {
      framework::Application().Terminate();
    });
    form->Show();
    framework::Application().Run();
  } catch (const std::exception& e) {
    std::cerr << "multipane_demo_app: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
