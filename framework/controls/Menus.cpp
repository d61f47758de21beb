#include "framework/controls/Menus.h"

#include <algorithm>

#include "framework/base/Exceptions.h"
#include "framework/base/Rtti.h"
#include "framework/base/StrUtils.h"
#include "framework/classes/Filer.h"
#include "framework/messages/DestroyGuard.h"
#include "framework/widgetset/WidgetSet.h"

namespace framework {

// ---- TMenuItem -------------------------------------------------------------------------------

FW_DEFINE_CLASS(TMenuItem, [](TClassDef<TMenuItem>& d) {
  d.Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  d.Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked).Default(false);
  d.Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled).Default(true);
  d.Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible).Default(true);
  d.Event("OnClick", &TMenuItem::OnClick);
})

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  Destroying();
  Clear();
  if (FParent) FParent->Remove(this);
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError();
  return FItems[index];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  for (const TMenuItem* p = this; p; p = p->FParent)
    if (p == item) throw EInvalidOperation("A menu item cannot contain itself");
  if (item->FParent) item->FParent->Remove(item);
  if (index < 0 || index > Count()) throw EListError();
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
}

void TMenuItem::Delete(int index) { delete Items(index); }

void TMenuItem::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  for (TMenuItem* item : FItems)
    if (SameText(item->Caption(), caption)) return item;
  return nullptr;
}

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

void TMenuItem::GetChildren(const TGetChildProc& proc, TComponent*) {
  for (TMenuItem* item : std::vector<TMenuItem*>(FItems)) proc(item);
}

// An item read from a form joins the item (or the popup menu's root item) it is nested in.
void TMenuItem::ReadState(TReader& reader) {
  if (auto* parent = dynamic_cast<TMenuItem*>(reader.Parent())) parent->Add(this);
  TComponent::ReadState(reader);
}

// ---- TPopupMenu ------------------------------------------------------------------------------

FW_DEFINE_CLASS(TPopupMenu,
                [](TClassDef<TPopupMenu>& d) { d.Event("OnPopup", &TPopupMenu::OnPopup); })

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) {}

TPopupMenu::~TPopupMenu() {
  Destroying();
  Widgetset().MenuDestroyed(*this);
  delete FItems;
}

// OnPopup may free the menu (or the form that owns it): nothing pops up then.
void TPopupMenu::Popup(int x, int y) {
  FPopupPoint = {x, y};
  TDestroyGuard guard(this);
  if (OnPopup) OnPopup(this);
  if (guard.Alive()) Widgetset().PopupMenu(*this, FPopupPoint);
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
  if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
  FPopupComponent = value;
  if (value) value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::GetChildren(const TGetChildProc& proc, TComponent* root) {
  FItems->GetChildren(proc, root);
}

}  // namespace framework
