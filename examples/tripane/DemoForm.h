// The tri-pane demo's window: a form read from a form file, holding a tri-pane with a
// header, a client pane with a few controls and a menu pane of buttons along the right
// edge. The status label follows the menu: "Menu open" / "Menu closed".
#pragma once

#include <string>
#include <vector>

#include "framework/controls/Forms.h"
#include "tessapack/TriPane.h"

namespace tripane_demo {

class TDemoForm : public framework::TForm {
 public:
  // Reads the form file (TRIPANE_DEMO_FORM when empty). Raises EFOpenError when the file
  // cannot be read and EReadError when its text is bad.
  explicit TDemoForm(const std::string& fileName = "");

  tessapack::TTriPane* TriPane() const { return FTriPane; }
  // Every OnPopped, in order: true for opened, false for closed.
  const std::vector<bool>& Popped() const { return FPopped; }

 private:
  void TriPanePopped(framework::TObject* Sender, bool Open);
  tessapack::TTriPane* FTriPane = nullptr;
  std::vector<bool> FPopped;
};

}  // namespace tripane_demo
