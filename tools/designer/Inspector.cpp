#include "tools/designer/Inspector.h"

#include "framework/base/StrUtils.h"
#include "tools/designer/FormDesigner.h"

namespace tessapack::designer {

using namespace framework;

namespace {
constexpr int kRowHeight = 22;
constexpr int kNameWidth = 130;
constexpr int kTop = 58;     // below the selector and the tabs
constexpr int kBottom = 44;  // the scroll buttons and the status line
}  // namespace

FW_DEFINE_CLASS(TInspector)

TInspector::TInspector(TComponent* owner, TFormDesigner* designer)
    : TForm(owner), FDesigner(designer) {
  SetName("Inspector");
  SetCaption("Object Inspector");
  SetBounds(10, 200, 320, 600);
  FSelector = new TButton(this);
  FSelector->SetParent(this);
  FSelector->SetBounds(4, 4, 300, 24);
  FSelector->OnClick = TNotifyEvent([this](TObject*) { ShowComponents(); });
  FPropertiesTab = new TSpeedButton(this);
  FPropertiesTab->SetParent(this);
  FPropertiesTab->SetBounds(4, 30, 100, 24);
  FPropertiesTab->SetCaption("Properties");
  FPropertiesTab->SetGroupIndex(1);
  FPropertiesTab->SetDown(true);
  FPropertiesTab->OnClick = TNotifyEvent([this](TObject*) { ShowEvents(false); });
  FEventsTab = new TSpeedButton(this);
  FEventsTab->SetParent(this);
  FEventsTab->SetBounds(104, 30, 100, 24);
  FEventsTab->SetCaption("Events");
  FEventsTab->SetGroupIndex(1);
  FEventsTab->OnClick = TNotifyEvent([this](TObject*) { ShowEvents(true); });
  FScrollUp = new TSpeedButton(this);
  FScrollUp->SetParent(this);
  FScrollUp->SetCaption("Up");
  FScrollUp->OnClick = TNotifyEvent([this](TObject*) {
    FFirst = std::max(0, FFirst - 10);
    Layout();
  });
  FScrollDown = new TSpeedButton(this);
  FScrollDown->SetParent(this);
  FScrollDown->SetCaption("Down");
  FScrollDown->OnClick = TNotifyEvent([this](TObject*) {
    if (FFirst + 10 < RowCount()) FFirst += 10;
    Layout();
  });
  FStatus = new TLabel(this);
  FStatus->SetParent(this);
  FStatus->SetAutoSize(false);
  FValueMenu = new TPopupMenu(this);
  FComponentMenu = new TPopupMenu(this);
  OnResize = TNotifyEvent([this](TObject*) { Layout(); });
  DesignerChanged();
}

TInspector::~TInspector() {
  // The editors refer to the designer's components, which may go first.
  FRows.clear();
}

void TInspector::Report(const std::string& text) { FStatus->SetCaption(text); }

void TInspector::ShowEvents(bool events) {
  FEvents = events;
  FPropertiesTab->SetDown(!events);
  FEventsTab->SetDown(events);
  FShown = nullptr;
  DesignerChanged();
}

void TInspector::DesignerChanged() {
  TComponent* selected = FDesigner ? FDesigner->Selection() : nullptr;
  TCustomForm* form = FDesigner ? FDesigner->Form() : nullptr;
  if (selected != FShown || form != FShownForm || (selected && FRows.empty()))
    Rebuild();
  else
    RefreshValues();
  std::string title =
      selected ? (selected->Name().empty() ? std::string("(unnamed)") : selected->Name()) + ": " +
                     selected->StreamedClassName()
               : std::string("(nothing selected)");
  // Of several selected components the first is shown.
  if (const size_t n = FDesigner ? FDesigner->SelectionList().size() : 0; n > 1)
    title += " (+" + std::to_string(n - 1) + " selected)";
  FSelector->SetCaption(title);
}

void TInspector::AddRows(TPersistent* instance, const std::string& prefix, int depth) {
  std::vector<std::unique_ptr<TPropertyEditor>> editors;
  if (auto* component = dynamic_cast<TComponent*>(instance); component && depth == 0)
    editors = FDesigner->GetPropertyEditors(component);
  else
    for (const TPropInfo* p : instance->ClassType().Properties())
      editors.push_back(CreatePropertyEditor(FDesigner, instance, *p));
  for (auto& editor : editors) {
    const TPropInfo* prop = editor->GetPropInfo();
    bool isEvent = prop->Kind() == tkMethod;
    std::string name = prefix + prop->Name;
    // Objects that are no components (Font) list their own properties below their row.
    if (prop->Kind() == tkClass && editor->GetAttributes().Contains(paSubProperties)) {
      TObject* object = GetObjectProp(*instance, prop->Name);
      auto* sub = dynamic_cast<TPersistent*>(object);
      if (sub && !dynamic_cast<TComponent*>(object) && depth < 2)
        AddRows(sub, name + ".", depth + 1);
      continue;
    }
    if (isEvent != FEvents) continue;
    auto row = std::make_unique<TRow>();
    row->Name = name;
    row->Editor = std::move(editor);
    FRows.push_back(std::move(row));
  }
}

void TInspector::Rebuild() {
  for (auto& row : FRows) {
    delete row->Label;
    delete row->Value;
    delete row->Button;
  }
  FRows.clear();
  FFirst = 0;
  FShown = FDesigner ? FDesigner->Selection() : nullptr;
  FShownForm = FDesigner ? FDesigner->Form() : nullptr;
  if (FShown) AddRows(FShown, "", 0);
  for (auto& rowPtr : FRows) {
    TRow* row = rowPtr.get();
    row->Label = new TLabel(this);
    row->Label->SetAutoSize(false);
    row->Label->SetCaption(row->Name);
    row->Label->SetParent(this);
    row->Value = new TEdit(this);
    row->Value->SetParent(this);
    TPropertyAttributes attrs = row->Editor->GetAttributes();
    if (attrs.Contains(paReadOnly)) row->Value->SetReadOnly(true);
    row->Value->OnKeyDown = TKeyEvent([this, row](TObject*, uint16_t& key, TShiftState) {
      if (key != VK_RETURN) return;
      key = 0;
      Commit(*row, row->Value->Text());
    });
    if (FEvents)
      row->Value->OnDblClick = TNotifyEvent([this, row](TObject*) { ProposeHandler(*row); });
    if (attrs.Contains(paValueList) || attrs.Contains(paDialog)) {
      row->Button = new TSpeedButton(this);
      row->Button->SetCaption(attrs.Contains(paDialog) ? "..." : "v");
      row->Button->SetParent(this);
      row->Button->OnClick = TNotifyEvent([this, row](TObject*) {
        if (row->Editor->GetAttributes().Contains(paDialog)) {
          FDesigner->Checkpoint();
          try {
            row->Editor->Edit();
          } catch (const std::exception& e) {
            Report(e.what());
          }
          FDesigner->Modified();
        } else {
          ShowValues(*row);
        }
      });
    }
  }
  RefreshValues();
  Layout();
}

void TInspector::Layout() {
  const int width = ClientWidth();
  const int rows = std::max(1, (ClientHeight() - kTop - kBottom) / kRowHeight);
  FSelector->SetBounds(4, 4, width - 8, 24);
  for (int i = 0; i < RowCount(); ++i) {
    TRow& row = *FRows[i];
    bool shown = i >= FFirst && i < FFirst + rows;
    int y = kTop + (i - FFirst) * kRowHeight;
    int valueWidth = width - kNameWidth - 8 - (row.Button ? 22 : 0);
    row.Label->SetVisible(shown);
    row.Value->SetVisible(shown);
    if (row.Button) row.Button->SetVisible(shown);
    if (!shown) continue;
    row.Label->SetBounds(4, y + 3, kNameWidth - 6, kRowHeight - 4);
    row.Value->SetBounds(kNameWidth, y, valueWidth, kRowHeight - 1);
    if (row.Button) row.Button->SetBounds(kNameWidth + valueWidth + 1, y, 21, kRowHeight - 1);
  }
  const int bottom = ClientHeight() - kBottom;
  FScrollUp->SetBounds(4, bottom + 2, 60, 20);
  FScrollDown->SetBounds(68, bottom + 2, 60, 20);
  FScrollUp->SetEnabled(FFirst > 0);
  FScrollDown->SetEnabled(FFirst + rows < RowCount());
  FStatus->SetBounds(4, bottom + 24, width - 8, 18);
}

void TInspector::RefreshValues() {
  for (auto& row : FRows) {
    std::string value;
    try {
      value = row->Editor->GetValue();
    } catch (const std::exception& e) {
      value = std::string("(") + e.what() + ")";
    }
    if (row->Value->Text() != value) row->Value->SetText(value);
  }
}

TInspector::TRow* TInspector::FindRow(const std::string& name) {
  for (auto& row : FRows)
    if (SameText(row->Name, name)) return row.get();
  return nullptr;
}

TInspector::TRow* TInspector::ShowRow(const std::string& name) {
  for (int i = 0; i < RowCount(); ++i)
    if (SameText(FRows[i]->Name, name)) {
      const int rows = std::max(1, (ClientHeight() - kTop - kBottom) / kRowHeight);
      if (i < FFirst || i >= FFirst + rows) {
        FFirst = std::max(0, i - rows / 2);
        Layout();
      }
      return FRows[i].get();
    }
  return nullptr;
}

bool TInspector::Commit(TRow& row, const std::string& text) {
  try {
    if (row.Editor->GetValue() == text) return true;
    FDesigner->Checkpoint();
    row.Editor->SetValue(text);
    Report("");
    FDesigner->Modified();
    return true;
  } catch (const std::exception& e) {
    // The value stays as it was; the reason is shown below the list.
    Report(row.Name + ": " + e.what());
    RefreshValues();
    return false;
  }
}

std::string TInspector::ConventionalHandler(const std::string& eventName) const {
  if (!FShown) return "";
  std::string event = eventName;
  if (event.size() > 2 && SameText(event.substr(0, 2), "On")) event.erase(0, 2);
  const bool isForm = FDesigner && FShown == FDesigner->Form();
  return (isForm ? std::string("Form") : FShown->Name()) + event;
}

void TInspector::ProposeHandler(TRow& row) {
  const std::string typed = Trim(row.Value->Text());
  if (!typed.empty() || !row.Editor->GetValue().empty()) {
    // A name typed but not yet confirmed is taken as it stands.
    if (typed != row.Editor->GetValue()) Commit(row, typed);
    return;
  }
  const std::string proposed = ConventionalHandler(row.Name);
  for (const std::string& method : row.Editor->GetValues())
    if (SameText(method, proposed)) {
      Commit(row, method);
      return;
    }
  Report("The form class publishes no " + proposed);
}

void TInspector::ShowValues(TRow& row) {
  FValueMenu->Items().Clear();
  auto* set = dynamic_cast<TSetProperty*>(row.Editor.get());
  std::string current = row.Editor->GetValue();
  TRow* target = &row;
  for (const std::string& value : row.Editor->GetValues()) {
    auto* item = new TMenuItem(FValueMenu);
    item->SetCaption(value);
    item->SetChecked(set ? set->Contains(value) : SameText(value, current));
    item->OnClick = TNotifyEvent([this, target, set, value](TObject*) {
      if (set) {
        FDesigner->Checkpoint();
        try {
          set->Toggle(value);
        } catch (const std::exception& e) {
          Report(e.what());
        }
        FDesigner->Modified();
      } else {
        Commit(*target, value);
      }
    });
    FValueMenu->Items().Add(item);
  }
  // A reference or an event may be cleared.
  if (dynamic_cast<TComponentProperty*>(row.Editor.get()) ||
      dynamic_cast<TMethodProperty*>(row.Editor.get())) {
    auto* none = new TMenuItem(FValueMenu);
    none->SetCaption("(none)");
    none->OnClick = TNotifyEvent([this, target](TObject*) { Commit(*target, ""); });
    FValueMenu->Items().Insert(0, none);
  }
  TPoint at = row.Value->ClientToScreen({0, row.Value->Height()});
  FValueMenu->Popup(at.X, at.Y);
}

void TInspector::ShowComponents() {
  FComponentMenu->Items().Clear();
  TCustomForm* form = FDesigner ? FDesigner->Form() : nullptr;
  if (!form) return;
  auto add = [this](TComponent* c) {
    auto* item = new TMenuItem(FComponentMenu);
    item->SetCaption(c->Name() + ": " + c->StreamedClassName());
    // Looked up again when chosen: the component may be gone by then.
    std::string name = c->Name();
    item->OnClick = TNotifyEvent([this, name](TObject*) {
      TCustomForm* f = FDesigner->Form();
      if (!f) return;
      TComponent* found = SameText(f->Name(), name) ? f : f->FindComponent(name);
      if (found) FDesigner->SelectComponent(found);
    });
    FComponentMenu->Items().Add(item);
  };
  add(form);
  for (int i = 0; i < form->ComponentCount(); ++i)
    if (!form->Components(i)->Name().empty()) add(form->Components(i));
  TPoint at = FSelector->ClientToScreen({0, FSelector->Height()});
  FComponentMenu->Popup(at.X, at.Y);
}

}  // namespace tessapack::designer
