#include "framework/base/Rtti.h"

#include <cxxabi.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <sstream>
#include <typeindex>

namespace framework {

namespace detail {
std::string ShortName(const char* qualified) {
  std::string s(qualified);
  size_t p = s.rfind("::");
  return p == std::string::npos ? s : s.substr(p + 2);
}
}  // namespace detail

const TTypeInfo& IntegerTypeInfo() {
  static const TTypeInfo t{"Integer", tkInteger};
  return t;
}

const TTypeInfo& BooleanTypeInfo() {
  static const TTypeInfo t = MakeEnumType("Boolean", {"False", "True"});
  return t;
}

const TTypeInfo& StringTypeInfo() {
  static const TTypeInfo t{"string", tkString};
  return t;
}

const TTypeInfo& FloatTypeInfo(bool single) {
  static const TTypeInfo s{"Single", tkFloat};
  static const TTypeInfo d{"Double", tkFloat};
  return single ? s : d;
}

const TTypeInfo& MethodTypeInfo(const std::type_info& signature) {
  static std::mutex lock;
  static std::map<std::type_index, std::unique_ptr<TTypeInfo>> types;
  std::lock_guard<std::mutex> hold(lock);
  auto& t = types[std::type_index(signature)];
  if (!t) {
    // Named by its signature without namespaces: "TEvent<TObject*, int>".
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(
        abi::__cxa_demangle(signature.name(), nullptr, nullptr, &status), std::free);
    std::string name = status == 0 && demangled ? demangled.get() : signature.name();
    for (const char* ns : {"framework::", "tessapack::", "std::"})
      for (size_t at; (at = name.find(ns)) != std::string::npos;) name.erase(at, strlen(ns));
    t = std::make_unique<TTypeInfo>(std::move(name), tkMethod);
  }
  return *t;
}

// Type infos created on demand live for the whole program; keyed by what they describe.
const TTypeInfo& ClassTypeInfo(const TMetaClass& cls) {
  static std::map<const TMetaClass*, std::unique_ptr<TTypeInfo>> types;
  auto& t = types[&cls];
  if (!t) {
    t = std::make_unique<TTypeInfo>();
    t->Name = cls.ClassName();
    t->Kind = tkClass;
    t->ClassType = &cls;
  }
  return *t;
}

const TTypeInfo& SetTypeInfo(const TTypeInfo& element) {
  static std::map<const TTypeInfo*, std::unique_ptr<TTypeInfo>> types;
  auto& t = types[&element];
  if (!t) {
    t = std::make_unique<TTypeInfo>();
    t->Name = "set of " + element.Name;
    t->Kind = tkSet;
    t->ElementType = &element;
  }
  return *t;
}

TTypeInfo MakeEnumType(std::string name, std::vector<std::string> names) {
  TTypeInfo t;
  t.Name = std::move(name);
  t.Kind = tkEnumeration;
  t.EnumNames = std::move(names);
  return t;
}

std::string SetToString(const TTypeInfo& setType, int64_t mask) {
  std::string s = "[";
  bool first = true;
  for (int i = 0; i < 64; ++i) {
    if ((static_cast<uint64_t>(mask) >> i) & 1) {
      if (!first) s += ", ";
      s += setType.ElementType->EnumName(i);
      first = false;
    }
  }
  return s + "]";
}

int64_t StringToSet(const TTypeInfo& setType, std::string_view text) {
  std::string t = Trim(text);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']')
    throw EPropertyError("Invalid set value '" + std::string(text) + "'");
  uint64_t mask = 0;
  std::string inner = Trim(std::string_view(t).substr(1, t.size() - 2));
  if (inner.empty()) return 0;
  for (const std::string& part : SplitString(inner, ',')) {
    int v = setType.ElementType->EnumValue(Trim(part));
    if (v < 0 || v >= 64)
      throw EPropertyError("Invalid set element '" + Trim(part) + "' for " + setType.Name);
    mask |= uint64_t{1} << v;
  }
  return static_cast<int64_t>(mask);
}

// ---- access by name ----------------------------------------------------------------------

const TPropInfo* GetPropInfo(const TObject& obj, std::string_view name) {
  return obj.ClassType().FindProperty(name);
}

const TPropInfo& FindPropInfo(const TObject& obj, std::string_view name) {
  const TPropInfo* p = GetPropInfo(obj, name);
  if (!p)
    throw EPropertyError("Property " + std::string(name) + " does not exist in class " +
                         obj.ClassName());
  return *p;
}

bool IsPublishedProp(const TObject& obj, std::string_view name) {
  return GetPropInfo(obj, name) != nullptr;
}

static const TPropInfo& Checked(const TObject& obj, std::string_view name, bool ok(TTypeKind)) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (!ok(p.Kind()))
    throw EPropertyError("Invalid property type: " + p.Name + " of class " + obj.ClassName() +
                         " is of type " + p.Type->Name);
  return p;
}

static bool IsOrd(TTypeKind k) { return k == tkInteger || k == tkEnumeration || k == tkSet; }
static bool IsStr(TTypeKind k) { return k == tkString; }
static bool IsFloat(TTypeKind k) { return k == tkFloat; }
static bool IsClass(TTypeKind k) { return k == tkClass; }
static bool IsMethod(TTypeKind k) { return k == tkMethod; }
static bool IsEnum(TTypeKind k) { return k == tkEnumeration; }
static bool IsSet(TTypeKind k) { return k == tkSet; }

