// The pickup chime: two bell-like notes a fourth apart, rising, with a soft attack and a
// decay that ends in silence.
#pragma once

#include <cstdint>
#include <vector>

namespace tessaron::assets {

inline constexpr int kChimeSampleRate = 22050;

// Mono 16-bit samples at kChimeSampleRate; starts and ends at zero.
std::vector<std::int16_t> SynthesiseChime();

}  // namespace tessaron::assets
