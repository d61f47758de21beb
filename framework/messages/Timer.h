// TTimer: fires OnTimer every Interval milliseconds of the framework clock while Enabled
// (and an event is assigned), from the message loop or ProcessMessages. A timer that fell
// behind fires once, not once per missed interval. Timers do not fire at design time.
#pragma once

#include <cstdint>

#include "framework/base/Events.h"
#include "framework/classes/Component.h"

namespace framework {

class TTimer : public TComponent {
  FW_CLASS(TTimer, TComponent)
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(const TNotifyEvent& value);

  // Fires every timer that is due on the framework clock; returns how many fired.
  static int ProcessTimers();
  // Milliseconds until the next running timer is due (0: one is due now), -1 when none
  // runs; a widgetset waiting for input wakes up then.
  static int64_t NextDueIn();

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();
  bool FEnabled = true;
  unsigned FInterval = 1000;
  TNotifyEvent FOnTimer;
  bool FActive = false;
  uint64_t FDue = 0;
};

}  // namespace framework