static void ReadOnly(const TPropInfo& p) { throw EPropertyError("Property " + p.Name + " is read-only"); }

int64_t GetOrdProp(const TObject& obj, std::string_view name) {
  return Checked(obj, name, IsOrd).GetOrd(obj);
}

void SetOrdProp(TObject& obj, std::string_view name, int64_t value) {
  const TPropInfo& p = Checked(obj, name, IsOrd);
  if (!p.SetOrd) ReadOnly(p);
  p.SetOrd(obj, value);
}

std::string GetEnumProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = Checked(obj, name, IsEnum);
  return p.Type->EnumName(p.GetOrd(obj));
}

void SetEnumProp(TObject& obj, std::string_view name, std::string_view value) {
  const TPropInfo& p = Checked(obj, name, IsEnum);
  int v = p.Type->EnumValue(value);
  if (v < 0)
    throw EPropertyError("Invalid property value '" + std::string(value) + "' for " + p.Name);
  if (!p.SetOrd) ReadOnly(p);
  p.SetOrd(obj, v);
}

std::string GetSetProp(const TObject& obj, std::string_view name) {
  const TPropInfo& p = Checked(obj, name, IsSet);
  return SetToString(*p.Type, p.GetOrd(obj));
}

void SetSetProp(TObject& obj, std::string_view name, std::string_view value) {
  const TPropInfo& p = Checked(obj, name, IsSet);
  if (!p.SetOrd) ReadOnly(p);
  p.SetOrd(obj, StringToSet(*p.Type, value));
}

std::string GetStrProp(const TObject& obj, std::string_view name) {
  return Checked(obj, name, IsStr).GetStr(obj);
}

void SetStrProp(TObject& obj, std::string_view name, const std::string& value) {
  const TPropInfo& p = Checked(obj, name, IsStr);
  if (!p.SetStr) ReadOnly(p);
  p.SetStr(obj, value);
}

double GetFloatProp(const TObject& obj, std::string_view name) {
  return Checked(obj, name, IsFloat).GetFloat(obj);
}

void SetFloatProp(TObject& obj, std::string_view name, double value) {
  const TPropInfo& p = Checked(obj, name, IsFloat);
  if (!p.SetFloat) ReadOnly(p);
  p.SetFloat(obj, value);
}

TObject* GetObjectProp(const TObject& obj, std::string_view name) {
  return Checked(obj, name, IsClass).GetObj(obj);
}

void SetObjectProp(TObject& obj, std::string_view name, TObject* value) {
  const TPropInfo& p = Checked(obj, name, IsClass);
  if (!p.SetObj) ReadOnly(p);
  p.SetObj(obj, value);
}

TMethodRef GetMethodProp(const TObject& obj, std::string_view name) {
  return Checked(obj, name, IsMethod).GetMethod(obj);
}

static std::string FloatText(double v) {
  std::ostringstream s;
  s.precision(17);
  s << v;
  return s.str();
}

std::string GetPropText(const TObject& obj, std::string_view name) {
  const TPropInfo& p = FindPropInfo(obj, name);
  switch (p.Kind()) {
    case tkInteger: {
      int64_t v = p.GetOrd(obj);
      std::string ident;
      if (p.Type->IntToIdent && p.Type->IntToIdent(v, ident)) return ident;
      return std::to_string(v);
    }
    case tkEnumeration:
      return p.Type->EnumName(p.GetOrd(obj));
    case tkSet:
      return SetToString(*p.Type, p.GetOrd(obj));
    case tkFloat:
      return FloatText(p.GetFloat(obj));
    case tkString:
      return p.GetStr(obj);
    default:
      throw EPropertyError("Property " + p.Name + " has no text value");
  }
}

void SetPropText(TObject& obj, std::string_view name, std::string_view text) {
  const TPropInfo& p = FindPropInfo(obj, name);
  if (!p.Writable()) ReadOnly(p);
  switch (p.Kind()) {
    case tkInteger: {
      int64_t v;
      if (!(p.Type->IdentToInt && p.Type->IdentToInt(Trim(text), v))) {
        try {
          v = StrToInt(text);
        } catch (const EConvertError&) {
          throw EPropertyError("Invalid property value '" + std::string(text) + "' for " + p.Name);
        }
      }
      p.SetOrd(obj, v);
      return;
    }
    case tkEnumeration:
      SetEnumProp(obj, name, Trim(text));
      return;
    case tkSet:
      p.SetOrd(obj, StringToSet(*p.Type, text));
      return;
    case tkFloat: {
      std::string t = Trim(text);
      char* end = nullptr;
      double v = std::strtod(t.c_str(), &end);
      if (t.empty() || *end != 0 || !std::isfinite(v))
        throw EPropertyError("Invalid property value '" + std::string(text) + "' for " + p.Name);
      p.SetFloat(obj, v);
      return;
    }
    case tkString:
      p.SetStr(obj, std::string(text));
      return;
    default:
      throw EPropertyError("Property " + p.Name + " has no text value");
  }
}

}  // namespace framework
