// A clock for tests: it stands still until the test advances it.
#pragma once

#include <cstdint>

#include "framework/messages/Clock.h"

namespace framework {

class TTestClock : public TClock {
 public:
  uint64_t NowMs() const override { return FNow; }
  void Advance(uint64_t ms) { FNow += ms; }

 private:
  uint64_t FNow = 1000;
};

}  // namespace framework
