// The colour property editor: a colour is typed as a name (clRed, clBtnFace) or as
// $00BBGGRR, or chosen from the list of named colours.
#pragma once

#include <string>
#include <vector>

#include "framework/design/DesignIntf.h"

namespace tessapack::designer {

class TColorProperty : public framework::TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  framework::TPropertyAttributes GetAttributes() override {
    return {framework::paValueList, framework::paRevertable};
  }
  std::vector<std::string> GetValues() override;
  // A colour without a name shows as $00BBGGRR, as the form text has it.
  std::string GetValue() override;
};

// Registers the editors this program adds to the design layer's (once).
void RegisterDesignerEditors();

}  // namespace tessapack::designer
