// Published-property RTTI: the type information of property values, the declarative class
// definition builder, and reading or setting a published property by name.
//
// A class declares FW_CLASS(TName, TBase) in its body and defines its published interface
// in its source file, in published order:
//
//   FW_DEFINE_CLASS(TPanel, [](TClassDef<TPanel>& d) {
//     d.Property("Align", &TControl::GetAlign, &TControl::SetAlign).Default(alNone);
//     d.Property("Caption", &TControl::GetText, &TControl::SetText);
//     d.Property("OnClick", [](const TPanel& p) { return p.OnClick; },
//                [](TPanel& p, TNotifyEvent e) { p.OnClick = e; });
//   })
//
// Getters are member functions, data members or callables taking const T&; setters are
// member functions or callables taking (T&, value). The value type decides the property's
// kind: integers, bool, enumerations (declared with FW_DECLARE_ENUM / FW_DEFINE_ENUM),
// TSet<E>, float/double, std::string, pointers to framework classes, TEvent<...>.
// Modifiers apply to the property declared last: Default(v), NoDefault(), Stored(...).
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <typeinfo>
#include <utility>

#include "framework/base/Events.h"
#include "framework/base/Exceptions.h"
#include "framework/base/Object.h"
#include "framework/base/Types.h"

namespace framework {

// TTypeOf<T>::Get() gives the type information of a property value type.
template <class T, class Enable = void>
struct TTypeOf {
  static_assert(sizeof(T) == 0, "no type information: declare it with FW_DECLARE_ENUM");
};

const TTypeInfo& IntegerTypeInfo();
const TTypeInfo& BooleanTypeInfo();
const TTypeInfo& StringTypeInfo();
const TTypeInfo& FloatTypeInfo(bool single);
// One type per event signature (TNotifyEvent, TMouseEvent, ...), so that an event property
// and the published methods that fit it share one type. Keyed by the signature's type_info,
// which compares by name, so a package loaded at run time finds the host's type.
const TTypeInfo& MethodTypeInfo(const std::type_info& signature);
const TTypeInfo& ClassTypeInfo(const TMetaClass& cls);
const TTypeInfo& SetTypeInfo(const TTypeInfo& element);
TTypeInfo MakeEnumType(std::string name, std::vector<std::string> names);

template <class T>
struct TTypeOf<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
  static const TTypeInfo& Get() { return IntegerTypeInfo(); }
};
template <>
struct TTypeOf<bool> {
  static const TTypeInfo& Get() { return BooleanTypeInfo(); }
};
template <>
struct TTypeOf<std::string> {
  static const TTypeInfo& Get() { return StringTypeInfo(); }
};
template <class T>
struct TTypeOf<T, std::enable_if_t<std::is_floating_point_v<T>>> {
  static const TTypeInfo& Get() { return FloatTypeInfo(sizeof(T) == 4); }
};
template <class... A>
struct TTypeOf<TEvent<A...>> {
  static const TTypeInfo& Get() { return MethodTypeInfo(typeid(TEvent<A...>)); }
};
template <class C>
struct TTypeOf<C*, std::enable_if_t<std::is_base_of_v<TObject, C>>> {
  static const TTypeInfo& Get() { return ClassTypeInfo(C::StaticClass()); }
};
template <class E>
struct TTypeOf<TSet<E>> {
  static const TTypeInfo& Get() { return SetTypeInfo(TTypeOf<E>::Get()); }
};

template <class T>
const TTypeInfo& TypeOf() {
  return TTypeOf<T>::Get();
}

// Declare (in a header, at global scope) and define (in the source, at global scope) the
// type information of an enumeration whose values are 0, 1, 2, ... in the order named.
#define FW_DECLARE_ENUM(TEnum)                     \
  template <>                                      \
  struct framework::TTypeOf<TEnum> {               \
    static const ::framework::TTypeInfo& Get();    \
  };
#define FW_DEFINE_ENUM(TEnum, Name, ...)                                                 \
  const ::framework::TTypeInfo& framework::TTypeOf<TEnum>::Get() {                       \
    static const ::framework::TTypeInfo info = ::framework::MakeEnumType(Name, {__VA_ARGS__}); \
    return info;                                                                         \
  }

