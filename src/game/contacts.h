// What touching an element does: pickups and the disk, spikes, bushes. Called by the collision
// passes of the simulation; not part of the game's interface.
#pragma once

#include "game/player.h"
#include "game/simulation.h"
#include "level/level.h"

namespace tessaron::game {

// The pickup sound, loaded at start-up.
inline constexpr int kPickupSound = 1;

// A touched coin, goal or disk: the sound, the points, the pickup marked as taken. A disk just
// taken makes the current view the start offset and stores the save point, with itself taken.
void PickupEffect(level::Element& element, level::Level& level, const Player& player,
                  const Services& services);

// Touched spikes send the game back to the last save point. True when the element list was
// replaced: the walk that found the contact must end at once, as no element follows.
bool SpikeEffect(const level::Element& element, level::Level& level, Player& player,
                 SavePointStore& savePoints);

// A bush in contact is worn down one stage, and is gone after the fourth.
void BushEffect(level::Element& element);

}  // namespace tessaron::game
