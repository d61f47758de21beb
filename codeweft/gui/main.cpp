// codeweft-gui: Codeweft's main window. It opens with the four inputs of the last session
// and runs until the window is closed.
#include <memory>

#include "codeweft/gui/MainForm.h"
#include "framework/widgetset/qt/QtWidgetSet.h"

int main(int argc, char** argv) {
  using namespace framework;
  SetWidgetset(std::make_unique<TQtWidgetSet>(argc, argv));
  Application().SetTitle("Codeweft");
  auto* form = Application().CreateForm<codeweft::TForm1>();
  Application().Run();
  // The window goes before the widgetset that holds its widgets.
  delete form;
  SetWidgetset(nullptr);
  return 0;
}