namespace detail {
template <class V>
int64_t ToOrd(const V& v) {
  if constexpr (std::is_same_v<V, bool>)
    return v ? 1 : 0;
  else if constexpr (std::is_enum_v<V>)
    return static_cast<int64_t>(v);
  else if constexpr (std::is_integral_v<V>)
    return static_cast<int64_t>(v);
  else
    return static_cast<int64_t>(v.Mask());  // TSet
}
template <class V>
V FromOrd(int64_t o) {
  if constexpr (std::is_same_v<V, bool>)
    return o != 0;
  else if constexpr (std::is_enum_v<V> || std::is_integral_v<V>)
    return static_cast<V>(o);
  else
    return V::FromMask(static_cast<uint64_t>(o));
}
template <class V>
inline constexpr bool IsOrdinal =
    std::is_integral_v<V> || std::is_enum_v<V> || requires(V v) { v.Mask(); };
std::string ShortName(const char* qualified);
}  // namespace detail

template <class T>
class TClassDef {
 public:
  explicit TClassDef(TMetaClass& meta) : FMeta(meta) {}

  template <class G, class S = std::nullptr_t>
  TClassDef& Property(std::string name, G get, S set = nullptr) {
    using V = std::remove_cvref_t<std::invoke_result_t<G, const T&>>;
    TPropInfo& p = FMeta.AddProperty(std::move(name));
    p.Type = &TypeOf<V>();
    constexpr bool kSet = !std::is_same_v<S, std::nullptr_t>;
    if constexpr (detail::IsOrdinal<V>) {
      p.GetOrd = [get](const TObject& o) {
        return detail::ToOrd<V>(std::invoke(get, static_cast<const T&>(o)));
      };
      if constexpr (kSet)
        p.SetOrd = [set](TObject& o, int64_t v) {
          std::invoke(set, static_cast<T&>(o), detail::FromOrd<V>(v));
        };
    } else if constexpr (std::is_floating_point_v<V>) {
      p.HasDefault = true;
      p.GetFloat = [get](const TObject& o) {
        return static_cast<double>(std::invoke(get, static_cast<const T&>(o)));
      };
      if constexpr (kSet)
        p.SetFloat = [set](TObject& o, double v) {
          std::invoke(set, static_cast<T&>(o), static_cast<V>(v));
        };
    } else if constexpr (std::is_same_v<V, std::string>) {
      p.HasDefault = true;
      p.GetStr = [get](const TObject& o) {
        return std::string(std::invoke(get, static_cast<const T&>(o)));
      };
      if constexpr (kSet)
        p.SetStr = [set](TObject& o, const std::string& v) {
          std::invoke(set, static_cast<T&>(o), v);
        };
    } else if constexpr (std::is_pointer_v<V>) {
      using C = std::remove_pointer_t<V>;
      p.GetObj = [get](const TObject& o) -> TObject* {
        return std::invoke(get, static_cast<const T&>(o));
      };
      if constexpr (kSet)
        p.SetObj = [set](TObject& o, TObject* v) {
          C* c = dynamic_cast<C*>(v);
          if (v != nullptr && c == nullptr) throw EPropertyError("Invalid property value");
          std::invoke(set, static_cast<T&>(o), c);
        };
    } else {  // TEvent<...>
      p.GetMethod = [get](const TObject& o) {
        return TMethodRef(std::invoke(get, static_cast<const T&>(o)).Ref());
      };
      if constexpr (kSet)
        p.SetMethod = [set](TObject& o, const std::any& v) {
          if (!v.has_value()) {  // an empty value clears the event
            std::invoke(set, static_cast<T&>(o), V());
            return;
          }
          const V* e = std::any_cast<V>(&v);
          if (e == nullptr) throw EPropertyError("Incompatible method signature");
          std::invoke(set, static_cast<T&>(o), *e);
        };
    }
    FLast = &p;
    return *this;
  }

  // The stored default of the last property (ordinal, float or string).
  template <class V>
  TClassDef& Default(const V& v) {
    FLast->HasDefault = true;
    if constexpr (detail::IsOrdinal<V>)
      FLast->DefaultOrd = detail::ToOrd<V>(v);
    else
      static_assert(detail::IsOrdinal<V>, "only ordinal properties take a default");
    return *this;
  }
  // The last property has no default: it is always written.
  TClassDef& NoDefault() {
    FLast->HasDefault = false;
    return *this;
  }
  TClassDef& Stored(bool stored) {
    if (stored)
      FLast->Stored = nullptr;
    else
      FLast->Stored = [](const TObject&) { return false; };
    return *this;
  }
  template <class F>
  TClassDef& StoredIf(F f) {
    FLast->Stored = [f](const TObject& o) { return f(static_cast<const T&>(o)); };
    return *this;
  }
  // An event property backed by a public event field of T (or of a base of T).
  template <class C, class E>
  TClassDef& Event(std::string name, E C::*field) {
    return Property(std::move(name), field, [field](T& o, E v) { o.*field = v; });
  }
  // A property backed directly by a public field (no setter logic).
  template <class C, class V>
  TClassDef& FieldProperty(std::string name, V C::*field) {
    return Property(std::move(name), field, [field](T& o, V v) { o.*field = v; });
  }
  // Removes an inherited property from this class's published list.
  TClassDef& Hide(std::string_view name) {
    FMeta.HideProperty(name);
    return *this;
  }

