#include "framework/design/DesignIntf.h"

#include <any>

#include "framework/base/StrUtils.h"
#include "framework/classes/Persistent.h"

namespace framework {

namespace {
std::vector<TPaletteEntry>& Palette() {
  static std::vector<TPaletteEntry> palette;
  return palette;
}
std::vector<std::pair<const TMetaClass*, TComponentEditorFactory>>& ComponentEditors() {
  static std::vector<std::pair<const TMetaClass*, TComponentEditorFactory>> editors;
  return editors;
}
struct TPropEditorReg {
  const TTypeInfo* Type;
  const TMetaClass* Class;
  std::string Name;
  TPropertyEditorFactory Factory;
};
std::vector<TPropEditorReg>& PropertyEditors() {
  static std::vector<TPropEditorReg> editors;
  return editors;
}
}  // namespace

void RegisterComponents(const std::string& page, std::initializer_list<const TMetaClass*> classes) {
  for (const TMetaClass* c : classes) {
    RegisterClass(*c);
    std::erase_if(Palette(), [c](const TPaletteEntry& e) { return e.Class == c; });
    Palette().push_back({page, c});
  }
}

const std::vector<TPaletteEntry>& PaletteEntries() { return Palette(); }

std::vector<const TMetaClass*> PaletteClasses(const std::string& page) {
  std::vector<const TMetaClass*> v;
  for (const auto& e : Palette())
    if (SameText(e.Page, page)) v.push_back(e.Class);
  return v;
}

void TComponentEditor::Edit() {
  if (GetVerbCount() > 0) ExecuteVerb(0);
}

void TDefaultEditor::Edit() {
  if (!Designer()) return;
  auto editors = Designer()->GetPropertyEditors(Component());
  TPropertyEditor* best = nullptr;
  int bestRank = 4;
  for (auto& e : editors) {
    if (e->GetPropInfo()->Kind() != tkMethod) continue;
    static const char* kPreferred[] = {"OnCreate", "OnChange", "OnClick"};
    int rank = 3;
    for (int i = 0; i < 3; ++i)
      if (SameText(e->GetName(), kPreferred[i])) rank = i;
    if (rank < bestRank) {
      bestRank = rank;
      best = e.get();
    }
  }
  if (best) EditProperty(*best);
}

void TDefaultEditor::EditProperty(TPropertyEditor& editor) { editor.Edit(); }

void RegisterComponentEditor(const TMetaClass& componentClass, TComponentEditorFactory factory) {
  ComponentEditors().emplace_back(&componentClass, std::move(factory));
}

std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent* component, IDesigner* designer) {
  const TComponentEditorFactory* best = nullptr;
  int bestDepth = -1;
  for (const auto& [cls, factory] : ComponentEditors()) {
    if (!component->InheritsFrom(*cls)) continue;
    int depth = 0;
    for (const TMetaClass* c = cls; c; c = c->ClassParent()) ++depth;
    if (depth >= bestDepth) {
      bestDepth = depth;
      best = &factory;
    }
  }
  if (best) return (*best)(component, designer);
  return std::make_unique<TDefaultEditor>(component, designer);
}

// ---- property editors ----------------------------------------------------------------------------

std::string TPropertyEditor::GetName() const { return FProp->Name; }

std::string TPropertyEditor::GetValue() { return GetPropText(*FInstance, FProp->Name); }

void TPropertyEditor::SetValue(const std::string& value) {
  SetPropText(*FInstance, FProp->Name, value);
  Modified();
}

std::string TClassProperty::GetValue() { return "(" + GetPropInfo()->Type->Name + ")"; }

std::vector<std::string> TSetProperty::GetValues() {
  const TTypeInfo* element = GetPropInfo()->Type->ElementType;
  return element ? element->EnumNames : std::vector<std::string>();
}

bool TSetProperty::Contains(const std::string& element) {
  const TTypeInfo* type = GetPropInfo()->Type->ElementType;
  int bit = type ? type->EnumValue(element) : -1;
  return bit >= 0 && (GetOrdProp(*GetComponent(), GetName()) >> bit & 1) != 0;
}

void TSetProperty::Toggle(const std::string& element) {
  const TTypeInfo* type = GetPropInfo()->Type->ElementType;
  int bit = type ? type->EnumValue(element) : -1;
  if (bit < 0) throw EPropertyError("'" + element + "' is not an element of " + GetName());
  SetOrdProp(*GetComponent(), GetName(),
             GetOrdProp(*GetComponent(), GetName()) ^ (int64_t{1} << bit));
  Modified();
}

TComponent* TComponentProperty::Root() const {
  auto* c = dynamic_cast<TComponent*>(GetComponent());
  while (c && c->Owner()) c = c->Owner();
  return c;
}

std::string TComponentProperty::GetValue() {
  auto* c = dynamic_cast<TComponent*>(GetObjectProp(*GetComponent(), GetName()));
  return c ? c->Name() : std::string();
}

void TComponentProperty::SetValue(const std::string& value) {
  std::string name = Trim(value);
  TComponent* target = nullptr;
  if (!name.empty()) {
    TComponent* root = Root();
    target = root ? (SameText(root->Name(), name) ? root : root->FindComponent(name)) : nullptr;
    if (!target) throw EPropertyError("No component named '" + name + "' on the form");
  }
  SetObjectProp(*GetComponent(), GetName(), target);
  Modified();
}

std::vector<std::string> TComponentProperty::GetValues() {
  std::vector<std::string> names;
  TComponent* root = Root();
  const TMetaClass* wanted = GetPropInfo()->Type->ClassType;
  if (!root) return names;
  auto fits = [&](TComponent* c) {
    return c != GetComponent() && !c->Name().empty() && (!wanted || c->InheritsFrom(*wanted));
  };
  if (fits(root)) names.push_back(root->Name());
  for (int i = 0; i < root->ComponentCount(); ++i)
    if (fits(root->Components(i))) names.push_back(root->Components(i)->Name());
  return names;
}

