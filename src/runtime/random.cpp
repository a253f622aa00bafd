#include "runtime/random.h"

#include <chrono>

namespace tessaron::runtime {

namespace {
// splitmix32: spreads a 32-bit seed over the generator's state, so that close seeds give
// unrelated sequences and no seed gives the all-zero state.
std::uint32_t SplitMix32(std::uint32_t& state) {
    std::uint32_t z = (state += 0x9E3779B9u);
    z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
    z = (z ^ (z >> 13)) * 0xC2B2AE35u;
    return z ^ (z >> 16);
}

std::uint32_t RotateLeft(std::uint32_t x, int k) {
    return (x << k) | (x >> (32 - k));
}
}  // namespace

Random::Random(std::uint32_t seed) {
    Seed(seed);
}

void Random::Seed(std::uint32_t seed) {
    std::uint32_t mix = seed;
    for (std::uint32_t& word : state_) {
        word = SplitMix32(mix);
    }
    if ((state_[0] | state_[1] | state_[2] | state_[3]) == 0) {
        state_[0] = 1;
    }
}

// xoshiro128**: small, fast and the same on every machine.
std::uint32_t Random::Bits() {
    const std::uint32_t result = RotateLeft(state_[1] * 5u, 7) * 9u;
    const std::uint32_t t = state_[1] << 9;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = RotateLeft(state_[3], 11);
    return result;
}

int Random::Next(int maximum) {
    if (maximum <= 0) {
        return 0;
    }
    // Draws beyond the last whole multiple of the range are rejected, so every value from 0 to
    // maximum is equally likely.
    // The range is at most 2^31, so both remainders are taken in 32 bits: 2^32 mod range is
    // (2^32 - range) mod range.
    const std::uint32_t range = static_cast<std::uint32_t>(maximum) + 1u;
    const std::uint64_t limit = (std::uint64_t{1} << 32) - (0u - range) % range;
    for (;;) {
        const std::uint32_t bits = Bits();
        if (bits < limit) {
            return static_cast<int>(bits % range);
        }
    }
}

std::uint32_t SeedFromClock() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace tessaron::runtime
