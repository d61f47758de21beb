// TDestroyGuard: a weak reference to a component for code that calls out (an event handler,
// a message to another control, a modal loop) and then goes on working with it. Alive()
// turns false as soon as the component's destruction begins, so the caller stops before it
// touches freed memory:
//
//   TDestroyGuard guard(this);
//   Click();                      // OnClick may free this control (or its form)
//   if (!guard.Alive()) return;
//   MouseUp(...);
//
// A guard is meant for the stack: it costs two pointers, and destroying a component walks
// only the guards alive at that moment.
#pragma once

#include "framework/classes/Component.h"

namespace framework {

class TDestroyGuard {
 public:
  explicit TDestroyGuard(const TComponent* component);
  ~TDestroyGuard();
  TDestroyGuard(const TDestroyGuard&) = delete;
  TDestroyGuard& operator=(const TDestroyGuard&) = delete;

  // False once the component is being destroyed or is gone (and for a null component).
  bool Alive() const { return FComponent && !FComponent->IsDestroying(); }

 private:
  // Told at the start of every component's destruction: its guards let go of it.
  static void Forget(const TComponent* component);
  const TComponent* FComponent;
  TDestroyGuard* FPrev = nullptr;
  TDestroyGuard* FNext = nullptr;
};

}  // namespace framework
