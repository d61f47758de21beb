// The form designer as the components see it: it is told that the form was modified, asked
// to select a component, offered the mouse messages of designed controls, and lists the
// property editors of a component. A form being designed has one (TCustomForm::Designer).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/messages/Messages.h"

namespace framework {

class TComponent;
class TControl;
class TPropertyEditor;

class IDesigner {
 public:
  virtual ~IDesigner() = default;
  virtual void Modified() = 0;
  virtual void SelectComponent(TComponent* component) = 0;
  // A mouse message for a designed control: true when the designer handled it (the
  // control does not see it). Designers ask the control first with CM_DESIGNHITTEST.
  // Keys (WM_KEYDOWN, WM_KEYUP, WM_CHAR) on a designed control come here too; the control
  // never sees them.
  virtual bool IsDesignMsg(TControl* sender, TMessage& message) = 0;
  // One editor per published property of the component (registered editors preferred).
  virtual std::vector<std::unique_ptr<TPropertyEditor>> GetPropertyEditors(TComponent* component);
  // Shows (creating if needed) the handler of an event of the component.
  virtual void ShowMethod(TComponent*, const std::string&) {}
};

}  // namespace framework
