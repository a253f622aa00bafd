// The player's motion state. The ball never leaves the centre of the play screen: moving the
// player means moving the view offset, by these velocities.
#pragma once

#include <cstdint>

namespace tessaron::game {

// The medium the ball is in divides its velocities: in water it moves a third as far.
inline constexpr std::int32_t kAirDivisor = 1;
inline constexpr std::int32_t kWaterDivisor = 3;

struct Player {
    // Pixels per pass. Positive velocityX moves the ball left (the level shifts right); positive
    // velocityY moves it up.
    float velocityX = 0.0f;
    float velocityY = 0.0f;
    std::int32_t mediumDivisor = kAirDivisor;  // kWaterDivisor in water; recomputed every pass
    std::int32_t canJump = 0;                  // the Up arrow acts only while this is 1
    std::int32_t hitFlag = 0;       // set by a collision pass; decides the bounce after it
    std::int32_t carried = 0;       // an element has carried the ball in this pass
    std::int32_t contactCount = 0;  // contacts of this pass's push-out pass
    // Consecutive crowded passes; never reset by loading, switching modes or restoring.
    std::int32_t crushCount = 0;

    bool InWater() const { return mediumDivisor == kWaterDivisor; }
};

}  // namespace tessaron::game
