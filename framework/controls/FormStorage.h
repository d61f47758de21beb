// TFormStorage: keeps named properties of the form's components ("edtName.Text" in
// StoredProps) in an INI file between runs: restored when the form is shown, saved when it
// closes (and on SaveFormPlacement). With fpPosition in Options the form's bounds are kept.
#pragma once

#include <string>

#include "framework/classes/StringList.h"
#include "framework/controls/Forms.h"

namespace framework {

enum TPlacementOption { fpState, fpPosition };
using TPlacementOptions = TSet<TPlacementOption>;

class TFormStorage : public TComponent, public IFormHook {
  FW_CLASS(TFormStorage, TComponent)
 public:
  explicit TFormStorage(TComponent* owner);
  ~TFormStorage() override;

  TStrings* StoredProps() const { return FStoredProps; }
  void SetStoredProps(TStrings* value);
  // The INI file; empty: <config dir>/<application title or "framework">/<same>.ini.
  std::string IniFileName;
  // The section; empty: the owner form's class name.
  std::string IniSection;
  TPlacementOptions Options{fpState, fpPosition};
  bool Active = true;

  std::string EffectiveFileName() const;
  std::string EffectiveSection() const;
  // Loads the stored values into the properties (unknown components or properties and
  // values that do not fit are skipped).
  void RestoreFormPlacement();
  // Writes the properties' values; raises EFCreateError when the file cannot be written.
  void SaveFormPlacement();

  void FormShowing() override;
  void FormClosing() override;

 private:
  TStrings* FStoredProps;
};

}  // namespace framework

FW_DECLARE_ENUM(framework::TPlacementOption)
