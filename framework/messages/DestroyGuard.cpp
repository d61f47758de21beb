#include "framework/messages/DestroyGuard.h"

namespace framework {

namespace {
// The guards alive now, newest first. Constant-initialised, so a component destroyed while
// the program ends still finds a valid (empty) list.
TDestroyGuard* GGuards = nullptr;
}  // namespace

void TDestroyGuard::Forget(const TComponent* component) {
  for (TDestroyGuard* g = GGuards; g; g = g->FNext)
    if (g->FComponent == component) g->FComponent = nullptr;
}

TDestroyGuard::TDestroyGuard(const TComponent* component) : FComponent(component) {
  static const bool hooked =
      (detail::AddComponentDestroyedHook(&GGuards, [](TComponent* c) { Forget(c); }), true);
  (void)hooked;
  FNext = GGuards;
  if (GGuards) GGuards->FPrev = this;
  GGuards = this;
}

TDestroyGuard::~TDestroyGuard() {
  if (FPrev)
    FPrev->FNext = FNext;
  else
    GGuards = FNext;
  if (FNext) FNext->FPrev = FPrev;
}

}  // namespace framework
