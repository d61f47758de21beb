#include "framework/classes/Component.h"

#include <algorithm>

#include "framework/base/Exceptions.h"
#include "framework/base/Rtti.h"
#include "framework/classes/Filer.h"

namespace framework {

namespace detail {
namespace {
std::vector<std::pair<const void*, std::function<void(TComponent*)>>>& Hooks() {
  // Never destroyed: components held by static objects (the screen) are destroyed while the
  // program ends, after a list made on first use would already be gone.
  static auto* hooks = new std::vector<std::pair<const void*, std::function<void(TComponent*)>>>;
  return *hooks;
}
}  // namespace
void AddComponentDestroyedHook(const void* key, std::function<void(TComponent*)> hook) {
  Hooks().emplace_back(key, std::move(hook));
}
void RemoveComponentDestroyedHook(const void* key) {
  std::erase_if(Hooks(), [key](const auto& h) { return h.first == key; });
}
}  // namespace detail

// ---- TPersistent ---------------------------------------------------------------------------

FW_DEFINE_CLASS(TPersistent)

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }
void TPersistent::DefineProperties(TFiler&) {}
void TPersistent::AssignTo(TPersistent& dest) const {
  throw EConvertError("Cannot assign a " + ClassName() + " to a " + dest.ClassName());
}

// ---- TComponent ----------------------------------------------------------------------------

FW_DEFINE_CLASS(TComponent, [](TClassDef<TComponent>& d) {
  // The name is written in the object header, not as a property.
  d.Property("Name", &TComponent::Name, &TComponent::SetName).Stored(false);
  d.Property("Tag", &TComponent::Tag, &TComponent::SetTag).Default(0);
})

TComponent::TComponent(TComponent* owner) {
  if (owner) owner->InsertComponent(this);
}

void* TComponent::operator new(std::size_t size) { return ::operator new(size); }

void TComponent::operator delete(void* memory) { ::operator delete(memory); }

void TComponent::operator delete(TComponent* component, std::destroying_delete_t) {
  void* memory = dynamic_cast<void*>(component);
  component->BeforeDestruction();
  component->~TComponent();
  ::operator delete(memory);
}

void TComponent::BeforeDestruction() {
  if (FBeforeDestructionDone) return;
  FBeforeDestructionDone = true;
  Destroying();
  for (size_t i = 0; i < detail::Hooks().size(); ++i) detail::Hooks()[i].second(this);
  // Tell the components that asked for it; they may unregister while we walk.
  while (!FFreeNotifies.empty()) {
    TComponent* c = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    c->RemoveFreeNotification(this);
    c->Notification(this, opRemove);
  }
  if (FOwner) {
    SetReference(false);
    FOwnerNotified = true;
    FOwner->Notification(this, opRemove);
  }
}

TComponent::~TComponent() {
  BeforeDestruction();
  DestroyComponents();
  if (!FOwner) return;
  if (FOwnerNotified)
    FOwner->Remove(this);
  else
    FOwner->RemoveComponent(this);
}

void TComponent::Destroying() {
  if (FComponentState.Contains(csDestroying)) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value)
    FComponentState.Include(csDesigning);
  else
    FComponentState.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : FComponents) c->SetDesigning(value, true);
}

