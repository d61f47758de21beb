// TPersistent: an object that can be assigned from another and stored in a form text.
#pragma once

#include "framework/base/Object.h"

namespace framework {

class TFiler;

class TPersistent : public TObject {
  FW_CLASS(TPersistent, TObject)
 public:
  // Copies the source's state; the default asks the source to AssignTo this, and raises
  // EConvertError when neither class knows the other.
  virtual void Assign(const TPersistent& source);
  // Adds stored values that are not published properties (custom properties); the filer
  // calls back the read or write routine of each.
  virtual void DefineProperties(TFiler& filer);

 protected:
  virtual void AssignTo(TPersistent& dest) const;
};

}  // namespace framework
