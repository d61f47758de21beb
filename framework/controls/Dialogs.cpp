#include "framework/controls/Dialogs.h"

FW_DEFINE_ENUM(framework::TOpenOption, "TOpenOption", "ofReadOnly", "ofOverwritePrompt",
               "ofHideReadOnly", "ofNoChangeDir", "ofShowHelp", "ofNoValidate", "ofAllowMultiSelect",
               "ofExtensionDifferent", "ofPathMustExist", "ofFileMustExist", "ofCreatePrompt",
               "ofShareAware", "ofNoReadOnlyReturn", "ofNoTestFileCreate")

namespace framework {

FW_DEFINE_CLASS(TOpenDialog, [](TClassDef<TOpenDialog>& d) {
  d.FieldProperty("DefaultExt", &TOpenDialog::DefaultExt);
  d.FieldProperty("FileName", &TOpenDialog::FileName);
  d.FieldProperty("Filter", &TOpenDialog::Filter);
  d.FieldProperty("InitialDir", &TOpenDialog::InitialDir);
  d.FieldProperty("Options", &TOpenDialog::Options).Default(TOpenOptions{ofHideReadOnly});
  d.FieldProperty("Title", &TOpenDialog::Title);
})

TModalResult MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  return Widgetset().MessageDlg(text, type, buttons);
}

void ShowMessage(const std::string& text) { Widgetset().MessageDlg(text, mtCustom, {mbOK}); }

bool SelectDirectory(const std::string& caption, std::string& directory, bool allowCreate) {
  TDirectoryDialogRequest r;
  r.Title = caption;
  r.Directory = directory;
  r.AllowCreate = allowCreate;
  if (!Widgetset().SelectDirectory(r)) return false;
  directory = r.Directory;
  return true;
}

bool TOpenDialog::Execute() {
  TFileDialogRequest r;
  r.Title = Title;
  r.Filter = Filter;
  r.InitialDir = InitialDir;
  r.FileName = FileName;
  r.MustExist = Options.Contains(ofFileMustExist);
  r.PathMustExist = Options.Contains(ofPathMustExist);
  r.HideReadOnly = Options.Contains(ofHideReadOnly);
  if (!Widgetset().OpenFileDialog(r)) return false;
  FileName = r.FileName;
  return true;
}

}  // namespace framework