  // A published method (event handler) of T, bound by name by the form reader.
  template <class U, class... A>
  TClassDef& Method(std::string name, void (U::*method)(A...)) {
    TMethodInfo& m = FMeta.AddMethod(std::move(name));
    m.Type = &TypeOf<TEvent<A...>>();
    m.Make = [method](TObject* o) -> std::any {
      return TEvent<A...>(static_cast<T*>(o), method);
    };
    m.SameCode = [method](const std::any& a) {
      auto p = std::any_cast<void (U::*)(A...)>(&a);
      return p != nullptr && *p == method;
    };
    return *this;
  }

  // A published field of T that holds a component created by the form reader.
  template <class C>
  TClassDef& Field(std::string name, C* T::*field) {
    TFieldInfo& f = FMeta.AddField(std::move(name));
    f.Type = &C::StaticClass();
    f.Set = [field](TObject& o, TObject* c) { static_cast<T&>(o).*field = dynamic_cast<C*>(c); };
    return *this;
  }

 private:
  TMetaClass& FMeta;
  TPropInfo* FLast = nullptr;
};

namespace detail {
template <class T, class B>
void Build(TMetaClass& meta, B builder) {
  if constexpr (std::is_constructible_v<T, TComponent*> && !std::is_abstract_v<T>)
    meta.SetCreator([](TComponent* owner) -> TComponent* { return new T(owner); });
  TClassDef<T> def(meta);
  builder(def);
  meta.Seal();
}
template <class T>
void Build(TMetaClass& meta) {
  Build<T>(meta, [](TClassDef<T>&) {});
}
}  // namespace detail

// Defines TName::StaticClass(); the optional argument is the builder of its published part.
#define FW_DEFINE_CLASS(TName, ...)                                                        \
  const ::framework::TMetaClass& TName::StaticClass() {                                    \
    static ::framework::TMetaClass meta(::framework::detail::ShortName(#TName),           \
                                        &inherited::StaticClass());                        \
    static const bool built = (::framework::detail::Build<TName>(meta __VA_OPT__(, ) __VA_ARGS__), true); \
    (void)built;                                                                           \
    return meta;                                                                           \
  }

// Reading and setting published properties by name (case-insensitive). Setting runs the
// property's setter. A missing property or a wrong kind raises EPropertyError.
const TPropInfo* GetPropInfo(const TObject& obj, std::string_view name);  // nullptr if none
const TPropInfo& FindPropInfo(const TObject& obj, std::string_view name);
bool IsPublishedProp(const TObject& obj, std::string_view name);
int64_t GetOrdProp(const TObject& obj, std::string_view name);
void SetOrdProp(TObject& obj, std::string_view name, int64_t value);
std::string GetEnumProp(const TObject& obj, std::string_view name);
void SetEnumProp(TObject& obj, std::string_view name, std::string_view value);
std::string GetSetProp(const TObject& obj, std::string_view name);  // "[a,b]"
void SetSetProp(TObject& obj, std::string_view name, std::string_view value);
std::string GetStrProp(const TObject& obj, std::string_view name);
void SetStrProp(TObject& obj, std::string_view name, const std::string& value);
double GetFloatProp(const TObject& obj, std::string_view name);
void SetFloatProp(TObject& obj, std::string_view name, double value);
TObject* GetObjectProp(const TObject& obj, std::string_view name);
void SetObjectProp(TObject& obj, std::string_view name, TObject* value);
TMethodRef GetMethodProp(const TObject& obj, std::string_view name);
// Any kind except class and method, as text ("alClient", "[a,b]", "12", "1.5", "abc").
std::string GetPropText(const TObject& obj, std::string_view name);
void SetPropText(TObject& obj, std::string_view name, std::string_view text);

// Set values as text, for streaming and the RTTI functions.
std::string SetToString(const TTypeInfo& setType, int64_t mask);
int64_t StringToSet(const TTypeInfo& setType, std::string_view text);  // EPropertyError

}  // namespace framework
