// Design-time support of the scrolling toolbar: the placement dialog TScrollEdit ("Edit
// Component Location Properties"), the property editor TScrollTBProperty of ComponentsInfo
// and the component editor TScrollToolBarEditor.
//
// The dialog shows a miniature of the toolbar's controls (a preview of the same class for
// each); clicking a preview selects its control's placement entry and shows its name, pad
// and justification. Every change reaches the toolbar on the form at once: a justification
// when chosen, a pad on Enter, OK or the selection of another preview. There is no cancel.
#pragma once

#include <string>
#include <vector>

#include "framework/controls/Buttons.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/Forms.h"
#include "framework/controls/StdCtrls.h"
#include "framework/design/DesignIntf.h"
#include "tessapack/ScrollToolBar.h"

namespace tessapack {

class TScrollEdit : public framework::TForm {
  FW_CLASS(TScrollEdit, framework::TForm)
public:
  explicit TScrollEdit(framework::TComponent *owner);

  // Shows the toolbar's controls as previews and edits the placement list.
  void FillIt(TScrollToolBar *toolbar, TScrollComponentPlacement *list);
  // Commits the pad typed for the selected entry (EConvertError for a text that is no
  // integer; the entry keeps its value).
  void ChangeEdit();
  // Selects the preview at index (its control's entry); -1 or a bad index selects nothing.
  void SelectPreview(int index);
  // The preview index at a point in the dialog's client coordinates (-1: none).
  int PreviewAt(framework::TPoint p) const;
  // Places the dialog in the middle of the window (nullptr: the screen), kept on screen.
  void CentreOn(const framework::TControl *window);

  void okClick(framework::TObject *Sender);
  void Button1Click(framework::TObject *Sender);
  void RadioGroup1Click(framework::TObject *Sender);

  int SelectedIndex = -1;
  TScrollToolBar *Toolbar() const { return FToolbar; }
  // The entry of the selected preview (nullptr: none).
  TSBComp *SelectedEntry() const;
  const std::vector<framework::TControl *> &Previews() const { return FPreviews; }

  framework::TButton *ok = nullptr;
  framework::TGroupBox *GroupBox1 = nullptr;
  framework::TLabel *Label1 = nullptr;
  framework::TLabel *Label2 = nullptr;
  framework::TEdit *Edit1 = nullptr;
  framework::TRadioGroup *RadioGroup1 = nullptr;
  framework::TPanel *Panel2 = nullptr;
  framework::TPanel *Panel1 = nullptr;
  framework::TButton *Button1 = nullptr;

protected:
  void WMParentNotify(framework::TMessage &m) override;

private:
  void FormKeyDown(framework::TObject *Sender, uint16_t &key, framework::TShiftState shift);
  // Runs a commit and reports a pad that is no integer; false when it failed.
  bool TryChangeEdit();
  void Changed() const;
  TScrollToolBar *FToolbar = nullptr;
  TScrollComponentPlacement *FList = nullptr;
  std::vector<framework::TControl *> FControls; // the toolbar's control shown by each preview
  std::vector<framework::TControl *> FPreviews;
};

// The inspector's editor of ComponentsInfo: an ellipsis button that runs the dialog.
class TScrollTBProperty : public framework::TPropertyEditor {
public:
  using TPropertyEditor::TPropertyEditor;
  framework::TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string &) override {}
  void Edit() override;
};

// Verbs: "Components Info" runs the placement dialog, "Realign" lays the toolbar out again.
class TScrollToolBarEditor : public framework::TDefaultEditor {
public:
  using TDefaultEditor::TDefaultEditor;
  int GetVerbCount() override { return 2; }
  std::string GetVerb(int Index) override;
  void ExecuteVerb(int Index) override;
};

// The dialog for a toolbar and its placement list (nullptr: the toolbar's), filled and
// placed over the toolbar's form. The caller shows it (modally) and frees it.
TScrollEdit *MakeScrollEdit(TScrollToolBar *toolbar, TScrollComponentPlacement *list = nullptr);

} // namespace tessapack
