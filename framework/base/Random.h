// The framework's random number generator: seeded from the clock by Randomize, uniform
// integers below a bound by Random. Tests fix the seed with SetRandomTestSeed so that
// Randomize no longer reads the clock.
#pragma once

#include <cstdint>
#include <optional>

namespace framework {

void Randomize();                 // reseed from the clock (or the test seed when one is set)
int Random(int range);            // uniform in 0 .. range-1; 0 when range <= 0
double RandomFloat();             // uniform in [0, 1)
void SetRandSeed(uint32_t seed);  // like assigning RandSeed
uint32_t RandSeed();
// With a value, every Randomize seeds with it; with none, Randomize reads the clock again.
void SetRandomTestSeed(std::optional<uint32_t> seed);

}  // namespace framework
