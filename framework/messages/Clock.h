// The framework's clock in milliseconds. Timers run on it; tests install a clock of their
// own (tests/fakes/TestClock.h) and advance it by hand.
#pragma once

#include <cstdint>

namespace framework {

class TClock {
 public:
  virtual ~TClock() = default;
  virtual uint64_t NowMs() const = 0;
};

class TSystemClock : public TClock {
 public:
  uint64_t NowMs() const override;
};

TClock& Clock();
// Installs a clock (not owned); nullptr goes back to the system clock.
void SetClock(TClock* clock);
uint32_t GetTickCount();

}  // namespace framework
