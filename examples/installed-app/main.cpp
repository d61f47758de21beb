// installed_app FORMFILE [--once]: an application built against the installed package
// (find_package(Tessapack) or pkg-config). It reads a form file that names the package's
// components (AppForm.form, laid out in the designer), creates the form of the class the
// file names (its own TAppForm, whose handlers the reader binds), shows it and prints what
// it holds. With --once it exits when the form has been shown; otherwise it runs until the
// window is closed.
#include <cstring>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "AppForm.h"
#include "framework/base/Rtti.h"
#include "framework/classes/Filer.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdRegister.h"
#include "tessapack/Package.h"
#ifdef INSTALLED_APP_QT
#include "framework/widgetset/qt/QtWidgetSet.h"
#endif

namespace {

using namespace framework;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open form file " + path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The events of a component bound to a method of the form: " OnClick=ShowPaneClick".
std::string BoundEvents(const TComponent& c, const TForm& form) {
  std::string bound;
  for (const TPropInfo* p : c.ClassType().Properties())
    if (p->Kind() == tkMethod && p->GetMethod) {
      TMethodRef ref = p->GetMethod(c);
      if (ref.Data == &form && !ref.Name.empty()) bound += " " + p->Name + "=" + ref.Name;
    }
  return bound;
}

// One line per component the form owns, in the order they were read, with the control
// each one sits on and the form's handlers its events call.
void PrintForm(const TForm& form) {
  std::cout << form.Name() << ": " << form.ClassName() << " '" << form.Caption() << "' "
            << form.Width() << "x" << form.Height() << "\n";
  for (int i = 0; i < form.ComponentCount(); ++i) {
    const TComponent* c = form.Components(i);
    std::cout << "  " << c->Name() << ": " << c->ClassName();
    if (const auto* control = dynamic_cast<const TControl*>(c); control && control->Parent()) {
      // A parent the form does not own (a multi-pane's pane) is named by its class and
      // owner: such a component may take a new name each time it is read.
      const TControl* parent = control->Parent();
      if (parent == &form || parent->Owner() == &form || !parent->Owner())
        std::cout << " on " << parent->Name();
      else
        std::cout << " on a " << parent->ClassName() << " of " << parent->Owner()->Name();
    }
    std::cout << BoundEvents(*c, form) << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (argc > 2 && std::strcmp(argv[2], "--once") != 0) || argc > 3) {
    std::cerr << "usage: installed_app FORMFILE [--once]\n";
    return 2;
  }
  const bool once = argc == 3;
#ifdef INSTALLED_APP_QT
  SetWidgetset(std::make_unique<TQtWidgetSet>(argc, argv));
#endif
  int status = 0;
  try {
    RegisterStandardClasses();
    tessapack::Register();
    installedapp::Register();
    // The root is created as the class the file names: TAppForm, or a plain TForm.
    std::unique_ptr<TComponent> root(ReadComponentFromText(ReadFile(argv[1])));
    auto* form = dynamic_cast<TForm*>(root.get());
    if (!form) throw EReadError(std::string(argv[1]) + " holds no form");
    form->OnClose = TCloseEvent([](TObject*, TCloseAction&) { Application().Terminate(); });
    PrintForm(*form);
    form->Show();
    if (once) {
      Application().ProcessMessages();
      std::cout << "shown: " << (form->Showing() ? "yes" : "no") << "\n";
    } else {
      Application().Run();
    }
  } catch (const std::exception& e) {
    std::cerr << "installed_app: " << e.what() << "\n";
    status = 1;
  }
#ifdef INSTALLED_APP_QT
  SetWidgetset(nullptr);
#endif
  return status;
}
