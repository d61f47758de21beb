// The multi-pane demo's windows, read from form files:
// - TMultiPaneDemoForm: a column of buttons that bring the pages of a multi-pane to the
//   front ("Welcome", "Settings", "About"); pane 0 is resident, so only it and the front
//   pane hold native windows.
// - the grab form (OpenGrabForm): a tri-pane, a multi-pane and a panel filled by its child,
//   shown as the form designer shows them, with the grab handler switched on.
#pragma once

#include <memory>
#include <string>

#include "framework/controls/Forms.h"
#include "framework/design/Designer.h"
#include "tessapack/MultiPane.h"

namespace multipane_demo {

class TMultiPaneDemoForm : public framework::TForm {
  FW_CLASS(TMultiPaneDemoForm, framework::TForm)
 public:
  // Reads the form file (MULTIPANE_DEMO_FORM when empty). Raises EFOpenError when the file
  // cannot be read and EReadError when its text is bad.
  explicit TMultiPaneDemoForm(const std::string& fileName = "");
  explicit TMultiPaneDemoForm(framework::TComponent* owner) : TForm(owner) {}

  tessapack::TMultiPane* MultiPane() const { return FMultiPane; }
  // The buttons' handler: brings the pane numbered by the button's Tag to the front.
  void btnPageClick(framework::TObject* Sender);

 private:
  tessapack::TMultiPane* FMultiPane = nullptr;
};

// A designer that keeps every mouse message for itself, as a form designer does, and
// counts what the components tell it.
class TDemoDesigner : public framework::IDesigner {
 public:
  void Modified() override { ++ModifiedCount; }
  void SelectComponent(framework::TComponent*) override {}
  bool IsDesignMsg(framework::TControl*, framework::TMessage&) override { return true; }
  int ModifiedCount = 0;
};

// The grab form being designed: the form and its designer (detached when freed).
struct TGrabForm {
  TGrabForm();
  ~TGrabForm();
  std::unique_ptr<framework::TForm> Form;
  TDemoDesigner Designer;
};
// Reads GRAB_DEMO_FORM (or fileName) into a form that is being designed.
std::unique_ptr<TGrabForm> OpenGrabForm(const std::string& fileName = "");

// Registers the framework's and the package's classes and the demo's form class.
void RegisterDemoClasses();

}  // namespace multipane_demo
