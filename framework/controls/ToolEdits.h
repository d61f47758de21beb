// Edits with a browse button: TCustomComboEdit (an edit with a speed button at its right
// edge), TFilenameEdit (opens the file dialog with its filter and options) and
// TDirectoryEdit (opens the folder dialog after OnBeforeDialog, can create the chosen
// folder, accepts folders dropped on it). Choosing sets Text, which fires OnChange.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/controls/Buttons.h"
#include "framework/controls/Dialogs.h"
#include "framework/controls/StdCtrls.h"

namespace framework {

class TCustomComboEdit : public TEdit {
  FW_CLASS(TCustomComboEdit, TEdit)
 public:
  explicit TCustomComboEdit(TComponent* owner);
  TSpeedButton* Button() const { return FButton; }
  // What a click on the button does.
  virtual void ButtonClick() {}

 private:
  void DoButtonClick(TObject*) { ButtonClick(); }
  TSpeedButton* FButton;
};

class TFilenameEdit : public TCustomComboEdit {
  FW_CLASS(TFilenameEdit, TCustomComboEdit)
 public:
  explicit TFilenameEdit(TComponent* owner) : TCustomComboEdit(owner) {}
  const std::string& FileName() const { return Text(); }
  void SetFileName(const std::string& value) { SetText(value); }
  void ButtonClick() override;

  std::string Filter;  // "Description|pattern|..."
  std::string DialogTitle;
  std::string InitialDir;
  std::string DefaultExt;
  TOpenOptions DialogOptions{ofHideReadOnly};
};

// The framework's own folder dialog or the system's.
enum TDirDialogKind { dkFramework, dkSystem };
enum TSelectDirOpt { sdAllowCreate, sdPerformCreate, sdPrompt };
using TSelectDirOpts = TSet<TSelectDirOpt>;
// (Sender, Name, Action): Name is the folder the dialog starts in (initially the text);
// clearing Action cancels the dialog.
using TExecOpenDialogEvent = TEvent<TObject*, std::string&, bool&>;

class TDirectoryEdit : public TCustomComboEdit {
  FW_CLASS(TDirectoryEdit, TCustomComboEdit)
 public:
  explicit TDirectoryEdit(TComponent* owner) : TCustomComboEdit(owner) {}
  bool AcceptFiles() const { return FAcceptFiles; }
  void SetAcceptFiles(bool value);
  // Folders dropped from the shell: the first becomes the text (when AcceptFiles).
  void DropFiles(const std::vector<std::string>& files);
  void ButtonClick() override;

  TDirDialogKind DialogKind = dkFramework;
  std::string DialogText;
  std::string InitialDir;
  TSelectDirOpts DialogOptions;
  TExecOpenDialogEvent OnBeforeDialog;
  TExecOpenDialogEvent OnAfterDialog;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  bool FAcceptFiles = false;
};

}  // namespace framework

FW_DECLARE_ENUM(framework::TDirDialogKind)
FW_DECLARE_ENUM(framework::TSelectDirOpt)