std::string TMethodProperty::GetValue() {
  std::string name = GetMethodProp(*GetComponent(), GetName()).Name;
  if (!name.empty()) return name;
  if (auto* c = dynamic_cast<TComponent*>(GetComponent()); c && c->KeptStreamData())
    for (const auto& [path, text] : c->KeptStreamData()->Properties)
      if (SameText(path, GetName())) return text;
  return "";
}

namespace {
TComponent* RootOf(TPersistent* instance) {
  auto* c = dynamic_cast<TComponent*>(instance);
  while (c && c->Owner()) c = c->Owner();
  return c;
}
}  // namespace

const TMetaClass& FormClassOf(const TComponent& root) {
  const TMetaClass* stored = GetClass(root.StreamedClassName());
  return stored && stored->InheritsFrom(root.ClassType()) ? *stored : root.ClassType();
}

std::vector<std::string> MethodsFitting(const TMetaClass& cls, const TTypeInfo& eventType) {
  std::vector<std::string> names;
  for (const TMethodInfo* m : cls.Methods())
    if (m->Type == &eventType) names.push_back(m->Name);
  return names;
}

TPropertyAttributes TMethodProperty::GetAttributes() {
  if (GetValues().empty()) return {paRevertable};
  return {paValueList, paRevertable};
}

std::vector<std::string> TMethodProperty::GetValues() {
  TComponent* root = RootOf(GetComponent());
  if (!root) return {};
  return MethodsFitting(FormClassOf(*root), *GetPropInfo()->Type);
}

void TMethodProperty::SetValue(const std::string& value) {
  auto* component = dynamic_cast<TComponent*>(GetComponent());
  if (!component) return;
  std::string name = Trim(value);
  if (!name.empty() && !IsValidIdent(name))
    throw EPropertyError("'" + name + "' is not a valid method name");
  TComponent* root = RootOf(component);
  const TPropInfo* prop = GetPropInfo();
  // A method the form's class publishes must fit the event; names it does not publish
  // are handlers the designer cannot see and are kept as they are.
  if (const TMethodInfo* known = name.empty() ? nullptr : FormClassOf(*root).FindMethod(name);
      known && known->Type && known->Type != prop->Type)
    throw EPropertyError("Method " + known->Name + " is a " + known->Type->Name + ", not a " +
                         prop->Type->Name + " as " + GetName() + " needs");
  // The event holds a bound method or a kept name, never both.
  if (component->KeptStreamData())
    std::erase_if(component->KeepStreamData().Properties,
                  [&](const auto& p) { return SameText(p.first, GetName()); });
  const TMethodInfo* method = name.empty() ? nullptr : root->ClassType().FindMethod(name);
  if (method && prop->SetMethod) {
    prop->SetMethod(*component, method->Make(root));
  } else {
    if (prop->SetMethod) prop->SetMethod(*component, std::any());
    if (!name.empty()) component->KeepStreamData().Properties.emplace_back(GetName(), name);
  }
  Modified();
}

void TMethodProperty::Edit() {
  if (Designer()) Designer()->ShowMethod(dynamic_cast<TComponent*>(GetComponent()), GetName());
}

void RegisterPropertyEditor(const TTypeInfo& propertyType, const TMetaClass* componentClass,
                            const std::string& propertyName, TPropertyEditorFactory factory) {
  PropertyEditors().push_back({&propertyType, componentClass, propertyName, std::move(factory)});
}

static bool TypeMatches(const TTypeInfo& registered, const TTypeInfo& actual) {
  if (&registered == &actual) return true;
  return registered.Kind == tkClass && actual.Kind == tkClass && actual.ClassType &&
         registered.ClassType && actual.ClassType->InheritsFrom(*registered.ClassType);
}

std::unique_ptr<TPropertyEditor> CreatePropertyEditor(IDesigner* designer, TPersistent* instance,
                                                      const TPropInfo& prop) {
  auto& regs = PropertyEditors();
  for (auto it = regs.rbegin(); it != regs.rend(); ++it) {
    if (!TypeMatches(*it->Type, *prop.Type)) continue;
    if (it->Class && !instance->InheritsFrom(*it->Class)) continue;
    if (!it->Name.empty() && !SameText(it->Name, prop.Name)) continue;
    return it->Factory(designer, instance, &prop);
  }
  switch (prop.Kind()) {
    case tkClass:
      if (prop.Type->ClassType && prop.Type->ClassType->InheritsFrom(TComponent::StaticClass()))
        return std::make_unique<TComponentProperty>(designer, instance, &prop);
      return std::make_unique<TClassProperty>(designer, instance, &prop);
    case tkEnumeration:
      return std::make_unique<TEnumProperty>(designer, instance, &prop);
    case tkSet:
      return std::make_unique<TSetProperty>(designer, instance, &prop);
    case tkMethod:
      return std::make_unique<TMethodProperty>(designer, instance, &prop);
    case tkInteger:
      return std::make_unique<TIntegerProperty>(designer, instance, &prop);
    default:
      return std::make_unique<TPropertyEditor>(designer, instance, &prop);
  }
}

std::vector<std::unique_ptr<TPropertyEditor>> IDesigner::GetPropertyEditors(TComponent* component) {
  std::vector<std::unique_ptr<TPropertyEditor>> v;
  for (const TPropInfo* p : component->ClassType().Properties())
    v.push_back(CreatePropertyEditor(this, component, *p));
  return v;
}

}  // namespace framework
