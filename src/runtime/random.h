// The random numbers of the game, reproducible from a seed.
#pragma once

#include <cstdint>

namespace tessaron::runtime {

// Whole random numbers from 0 to a maximum inclusive, evenly distributed. The sequence for a
// seed is the same on every machine and with every standard library.
class Random {
  public:
    explicit Random(std::uint32_t seed = 1);
    void Seed(std::uint32_t seed);
    int Next(int maximum);
    // Two generators that will draw the same numbers from now on.
    bool operator==(const Random&) const = default;

  private:
    std::uint32_t Bits();
    std::uint32_t state_[4];
};

// A seed from the millisecond clock, for runs that are not scripted.
std::uint32_t SeedFromClock();

}  // namespace tessaron::runtime
