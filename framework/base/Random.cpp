#include "framework/base/Random.h"

#include <chrono>

namespace framework {

namespace {
uint32_t GSeed = 0;
std::optional<uint32_t> GTestSeed;

uint32_t Next() {
  // Linear congruential step, the classic generator of the Pascal run-time libraries.
  GSeed = GSeed * 0x08088405u + 1u;
  return GSeed;
}
}  // namespace

void Randomize() {
  if (GTestSeed) {
    GSeed = *GTestSeed;
    return;
  }
  auto ns = std::chrono::steady_clock::now().time_since_epoch().count() ^
            std::chrono::system_clock::now().time_since_epoch().count();
  GSeed = static_cast<uint32_t>(ns ^ (ns >> 32));
}

int Random(int range) {
  if (range <= 0) return 0;
  return static_cast<int>((static_cast<uint64_t>(Next()) * static_cast<uint64_t>(range)) >> 32);
}

double RandomFloat() { return Next() / 4294967296.0; }
void SetRandSeed(uint32_t seed) { GSeed = seed; }
uint32_t RandSeed() { return GSeed; }
void SetRandomTestSeed(std::optional<uint32_t> seed) { GTestSeed = seed; }

}  // namespace framework
