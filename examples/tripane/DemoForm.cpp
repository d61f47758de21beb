#include "examples/tripane/DemoForm.h"

#include <fstream>
#include <sstream>

#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "tessapack/Package.h"

namespace tripane_demo {

using namespace framework;

TDemoForm::TDemoForm(const std::string& fileName) : TForm(nullptr) {
  RegisterStandardClasses();
  tessapack::Register();
  const std::string path = fileName.empty() ? TRIPANE_DEMO_FORM : fileName;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open form file " + path);
  std::stringstream text;
  text << in.rdbuf();
  LoadFromText(text.str());
  FTriPane = dynamic_cast<tessapack::TTriPane*>(FindComponent("TriPane1"));
  if (!FTriPane) throw EReadError("Form file " + path + " has no TTriPane named TriPane1");
  FTriPane->OnPopped = tessapack::TTriPanePopEvent(this, &TDemoForm::TriPanePopped);
}

void TDemoForm::TriPanePopped(TObject*, bool Open) {
  FPopped.push_back(Open);
  if (auto* status = dynamic_cast<TLabel*>(FindComponent("lbStatus")))
    status->SetCaption(Open ? "Menu open" : "Menu closed");
}

}  // namespace tripane_demo
