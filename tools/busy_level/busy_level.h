// A busy level for measuring and for comparing the fast walks with plain ones: floors of grass
// every ten rows with switches and spikes in them, sensors, rows of moving platforms (some
// unlinked, some waiting for a switch or a sensor), torches, two rows of coins, bushes, doors and
// disks, and water in the lowest quarter, all inside walls and over a floor of concrete that the
// ball cannot leave. The same size and seed always give the same level.
#pragma once

#include <cstdint>

#include "level/level.h"

namespace tessaron::busy_level {

// The level with its start view offset on the ball's resting place: above the floor in the
// middle of the level, between two columns. Every record sits in its own cell, not moving.
level::Level MakeBusyLevel(std::int32_t width, std::int32_t height, std::uint32_t seed);

}  // namespace tessaron::busy_level
