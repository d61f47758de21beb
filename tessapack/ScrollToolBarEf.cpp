#include "tessapack/ScrollToolBarEf.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "framework/base/StrUtils.h"
#include "tessapack/Package.h"

namespace tessapack {

using namespace framework;

// ---- the dialog
// ----------------------------------------------------------------------------------

FW_DEFINE_CLASS(TScrollEdit, [](TClassDef<TScrollEdit> &d) {
  d.Field("ok", &TScrollEdit::ok);
  d.Field("GroupBox1", &TScrollEdit::GroupBox1);
  d.Field("Label1", &TScrollEdit::Label1);
  d.Field("Label2", &TScrollEdit::Label2);
  d.Field("Edit1", &TScrollEdit::Edit1);
  d.Field("RadioGroup1", &TScrollEdit::RadioGroup1);
  d.Field("Panel2", &TScrollEdit::Panel2);
  d.Field("Panel1", &TScrollEdit::Panel1);
  d.Field("Button1", &TScrollEdit::Button1);
  d.Method("okClick", &TScrollEdit::okClick);
  d.Method("Button1Click", &TScrollEdit::Button1Click);
  d.Method("RadioGroup1Click", &TScrollEdit::RadioGroup1Click);
})

// The layout (for a vertical toolbar) is the form text compiled in; FillIt turns the
// preview strip for a horizontal one.
TScrollEdit::TScrollEdit(TComponent *owner) : TForm(owner) {
  RegisterPackageBitmaps();
  LoadFromResource("TScrollEdit");
  OnKeyDown = TKeyEvent(this, &TScrollEdit::FormKeyDown);
  // The panels' captions would show behind the previews.
  Panel1->SetCaption("");
  Panel2->SetCaption("");
}

void TScrollEdit::CentreOn(const TControl *window) {
  int left = (Screen().Width() - Width()) / 2;
  int top = (Screen().Height() - Height()) / 2;
  if (window) {
    const TPoint origin =
        window->Parent() ? window->ClientToScreen({0, 0}) : TPoint{window->Left(), window->Top()};
    left = origin.X + (window->Width() - Width()) / 2;
    top = origin.Y + (window->Height() - Height()) / 2;
  }
  left = std::clamp(left, 0, std::max(0, Screen().Width() - Width()));
  top = std::clamp(top, 0, std::max(0, Screen().Height() - Height()));
  SetBounds(left, top, Width(), Height());
}

void TScrollEdit::FillIt(TScrollToolBar *toolbar, TScrollComponentPlacement *list) {
  for (TControl *preview : FPreviews)
    delete preview;
  FPreviews.clear();
  FControls.clear();
  FToolbar = toolbar;
  FList = list;
  SelectedIndex = -1;
  if (!toolbar || !list)
    return;
  if (toolbar->Orientation() == scHoriz) {
    Panel2->SetAlign(alTop);
    Panel2->SetHeight(97);
    Panel1->SetBounds(16, 16, Panel2->Width() - 32, 65);
    GroupBox1->SetBounds((ClientWidth() - GroupBox1->Width()) / 2, 108, GroupBox1->Width(),
                         GroupBox1->Height());
    RadioGroup1->Items()->Clear();
    for (const char *item : {"Centered", "Top", "Bottom"})
      RadioGroup1->Items()->Add(item);
  }
  FControls.clear();
  for (int i = 0; i < toolbar->ControlCount(); ++i)
    if (!toolbar->IsArrow(toolbar->Controls(i)))
      FControls.push_back(toolbar->Controls(i));
  const int n = static_cast<int>(FControls.size());
  if (n == 0)
    return;
  const bool horiz = toolbar->Orientation() == scHoriz;
  for (int k = 0; k < n; ++k) {
    TControl *control = FControls[k];
    try {
      const TMetaClass *cls = GetClass(control->ClassType().ClassName());
      if (!cls || !cls->CanCreate())
        throw EClassNotFound("Class " + control->ClassType().ClassName() + " not found");
      TComponent *made = cls->Create(this);
      auto *preview = dynamic_cast<TControl *>(made);
      if (!preview) {
        delete made;
        throw EClassNotFound("Class " + control->ClassType().ClassName() + " is no control");
      }
      FPreviews.push_back(preview);
      preview->SetParent(Panel1);
      if (horiz)
        preview->SetBounds(Panel1->Width() / n * k, 1, Panel1->Width() / n, Panel1->Height() - 2);
      else
        preview->SetBounds(1, Panel1->Height() / n * k, Panel1->Width() - 2, Panel1->Height() / n);
      preview->SetCaption(control->Caption());
      preview->SetColor(control->Color());
    } catch (const std::exception &e) {
      SetCaption(e.what());
    }
  }
}

int TScrollEdit::PreviewAt(TPoint p) const {
  const int n = static_cast<int>(FControls.size());
  if (!FToolbar || n == 0)
    return -1;
  const TPoint origin = Panel1->ClientToParent({0, 0}, this);
  const TRect r{origin.X, origin.Y, origin.X + Panel1->Width(), origin.Y + Panel1->Height()};
  if (p.X < r.Left || p.X >= r.Right || p.Y < r.Top || p.Y >= r.Bottom)
    return -1;
  const double along = FToolbar->Orientation() == scHoriz
                           ? double(p.X - r.Left) / std::max(1, Panel1->Width())
                           : double(p.Y - r.Top) / std::max(1, Panel1->Height());
  return std::min(static_cast<int>(n * along), n - 1);
}

void TScrollEdit::WMParentNotify(TMessage &m) {
  if (LoWord(m.WParam) != WM_LBUTTONDOWN) {
    TForm::WMParentNotify(m);
    return;
  }
  const int index = PreviewAt({GetXParam(m.LParam), GetYParam(m.LParam)});
  if (index < 0) {
    TForm::WMParentNotify(m);
    return;
  }
  SelectPreview(index);
}

TSBComp *TScrollEdit::SelectedEntry() const {
  if (!FList || SelectedIndex < 0 || SelectedIndex >= static_cast<int>(FControls.size()))
    return nullptr;
  return FList->Find(FControls[SelectedIndex]);
}

// The entry is the one of the control that the preview shows; a control without one gets
// a default entry.
void TScrollEdit::SelectPreview(int index) {
  if (!FList || index < 0 || index >= static_cast<int>(FControls.size()))
    return;
  if (SelectedIndex >= 0 && !TryChangeEdit())
    return;
  TControl *control = FControls[index];
  if (!FList->Find(control)) {
    auto *entry = new TSBComp;
    entry->Control = control;
    FList->Add(entry);
    FToolbar->Synchronize();
  }
  SelectedIndex = index;
  TSBComp *entry = SelectedEntry();
  RadioGroup1->SetItemIndex(std::min<int>(entry->Justify, 2));
  for (TControl *c : std::initializer_list<TControl *>{RadioGroup1, Label1, Label2, Edit1})
    c->SetEnabled(true);
  Edit1->SetColor(clWhite);
  Label1->SetCaption("Name: " + control->Name());
  entry->CompName = control->Name();
  Edit1->SetText(std::to_string(entry->CompPad));
}

void TScrollEdit::ChangeEdit() {
  TSBComp *entry = SelectedEntry();
  if (!entry)
    return;
  const std::string text = Edit1->Text();
  int value = 0;
  if (!text.empty()) {
    const int64_t v = StrToInt(text);
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
      throw EConvertError("'" + text + "' is not a valid integer value");
    value = static_cast<int>(v);
  }
  if (value == entry->CompPad)
    return;
  entry->CompPad = value;
  Changed();
}

bool TScrollEdit::TryChangeEdit() {
  try {
    ChangeEdit();
    return true;
  } catch (const EConvertError &e) {
    Application().HandleException(e);
    return false;
  }
}

// The toolbar lays itself out again once the dialog's handler has returned.
void TScrollEdit::Changed() const {
  if (FToolbar)
    PostMessage(FToolbar, WM_USER, 0, snPlacementChanged);
}

void TScrollEdit::RadioGroup1Click(TObject *) {
  TSBComp *entry = SelectedEntry();
  if (!entry || RadioGroup1->ItemIndex() < 0)
    return;
  const auto justify = static_cast<TScrollCompJustify>(RadioGroup1->ItemIndex());
  if (justify == entry->Justify)
    return;
  entry->Justify = justify;
  Changed();
}

void TScrollEdit::okClick(TObject *) {
  if (SelectedIndex >= 0 && !TryChangeEdit())
    return;
  if (Modal())
    SetModalResult(mrOk);
  else
    Close();
}

// Enter: commits the pad and keeps the dialog open; with nothing selected, nothing.
void TScrollEdit::Button1Click(TObject *) {
  if (SelectedIndex < 0)
    return;
  TryChangeEdit();
}

void TScrollEdit::FormKeyDown(TObject *, uint16_t &key, TShiftState) {
  if (key != VK_ESCAPE)
    return;
  key = 0;
  if (Modal())
    SetModalResult(mrCancel);
  else
    Close();
}

TScrollEdit *MakeScrollEdit(TScrollToolBar *toolbar, TScrollComponentPlacement *list) {
  auto *dialog = new TScrollEdit(&Application());
  const TControl *window = toolbar ? GetParentForm(toolbar) : nullptr;
  dialog->CentreOn(window);
  if (!list && toolbar)
    list = toolbar->ComponentsInfo();
  dialog->FillIt(toolbar, list);
  return dialog;
}

// ---- the property editor
// ----------------------------------------------------------------------------

TPropertyAttributes TScrollTBProperty::GetAttributes() {
  return {paDialog, paRevertable};
}

std::string TScrollTBProperty::GetValue() {
  return "(TScrollComponentPlacement)";
}

void TScrollTBProperty::Edit() {
  auto *toolbar = dynamic_cast<TScrollToolBar *>(GetComponent(0));
  if (!toolbar)
    return;
  auto *list = dynamic_cast<TScrollComponentPlacement *>(GetPropInfo()->GetObj(*toolbar));
  std::unique_ptr<TScrollEdit>(MakeScrollEdit(toolbar, list))->ShowModal();
  Modified();
}

// ---- the component editor
// ---------------------------------------------------------------------------

std::string TScrollToolBarEditor::GetVerb(int Index) {
  switch (Index) {
  case 0:
    return "Components Info";
  case 1:
    return "Realign";
  default:
    return "";
  }
}

void TScrollToolBarEditor::ExecuteVerb(int Index) {
  auto *toolbar = dynamic_cast<TScrollToolBar *>(Component());
  if (!toolbar)
    return;
  if (Index == 1) {
    toolbar->Reposition();
    return;
  }
  if (Index != 0)
    return;
  std::vector<std::unique_ptr<TPropertyEditor>> editors;
  if (Designer()) {
    editors = Designer()->GetPropertyEditors(toolbar);
  } else if (const TPropInfo *prop = framework::GetPropInfo(*toolbar, "ComponentsInfo")) {
    editors.push_back(CreatePropertyEditor(nullptr, toolbar, *prop));
  }
  for (auto &editor : editors)
    if (editor && SameText(editor->GetName(), "COMPONENTSINFO")) {
      editor->Edit();
      return;
    }
}

namespace ScrollToolBar {
void Register() {
  RegisterPackageBitmaps();
  RegisterComponents("Tessaline", {&TScrollToolBar::StaticClass()});
  static const bool editors =
      (RegisterComponentEditor<TScrollToolBarEditor>(TScrollToolBar::StaticClass()),
       RegisterPropertyEditor<TScrollTBProperty>(
           ClassTypeInfo(TScrollComponentPlacement::StaticClass()), &TScrollToolBar::StaticClass(),
           ""),
       true);
  (void)editors;
}
} // namespace ScrollToolBar

} // namespace tessapack
