#include "framework/design/DesignIntf.h"

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

std::string TMethodProperty::GetValue() { return GetMethodProp(*GetComponent(), GetName()).Name; }

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
      return std::make_unique<TClassProperty>(designer, instance, &prop);
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