void TComponent::SetComponentState(TComponentStateItem item, bool on) {
  if (on)
    FComponentState.Include(item);
  else
    FComponentState.Exclude(item);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError();
  return FComponents[index];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto& list = FOwner->FComponents;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const {
  if (name.empty()) return nullptr;
  auto it = FNameIndex.find(name);
  return it == FNameIndex.end() ? nullptr : it->second;
}

void TComponent::ValidateRename(TComponent* component, const std::string& curName,
                                const std::string& newName) {
  if (!newName.empty() && !SameText(curName, newName)) {
    TComponent* other = FindComponent(newName);
    if (other && other != component)
      throw EComponentError("A component named " + newName + " already exists");
  }
}

void TComponent::SetName(const std::string& value) {
  if (FName == value) return;
  if (!value.empty() && !IsValidIdent(value))
    throw EComponentError("'" + value + "' is not a valid component name");
  if (FOwner)
    FOwner->ValidateRename(this, FName, value);
  else
    ValidateRename(nullptr, FName, value);
  SetReference(false);
  if (FOwner && !FName.empty()) FOwner->FNameIndex.erase(FName);
  FName = value;
  if (FOwner && !FName.empty()) FOwner->FNameIndex[FName] = this;
  SetReference(true);
}

// Keeps the owner's published field of the same name pointing at this component.
void TComponent::SetReference(bool enable) {
  if (!FOwner || FName.empty()) return;
  if (const TFieldInfo* f = FOwner->ClassType().FindField(FName)) {
    TObject* value = enable ? static_cast<TObject*>(this) : nullptr;
    if (!enable || InheritsFrom(*f->Type)) f->Set(*FOwner, value);
  }
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component) return;
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  ValidateRename(component, "", component->FName);
  ValidateInsert(component);
  Insert(component);
  component->SetReference(true);
  if (IsDesigning()) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->FOwner != this) return;
  component->SetReference(false);
  Notification(component, opRemove);
  Remove(component);
  component->FOwnerNotified = false;  // a later owner is told again
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  if (!component->FName.empty()) FNameIndex[component->FName] = component;
  component->FOwner = this;
}

void TComponent::Remove(TComponent* component) {
  // Components are usually removed last-first, so search from the back.
  auto it = std::find(FComponents.rbegin(), FComponents.rend(), component);
  if (it != FComponents.rend()) FComponents.erase(std::next(it).base());
  if (!component->FName.empty()) {
    auto n = FNameIndex.find(component->FName);
    if (n != FNameIndex.end() && n->second == component) FNameIndex.erase(n);
  }
  component->FOwner = nullptr;
}

// Each owned component still sees its owner while it is destroyed, and removes itself
// from the owner (which is notified) at the end.
void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    delete c;
    if (!FComponents.empty() && FComponents.back() == c) FComponents.pop_back();  // defensive
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
    FFreeNotifies.push_back(component);
    component->FreeNotification(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component);
  if (it == FFreeNotifies.end()) return;
  FFreeNotifies.erase(it);
  component->RemoveFreeNotification(this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
}

TKeptStreamData& TComponent::KeepStreamData() {
  if (!FKept) FKept = std::make_unique<TKeptStreamData>();
  return *FKept;
}

void TComponent::SetDesignPosition(int left, int top) {
  auto word = [](int v) { return static_cast<uint32_t>(std::clamp(v, 0, 0xFFFF)); };
  FDesignInfo = word(left) | word(top) << 16;
}

static int ReadWord(TReader& r) {
  return static_cast<int>(std::clamp<int64_t>(r.ReadInteger(), 0, 0xFFFF));
}

void TComponent::DefineProperties(TFiler& filer) {
  TPersistent::DefineProperties(filer);
  const bool stored = FDesignInfo != 0;
  filer.DefineProperty(
      "Left", [this](TReader& r) { SetDesignPosition(ReadWord(r), DesignTop()); },
      [this](TWriter& w) { w.WriteInteger(DesignLeft()); }, stored);
  filer.DefineProperty(
      "Top", [this](TReader& r) { SetDesignPosition(DesignLeft(), ReadWord(r)); },
      [this](TWriter& w) { w.WriteInteger(DesignTop()); }, stored);
}

std::string TComponent::StreamedClassName() const {
  return FKept && !FKept->ClassName.empty() ? FKept->ClassName : ClassName();
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::ReadState(TReader& reader) { reader.ReadData(this); }

void TComponent::WriteState(TWriter& writer) { writer.WriteData(this); }

void TComponent::GetChildren(const TGetChildProc&, TComponent*) {}
TComponent* TComponent::GetChildOwner() { return nullptr; }
TComponent* TComponent::GetChildParent() { return this; }

}  // namespace framework
