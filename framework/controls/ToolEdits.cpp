#include "framework/controls/ToolEdits.h"

#include <filesystem>

#include "framework/messages/DestroyGuard.h"

FW_DEFINE_ENUM(framework::TDirDialogKind, "TDirDialogKind", "dkFramework", "dkSystem")
FW_DEFINE_ENUM(framework::TSelectDirOpt, "TSelectDirOpt", "sdAllowCreate", "sdPerformCreate", "sdPrompt")

namespace framework {

FW_DEFINE_CLASS(TCustomComboEdit)

FW_DEFINE_CLASS(TFilenameEdit, [](TClassDef<TFilenameEdit>& d) {
  d.FieldProperty("DefaultExt", &TFilenameEdit::DefaultExt);
  d.FieldProperty("DialogOptions", &TFilenameEdit::DialogOptions).Default(TOpenOptions{ofHideReadOnly});
  d.FieldProperty("DialogTitle", &TFilenameEdit::DialogTitle);
  d.FieldProperty("Filter", &TFilenameEdit::Filter);
  d.FieldProperty("InitialDir", &TFilenameEdit::InitialDir);
})

FW_DEFINE_CLASS(TDirectoryEdit, [](TClassDef<TDirectoryEdit>& d) {
  d.Property("AcceptFiles", &TDirectoryEdit::AcceptFiles, &TDirectoryEdit::SetAcceptFiles).Default(false);
  d.FieldProperty("DialogKind", &TDirectoryEdit::DialogKind).Default(dkFramework);
  d.FieldProperty("DialogOptions", &TDirectoryEdit::DialogOptions).Default(TSelectDirOpts{});
  d.FieldProperty("DialogText", &TDirectoryEdit::DialogText);
  d.FieldProperty("InitialDir", &TDirectoryEdit::InitialDir);
  d.Event("OnAfterDialog", &TDirectoryEdit::OnAfterDialog);
  d.Event("OnBeforeDialog", &TDirectoryEdit::OnBeforeDialog);
})

TCustomComboEdit::TCustomComboEdit(TComponent* owner) : TEdit(owner) {
  FButton = new TSpeedButton(this);
  FButton->SetCaption("...");
  FButton->SetBounds(0, 0, 21, 17);
  FButton->SetAlign(alRight);
  FButton->SetParent(this);
  FButton->OnClick = TNotifyEvent(this, &TCustomComboEdit::DoButtonClick);
}

void TFilenameEdit::ButtonClick() {
  TFileDialogRequest r;
  r.Title = DialogTitle;
  r.Filter = Filter;
  r.InitialDir = InitialDir;
  r.FileName = Text();
  r.MustExist = DialogOptions.Contains(ofFileMustExist);
  r.PathMustExist = DialogOptions.Contains(ofPathMustExist);
  r.HideReadOnly = DialogOptions.Contains(ofHideReadOnly);
  if (Widgetset().OpenFileDialog(r)) SetText(r.FileName);
}

void TDirectoryEdit::SetAcceptFiles(bool value) {
  if (FAcceptFiles == value) return;
  FAcceptFiles = value;
  RecreateWnd();
}

void TDirectoryEdit::CreateParams(TCreateParams& p) {
  TCustomComboEdit::CreateParams(p);
  if (FAcceptFiles) p.ExStyle |= WS_EX_ACCEPTFILES;
}

void TDirectoryEdit::DropFiles(const std::vector<std::string>& files) {
  if (FAcceptFiles && !files.empty()) SetText(files.front());
}

// The two events may free the edit (or its form): what follows them is then left out.
void TDirectoryEdit::ButtonClick() {
  std::string name = Text().empty() ? InitialDir : Text();
  bool action = true;
  TDestroyGuard guard(this);
  OnBeforeDialog(this, name, action);
  if (!action || !guard.Alive()) return;
  TDirectoryDialogRequest r;
  r.Title = DialogText;
  r.Directory = name;
  r.AllowCreate = DialogOptions.Contains(sdAllowCreate);
  action = Widgetset().SelectDirectory(r);
  name = r.Directory;
  if (action && !name.empty() && DialogOptions.Contains(sdPerformCreate)) {
    std::error_code ec;
    if (!std::filesystem::exists(name, ec)) {
      bool create = !DialogOptions.Contains(sdPrompt) ||
                    Widgetset().MessageDlg("The folder " + name + " does not exist. Create it?",
                                           mtConfirmation, {mbYes, mbNo}) == mrYes;
      if (create) std::filesystem::create_directories(name, ec);
      if (!create || ec) action = false;
    }
  }
  OnAfterDialog(this, name, action);
  if (action && guard.Alive()) SetText(name);
}

}  // namespace framework
