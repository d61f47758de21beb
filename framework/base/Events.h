// Events: method-pointer-like values that can be assigned, cleared and compared. An event
// bound to a published method of an object remembers the object and the method's name, so
// a form writer can store it by name and a form reader can bind it back.
#pragma once

#include <any>
#include <functional>
#include <memory>
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

// An event is one pointer wide: an empty event holds nothing, an assigned one shares an
// immutable binding with its copies. Controls carry many events that are rarely assigned,
// so the size of the empty state is what a form of thousands of controls pays for.
template <class... Args>
class TEvent {
 public:
  using TFunc = std::function<void(Args...)>;

  TEvent() = default;
  TEvent(std::nullptr_t) {}
  // A plain callable: fires, but is not stored in a form.
  explicit TEvent(TFunc f) {
    if (!f) return;
    auto b = std::make_shared<TBinding>();
    b->Func = std::move(f);
    b->Ref.Assigned = true;
    FBinding = std::move(b);
  }
  // A method of an object.
  template <class T, class U>
  TEvent(T* obj, void (U::*method)(Args...)) {
    auto b = std::make_shared<TBinding>();
    b->Func = [obj, method](Args... a) { (obj->*method)(a...); };
    b->Ref.Data = obj;
    b->Ref.Assigned = true;
    b->Ref.Name = PublishedMethodName(*obj, std::any(method));
    b->Code = method;
    b->Same = [method](const std::any& a) {
      auto p = std::any_cast<void (U::*)(Args...)>(&a);
      return p != nullptr && *p == method;
    };
    FBinding = std::move(b);
  }

  explicit operator bool() const { return FBinding != nullptr; }
  bool Assigned() const { return FBinding != nullptr; }
  // The binding is held for the call: a handler may free the object that carries this
  // event (a button freed by its own OnClick) and still use what it captured.
  void operator()(Args... a) const {
    if (std::shared_ptr<const TBinding> binding = FBinding) binding->Func(a...);
  }
  const TMethodRef& Ref() const { return FBinding ? FBinding->Ref : EmptyRef(); }
  TObject* Data() const { return Ref().Data; }
  const std::string& MethodName() const { return Ref().Name; }

  // Two events are equal when both are empty, or when they call the same method of the
  // same object. Plain callables equal only copies of one assignment.
  bool operator==(const TEvent& o) const {
    if (!FBinding || !o.FBinding) return !FBinding && !o.FBinding;
    if (FBinding == o.FBinding) return true;
    if (FBinding->Ref.Data != o.FBinding->Ref.Data) return false;
    if (FBinding->Same) return o.FBinding->Code.has_value() && FBinding->Same(o.FBinding->Code);
    return false;
  }

 private:
  struct TBinding {
    TFunc Func;
    TMethodRef Ref;
    std::any Code;
    std::function<bool(const std::any&)> Same;
  };
  static const TMethodRef& EmptyRef() {
    static const TMethodRef empty;
    return empty;
  }
  std::shared_ptr<const TBinding> FBinding;
};

using TNotifyEvent = TEvent<TObject*>;

}  // namespace framework
