#include "framework/messages/Timer.h"

#include <algorithm>
#include <vector>

#include "framework/base/Rtti.h"
#include "framework/messages/Clock.h"

namespace framework {

FW_DEFINE_CLASS(TTimer, [](TClassDef<TTimer>& d) {
  d.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  d.Property("Interval", [](const TTimer& t) { return static_cast<int>(t.Interval()); },
             [](TTimer& t, int v) { t.SetInterval(static_cast<unsigned>(std::max(v, 0))); })
      .Default(1000);
  d.Property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
})

namespace {
std::vector<TTimer*>& ActiveTimers() {
  static std::vector<TTimer*> timers;
  return timers;
}
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
  Destroying();
  std::erase(ActiveTimers(), this);
}

void TTimer::SetEnabled(bool value) {
  if (FEnabled == value) return;
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (FInterval == value) return;
  FInterval = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& value) {
  FOnTimer = value;
  UpdateTimer();
}

// Any change restarts the interval, as re-arming a system timer does.
void TTimer::UpdateTimer() {
  bool active = FEnabled && FInterval > 0 && FOnTimer.Assigned();
  auto& timers = ActiveTimers();
  if (active && !FActive) timers.push_back(this);
  if (!active && FActive) std::erase(timers, this);
  FActive = active;
  FDue = Clock().NowMs() + FInterval;
}

void TTimer::Timer() { FOnTimer(this); }

int TTimer::ProcessTimers() {
  uint64_t now = Clock().NowMs();
  std::vector<TTimer*> due;
  for (TTimer* t : ActiveTimers())
    if (t->FDue <= now && !t->IsDesigning()) due.push_back(t);
  int fired = 0;
  for (TTimer* t : due) {
    // A handler may have disabled or freed a timer that is later in the list. A timer whose
    // owner is being destroyed (a form whose OnDestroy pumps messages) no longer fires: its
    // handler would run on a half-destroyed object.
    if (std::find(ActiveTimers().begin(), ActiveTimers().end(), t) == ActiveTimers().end()) continue;
    if (t->IsDestroying()) continue;
    t->FDue = now + t->FInterval;
    ++fired;
    t->Timer();
  }
  return fired;
}

int64_t TTimer::NextDueIn() {
  uint64_t now = Clock().NowMs();
  int64_t next = -1;
  for (TTimer* t : ActiveTimers()) {
    if (t->IsDesigning()) continue;
    int64_t in = t->FDue <= now ? 0 : static_cast<int64_t>(t->FDue - now);
    if (next < 0 || in < next) next = in;
  }
  return next;
}

}  // namespace framework
