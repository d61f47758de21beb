// Design-time services, the IDE's side as an API: the component palette (classes by page),
// component editors (verbs and double-click), property editors (attributes, value text,
// edit) with their registries, chosen for a component by class and property.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/base/Rtti.h"
#include "framework/classes/Component.h"
#include "framework/design/Designer.h"

namespace framework {

// ---- palette ---------------------------------------------------------------------------------
struct TPaletteEntry {
  std::string Page;
  const TMetaClass* Class = nullptr;
};
// Puts classes on a palette page (and registers them with the class registry).
void RegisterComponents(const std::string& page, std::initializer_list<const TMetaClass*> classes);
const std::vector<TPaletteEntry>& PaletteEntries();
std::vector<const TMetaClass*> PaletteClasses(const std::string& page);

// ---- component editors -------------------------------------------------------------------------
class TComponentEditor {
 public:
  TComponentEditor(TComponent* component, IDesigner* designer)
      : FComponent(component), FDesigner(designer) {}
  virtual ~TComponentEditor() = default;
  virtual int GetVerbCount() { return 0; }
  virtual std::string GetVerb(int) { return ""; }
  virtual void ExecuteVerb(int) {}
  // The double-click action: the first verb when there is one.
  virtual void Edit();
  TComponent* Component() const { return FComponent; }
  IDesigner* Designer() const { return FDesigner; }

 private:
  TComponent* FComponent;
  IDesigner* FDesigner;
};

// The default editor: double-click opens the handler of the component's main event
// (OnCreate, else OnChange, else OnClick, else its first event) through EditProperty.
class TDefaultEditor : public TComponentEditor {
 public:
  using TComponentEditor::TComponentEditor;
  void Edit() override;

 protected:
  // Called with the chosen event's editor; the default asks it to Edit (which asks the
  // designer to show the method).
  virtual void EditProperty(TPropertyEditor& editor);
};

using TComponentEditorFactory = std::function<std::unique_ptr<TComponentEditor>(TComponent*, IDesigner*)>;
void RegisterComponentEditor(const TMetaClass& componentClass, TComponentEditorFactory factory);
template <class E>
void RegisterComponentEditor(const TMetaClass& componentClass) {
  RegisterComponentEditor(componentClass, [](TComponent* c, IDesigner* d) {
    return std::unique_ptr<TComponentEditor>(std::make_unique<E>(c, d));
  });
}
// The editor registered for the nearest class of the component, else a TDefaultEditor.
std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent* component, IDesigner* designer);

// ---- property editors ----------------------------------------------------------------------------
enum TPropertyAttribute { paValueList, paSubProperties, paDialog, paMultiSelect, paAutoUpdate, paSortList, paReadOnly, paRevertable };
using TPropertyAttributes = TSet<TPropertyAttribute>;

class TPropertyEditor {
 public:
  TPropertyEditor(IDesigner* designer, TPersistent* instance, const TPropInfo* prop)
      : FDesigner(designer), FInstance(instance), FProp(prop) {}
  virtual ~TPropertyEditor() = default;
  virtual TPropertyAttributes GetAttributes() { return {paRevertable}; }
  // The value as the inspector shows it, and set from the inspector's text.
  virtual std::string GetValue();
  virtual void SetValue(const std::string& value);
  virtual void Edit() {}
  // The values an inspector offers in its list (paValueList); none by default.
  virtual std::vector<std::string> GetValues() { return {}; }
  std::string GetName() const;
  TPersistent* GetComponent(int index = 0) const { return index == 0 ? FInstance : nullptr; }
  const TPropInfo* GetPropInfo() const { return FProp; }
  IDesigner* Designer() const { return FDesigner; }
  void Modified() {
    if (FDesigner) FDesigner->Modified();
  }

 private:
  IDesigner* FDesigner;
  TPersistent* FInstance;
  const TPropInfo* FProp;
};

class TIntegerProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
};

// Enumerations (booleans included): the value is chosen from the names of the type.
class TEnumProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override { return {paValueList, paSortList, paRevertable}; }
  std::vector<std::string> GetValues() override { return GetPropInfo()->Type->EnumNames; }
};

// Sets: "[a,b]"; the values are the element names, each switched on or off by Toggle.
class TSetProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override { return {paValueList, paRevertable}; }
  std::vector<std::string> GetValues() override;
  bool Contains(const std::string& element);
  void Toggle(const std::string& element);
};

// References to other components of the form: the value is the component's name (empty
// for none); the values are the names of the root's components that fit the property.
class TComponentProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override { return {paValueList, paSortList, paRevertable}; }
  std::string GetValue() override;
  void SetValue(const std::string& value) override;
  std::vector<std::string> GetValues() override;

 private:
  TComponent* Root() const;
};

// Class properties show "(TClassName)" and expand into sub-properties.
class TClassProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override { return {paSubProperties, paReadOnly}; }
  std::string GetValue() override;
};

// Events: the value is the handler's name; Edit asks the designer to show the handler.
// A name that the root's class publishes binds the event; any other name (a handler the
// designer cannot see, as in a form whose class is compiled elsewhere) is kept with the
// component's stream data and written back as it is. An empty name clears the event.
// The values offered are the methods of the form's class that fit the event's type (see
// FormClassOf); a name that class publishes for another event type is refused.
class TMethodProperty : public TPropertyEditor {
 public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() override;
  std::string GetValue() override;
  void SetValue(const std::string& value) override;
  std::vector<std::string> GetValues() override;
  void Edit() override;
};

// The class whose published methods a form's events may name: the registered class the
// root is stored as (a designer may read a form of a class compiled elsewhere into a
// stand-in that keeps the stored class name), else the root's own class.
const TMetaClass& FormClassOf(const TComponent& root);
// The methods of cls that fit an event of eventType, in published order.
std::vector<std::string> MethodsFitting(const TMetaClass& cls, const TTypeInfo& eventType);

using TPropertyEditorFactory =
    std::function<std::unique_ptr<TPropertyEditor>(IDesigner*, TPersistent*, const TPropInfo*)>;
// Registers an editor for properties of a type, of a class (and descendants; nullptr: any)
// and of a name (empty: any). The latest matching registration wins.
void RegisterPropertyEditor(const TTypeInfo& propertyType, const TMetaClass* componentClass,
                            const std::string& propertyName, TPropertyEditorFactory factory);
template <class E>
void RegisterPropertyEditor(const TTypeInfo& propertyType, const TMetaClass* componentClass,
                            const std::string& propertyName) {
  RegisterPropertyEditor(propertyType, componentClass, propertyName,
                         [](IDesigner* d, TPersistent* i, const TPropInfo* p) {
                           return std::unique_ptr<TPropertyEditor>(std::make_unique<E>(d, i, p));
                         });
}
std::unique_ptr<TPropertyEditor> CreatePropertyEditor(IDesigner* designer, TPersistent* instance,
                                                      const TPropInfo& prop);

}  // namespace framework
