#include "framework/messages/Clock.h"

#include <chrono>

namespace framework {

uint64_t TSystemClock::NowMs() const {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

namespace {
TSystemClock GSystemClock;
TClock* GClock = &GSystemClock;
}  // namespace

TClock& Clock() { return *GClock; }
void SetClock(TClock* clock) { GClock = clock ? clock : &GSystemClock; }
uint32_t GetTickCount() { return static_cast<uint32_t>(GClock->NowMs()); }

}  // namespace framework
