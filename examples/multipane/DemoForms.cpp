#include "examples/multipane/DemoForms.h"

#include <fstream>
#include <sstream>

#include "framework/controls/StdCtrls.h"
#include "framework/controls/StdRegister.h"
#include "tessapack/Package.h"

namespace multipane_demo {

using namespace framework;

FW_DEFINE_CLASS(TMultiPaneDemoForm, [](TClassDef<TMultiPaneDemoForm>& d) {
  d.Method("btnPageClick", &TMultiPaneDemoForm::btnPageClick);
})

namespace {
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open form file " + path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}
}  // namespace

void RegisterDemoClasses() {
  RegisterStandardClasses();
  tessapack::Register();
  RegisterClass(TMultiPaneDemoForm::StaticClass());
}

TMultiPaneDemoForm::TMultiPaneDemoForm(const std::string& fileName) : TForm(nullptr) {
  RegisterDemoClasses();
  const std::string path = fileName.empty() ? MULTIPANE_DEMO_FORM : fileName;
  LoadFromText(ReadFile(path));
  FMultiPane = dynamic_cast<tessapack::TMultiPane*>(FindComponent("MultiPane1"));
  if (!FMultiPane) throw EReadError("Form file " + path + " has no TMultiPane named MultiPane1");
  FMultiPane->SetResource(tessapack::TPanes().set(0));
}

void TMultiPaneDemoForm::btnPageClick(TObject* Sender) {
  auto* button = dynamic_cast<TComponent*>(Sender);
  if (!button || !FMultiPane || button->Tag() < 0 || button->Tag() >= FMultiPane->GetCount())
    return;
  FMultiPane->SetTop(button->Tag());
  if (auto* label = dynamic_cast<TLabel*>(FindComponent("lbPage")))
    label->SetCaption("Page " + std::to_string(button->Tag()));
}

TGrabForm::TGrabForm() : Form(std::make_unique<TForm>(nullptr)) { Form->SetDesigner(&Designer); }

TGrabForm::~TGrabForm() {
  Form->SetDesigner(nullptr);
  Form.reset();
}

std::unique_ptr<TGrabForm> OpenGrabForm(const std::string& fileName) {
  RegisterDemoClasses();
  auto grab = std::make_unique<TGrabForm>();
  grab->Form->LoadFromText(ReadFile(fileName.empty() ? GRAB_DEMO_FORM : fileName));
  return grab;
}

}  // namespace multipane_demo
