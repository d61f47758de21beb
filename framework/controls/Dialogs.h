// Message dialogs and the file and folder dialogs, answered by the widgetset (the headless
// one answers from its script).
#pragma once

#include <string>

#include "framework/classes/Component.h"
#include "framework/widgetset/WidgetSet.h"

namespace framework {

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
void ShowMessage(const std::string& text);
// The folder dialog: true (and directory set) when the user chose one.
bool SelectDirectory(const std::string& caption, std::string& directory, bool allowCreate = false);

enum TOpenOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
  ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
  ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate
};
using TOpenOptions = TSet<TOpenOption>;

class TOpenDialog : public TComponent {
  FW_CLASS(TOpenDialog, TComponent)
 public:
  explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
  // Shows the dialog; true when a file was chosen (FileName holds it).
  bool Execute();
  std::string FileName;
  std::string Filter;  // "Description|pattern|..."
  std::string InitialDir;
  std::string Title;
  std::string DefaultExt;
  TOpenOptions Options{ofHideReadOnly};
};

}  // namespace framework

FW_DECLARE_ENUM(framework::TOpenOption)
