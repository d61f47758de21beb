// codeweft-gui: Codeweft's main window. It opens with the four inputs of the last session
// and runs until the window is closed. "codeweft-gui --version" prints the version instead.
#include <cstdio>
#include <cstring>
#include <memory>

#include "ProjectVersion.h"
#include "codeweft/gui/MainForm.h"
#include "framework/widgetset/qt/QtWidgetSet.h"

int main(int argc, char** argv) {
  using namespace framework;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("codeweft-gui %s\n", CODEWEFT_VERSION);
      return 0;
    }
  SetWidgetset(std::make_unique<TQtWidgetSet>(argc, argv));
  Application().SetTitle("Codeweft");
  auto* form = Application().CreateForm<codeweft::TForm1>();
  Application().Run();
  // The window goes before the widgetset that holds its widgets.
  delete form;
  SetWidgetset(nullptr);
  return 0;
}
