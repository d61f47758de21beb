// The framework's clock in milliseconds. Timers run on it; tests install a TTestClock and
// advance it by hand.
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

class TTestClock : public TClock {
 public:
  uint64_t NowMs() const override { return FNow; }
  void Advance(uint64_t ms) { FNow += ms; }

 private:
  uint64_t FNow = 1000;
};

TClock& Clock();
// Installs a clock (not owned); nullptr goes back to the system clock.
void SetClock(TClock* clock);
uint32_t GetTickCount();

}  // namespace framework
