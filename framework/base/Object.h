// TObject, the root of every framework class, and TMetaClass, the run-time description of a
// class: its name and parent, its virtual constructor, its published properties (in published
// order), published methods (event handlers bound by name) and published fields (component
// references that a form reader fills in). Classes declare themselves with FW_CLASS in the
// header and define their metaclass with FW_DEFINE_CLASS (see Rtti.h) in the source.
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "framework/base/StrUtils.h"

namespace framework {

class TObject;
class TComponent;
class TMetaClass;

enum TTypeKind { tkInteger, tkEnumeration, tkSet, tkFloat, tkString, tkClass, tkMethod };

// The type of a published property. Enumerations carry their value names; sets carry their
// element type; integers may carry identifiers for some values (colours, cursors); classes
// carry their metaclass.
struct TTypeInfo {
  TTypeInfo() = default;
  TTypeInfo(std::string name, TTypeKind kind) : Name(std::move(name)), Kind(kind) {}
  std::string Name;
  TTypeKind Kind = tkInteger;
  std::vector<std::string> EnumNames;                  // tkEnumeration
  const TTypeInfo* ElementType = nullptr;              // tkSet
  const TMetaClass* ClassType = nullptr;               // tkClass
  std::function<bool(int64_t, std::string&)> IntToIdent;        // tkInteger, optional
  std::function<bool(std::string_view, int64_t&)> IdentToInt;  // tkInteger, optional

  // Enumeration value by name (case-insensitive); -1 when unknown.
  int EnumValue(std::string_view name) const;
  std::string EnumName(int64_t value) const;
};

// One published property: type, accessors, default and stored rule. Ordinal kinds (integer,
// enumeration, set) are accessed as int64_t.
struct TPropInfo {
  std::string Name;
  const TTypeInfo* Type = nullptr;
  std::function<int64_t(const TObject&)> GetOrd;
  std::function<void(TObject&, int64_t)> SetOrd;
  std::function<double(const TObject&)> GetFloat;
  std::function<void(TObject&, double)> SetFloat;
  std::function<std::string(const TObject&)> GetStr;
  std::function<void(TObject&, const std::string&)> SetStr;
  std::function<TObject*(const TObject&)> GetObj;
  std::function<void(TObject&, TObject*)> SetObj;
  std::function<struct TMethodRef(const TObject&)> GetMethod;
  std::function<void(TObject&, const std::any&)> SetMethod;  // the any holds a TEvent<...>
  // Default: an ordinal property writes only values other than DefaultOrd when HasDefault;
  // strings are not written when empty and floats when 0 unless NoDefault was given.
  bool HasDefault = false;
  int64_t DefaultOrd = 0;
  std::function<bool(const TObject&)> Stored;  // empty: stored

  TTypeKind Kind() const { return Type->Kind; }
  bool Writable() const { return SetOrd || SetFloat || SetStr || SetObj || SetMethod; }
  bool IsStored(const TObject& obj) const { return !Stored || Stored(obj); }
};

// A published method: an event handler that a form text can name. Type is the event type
// it fits (the type of the event properties it can be assigned to), recorded when the
// method is published.
struct TMethodInfo {
  std::string Name;
  const TTypeInfo* Type = nullptr;
  std::function<std::any(TObject*)> Make;               // the bound TEvent<...> in an any
  std::function<bool(const std::any&)> SameCode;        // is this member pointer the method?
};

// A published field: the form reader stores each component it creates in the root's field
// of the same name, and the field is cleared when that component is freed.
struct TFieldInfo {
  std::string Name;
  const TMetaClass* Type = nullptr;
  std::function<void(TObject&, TObject*)> Set;  // the component, or nullptr to clear
};

class TMetaClass {
 public:
  using TCreator = std::function<TComponent*(TComponent* owner)>;

  TMetaClass(std::string name, const TMetaClass* parent);
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;

  const std::string& ClassName() const { return FName; }
  const TMetaClass* ClassParent() const { return FParent; }
  bool InheritsFrom(const TMetaClass& other) const;
  // The virtual constructor; raises EInvalidOperation for classes that cannot be created.
  TComponent* Create(TComponent* owner) const;
  bool CanCreate() const { return static_cast<bool>(FCreate); }

  // Published properties in published order, inherited ones first; a property redeclared by
  // a descendant keeps its place.
  const std::vector<const TPropInfo*>& Properties() const { return FAllProps; }
  const TPropInfo* FindProperty(std::string_view name) const;
  // Published methods in published order, inherited ones first; a method republished by a
  // descendant keeps its place.
  const std::vector<const TMethodInfo*>& Methods() const { return FAllMethods; }
  const TMethodInfo* FindMethod(std::string_view name) const;
  std::string MethodName(const std::any& code) const;  // "" when not published here
  const TFieldInfo* FindField(std::string_view name) const;

  // Used by the class definition builder.
  void SetCreator(TCreator creator) { FCreate = std::move(creator); }
  TPropInfo& AddProperty(std::string name);
  void HideProperty(std::string_view name);
  TMethodInfo& AddMethod(std::string name);
  TFieldInfo& AddField(std::string name);
  void Seal();  // computes the published list once the class is defined

 private:
  std::string FName;
  const TMetaClass* FParent;
  TCreator FCreate;
  std::vector<std::unique_ptr<TPropInfo>> FOwnProps;
  std::vector<std::string> FHidden;
  std::vector<const TPropInfo*> FAllProps;
  std::vector<std::unique_ptr<TMethodInfo>> FMethods;
  std::vector<const TMethodInfo*> FAllMethods;
  std::vector<std::unique_ptr<TFieldInfo>> FFields;
};

// Declares the metaclass of a class inside its body.
#define FW_CLASS(TName, TBase)                                                 \
 public:                                                                       \
  using inherited = TBase;                                                     \
  static const ::framework::TMetaClass& StaticClass();                        \
  const ::framework::TMetaClass& ClassType() const override { return StaticClass(); }

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TMetaClass& StaticClass();
  virtual const TMetaClass& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().ClassName(); }
  bool InheritsFrom(const TMetaClass& cls) const { return ClassType().InheritsFrom(cls); }
  // The Pascal "is" and "as" for framework classes.
  template <class T>
  bool Is() const {
    return dynamic_cast<const T*>(this) != nullptr;
  }
};

// The class registry: classes registered by name can be found by name (without regard to
// case) and created through their virtual constructor.
void RegisterClass(const TMetaClass& cls);
void RegisterClasses(std::initializer_list<const TMetaClass*> classes);
void UnRegisterClass(const TMetaClass& cls);
const TMetaClass* GetClass(std::string_view name);  // nullptr when unknown
const TMetaClass& FindClass(std::string_view name);  // EClassNotFound when unknown

}  // namespace framework
