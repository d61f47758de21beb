// Events: method-pointer-like values that can be assigned, cleared and compared. An event
// bound to a published method of an object remembers the object and the method's name, so
// a form writer can store it by name and a form reader can bind it back.
#pragma once

#include <any>
#include <functional>
#include <string>
#include <utility>

#include "framework/base/Object.h"

namespace framework {

struct TMethodRef {
  TObject* Data = nullptr;  // the object whose method it is (nullptr for a plain callable)
  std::string Name;         // the published method name ("" when not published)
  bool Assigned = false;
};

// Looks up the published name of a member function pointer in the class of obj.
std::string PublishedMethodName(const TObject& obj, const std::any& code);

template <class... Args>
class TEvent {
 public:
  using TFunc = std::function<void(Args...)>;

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  // A plain callable: fires, but is not stored in a form.
  explicit TEvent(TFunc f) : FFunc(std::move(f)) { FRef.Assigned = static_cast<bool>(FFunc); }
  // A method of an object.
  template <class T, class U>
  TEvent(T* obj, void (U::*method)(Args...))
      : FFunc([obj, method](Args... a) { (obj->*method)(a...); }) {
    FRef.Data = obj;
    FRef.Assigned = true;
    FRef.Name = PublishedMethodName(*obj, std::any(method));
    FCode = method;
    FSame = [method](const std::any& a) {
      auto p = std::any_cast<void (U::*)(Args...)>(&a);
      return p != nullptr && *p == method;
    };
  }

  explicit operator bool() const { return static_cast<bool>(FFunc); }
  bool Assigned() const { return static_cast<bool>(FFunc); }
  void operator()(Args... a) const {
    if (FFunc) FFunc(a...);
  }
  const TMethodRef& Ref() const { return FRef; }
  TObject* Data() const { return FRef.Data; }
  const std::string& MethodName() const { return FRef.Name; }

  // Two events are equal when both are empty, or when they call the same method of the
  // same object. Plain callables equal only themselves (copies of one assignment).
  bool operator==(const TEvent& o) const {
    if (!FFunc || !o.FFunc) return !FFunc && !o.FFunc;
    if (FRef.Data != o.FRef.Data) return false;
    if (FSame) return o.FCode.has_value() && FSame(o.FCode);
    if (o.FSame) return false;
    return FId == o.FId;
  }

 private:
  TFunc FFunc;
  TMethodRef FRef;
  std::any FCode;
  std::function<bool(const std::any&)> FSame;
  uintptr_t FId = reinterpret_cast<uintptr_t>(this);
};

using TNotifyEvent = TEvent<TObject*>;

}  // namespace framework
