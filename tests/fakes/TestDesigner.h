// A designer for tests: records what the components tell it and answers design messages
// like an IDE: a control that answers CM_DESIGNHITTEST with non-zero gets the mouse; for
// any other, a left-button press selects it and the designer keeps the message.
#pragma once

#include <string>
#include <vector>

#include "framework/controls/Forms.h"
#include "framework/design/Designer.h"

namespace framework {

class TTestDesigner : public IDesigner {
 public:
  // Attaches to the form (which becomes designed); Detach before the designer goes.
  explicit TTestDesigner(TCustomForm* form = nullptr) {
    if (form) form->SetDesigner(this);
  }
  void Modified() override { ++ModifiedCount; }
  void SelectComponent(TComponent* component) override { Selected.push_back(component); }
  bool IsDesignMsg(TControl* sender, TMessage& message) override {
    TMessage hit = message;
    hit.Msg = CM_DESIGNHITTEST;
    hit.Result = 0;
    sender->Dispatch(hit);
    if (hit.Result != 0) return false;
    if (message.Msg == WM_LBUTTONDOWN) Selected.push_back(sender);
    return true;
  }
  void ShowMethod(TComponent* component, const std::string& eventName) override {
    ShownMethods.push_back((component ? component->Name() : std::string()) + "." + eventName);
  }

  int ModifiedCount = 0;
  std::vector<TComponent*> Selected;
  std::vector<std::string> ShownMethods;
};

}  // namespace framework
