// tessadesigner: the form designer. It loads component packages (from the folders and
// files given, else from the package folder it was built with), shows the palette, the
// object inspector and the form being designed, and runs until its main window closes.
//
//   tessadesigner [--package FILE]... [--package-dir DIR]... [FORM]
//   tessadesigner --version
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "ProjectVersion.h"
#include "framework/controls/StdRegister.h"
#include "framework/widgetset/qt/QtWidgetSet.h"
#include "tools/designer/ColorProperty.h"
#include "tools/designer/DesignerWindow.h"
#include "tools/designer/Packages.h"

namespace {

void Usage(std::ostream& out) {
  out << "usage: tessadesigner [--package FILE]... [--package-dir DIR]... [FORM]\n"
         "       tessadesigner --version\n";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace framework;
  using namespace tessapack::designer;
  std::vector<std::string> packages, folders;
  std::string formFile;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--version") {
      std::cout << "tessadesigner " << CODEWEFT_VERSION << "\n";
      return 0;
    }
    if (arg == "--help" || arg == "-h") {
      Usage(std::cout);
      return 0;
    }
    if ((arg == "--package" || arg == "--package-dir") && i + 1 < argc) {
      (arg == "--package" ? packages : folders).push_back(argv[++i]);
    } else if (!arg.empty() && arg[0] == '-') {
      std::cerr << "tessadesigner: unknown option " << arg << "\n";
      Usage(std::cerr);
      return 2;
    } else if (formFile.empty()) {
      formFile = arg;
    } else {
      std::cerr << "tessadesigner: more than one form given\n";
      return 2;
    }
  }

  RegisterStandardComponents();
  RegisterDesignerEditors();
  // Without options: the package installed beside the program, else the packages of the
  // build the program comes from.
  if (packages.empty() && folders.empty()) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path installed = self.parent_path() / TESSADESIGNER_INSTALLED_PACKAGE;
    if (!error && std::filesystem::exists(installed, error))
      packages.push_back(installed.lexically_normal().string());
#ifdef TESSADESIGNER_PACKAGE_DIR
    else
      folders.push_back(TESSADESIGNER_PACKAGE_DIR);
#endif
  }
  std::vector<std::string> errors;
  for (const std::string& folder : folders)
    for (std::string& e : LoadPackagesFrom(folder)) errors.push_back(std::move(e));
  for (const std::string& file : packages)
    if (std::string e = LoadPackage(file); !e.empty()) errors.push_back(std::move(e));
  for (const std::string& e : errors) std::cerr << "tessadesigner: " << e << "\n";

  SetWidgetset(std::make_unique<TQtWidgetSet>(argc, argv));
  Application().SetTitle("Tessa Designer");
  auto* window = Application().CreateForm<TDesignerWindow>();
  window->RebuildPalette();
  if (!formFile.empty() && !window->OpenFile(formFile))
    std::cerr << "tessadesigner: " << window->StatusText() << "\n";
  else if (!errors.empty())
    window->Report(errors.front());
  window->ShowAll();
  Application().Run();
  delete window;
  SetWidgetset(nullptr);
  return 0;
}
