// The player's geometry, kept apart from the passes so that its edges can be checked without a
// screen: the near test, where an element's picture lies for a pixel test, the element classes,
// and the push-out of the ball from an element that crowds it.
#pragma once

#include <cmath>
#include <cstdint>

#include "level/cell_geometry.h"
#include "level/element.h"

namespace tessaron::game {

// The cells' geometry and R(x), as every part of the program places cells.
using level::kCellSize;
using level::kDegree;
using level::kHalfCell;
using level::RoundToPixel;

// The ball's centre on the play screen; it never moves.
inline constexpr float kCentreX = 512.0f;
inline constexpr float kCentreY = 384.0f;

// The player mask's top-left corner: in the vertical and horizontal passes and the head check,
// and ten pixels lower in the touch pass, so that the touch pass also finds what lies just
// under the ball.
inline constexpr int kMaskX = 482;
inline constexpr int kMaskY = 354;
inline constexpr int kTouchMaskY = 364;

// The near bounds of the passes (pixels, strict).
inline constexpr float kNearContact = 60.0f;
inline constexpr float kNearVertical = 100.0f;

// True when the cell (column, row) lies within `bound` pixels of the ball's centre on both axes:
// |40 * column + viewX - 512| < bound and |40 * row + viewY - 384| < bound, in floats.
inline bool IsNear(float column, float row, float viewX, float viewY, float bound) {
    const float x = kCellSize * column + viewX - kCentreX;
    const float y = kCellSize * row + viewY - kCentreY;
    return std::fabs(x) < bound && std::fabs(y) < bound;
}

// The screen position of the top-left corner of a cell's picture along one axis:
// R(R(40 * cell) + view - 20).
inline std::int32_t PictureCorner(float cell, float view) {
    const float rounded = static_cast<float>(RoundToPixel(kCellSize * cell));
    return RoundToPixel(rounded + view - kHalfCell);
}

// Solid kinds stop the ball in the vertical and horizontal passes and the head check:
// above 1000 and below 3000, the sensor excepted.
inline bool IsSolid(float kind) {
    // From the torches (3000) on, nothing is solid.
    constexpr float kSolidBelow = 3000.0f;
    return kind > level::Code(level::ElementKind::Empty) && kind < kSolidBelow &&
           kind != level::Code(level::ElementKind::Sensor);
}

// Pushing kinds crowd the ball in the push-out pass: above 1000 and below 2030, except the
// switch, the sensor and the trampled bush.
inline bool IsPushing(float kind) {
    // From the spikes (2030) on, nothing pushes.
    constexpr float kPushingBelow = 2030.0f;
    return kind > level::Code(level::ElementKind::Empty) && kind < kPushingBelow &&
           kind != level::Code(level::ElementKind::Switch) &&
           kind != level::Code(level::ElementKind::Sensor) &&
           kind != level::Code(level::ElementKind::BushGone);
}

// The push-out of the ball by one element, from the element's centre relative to the ball's
// (dx, dy, in screen pixels) and the rounded offsets ix, iy of the same.
struct PushOut {
    std::int32_t angle = 0;      // whole degrees from the horizontal, 0..90
    std::int32_t threshold = 0;  // contact distance: 52 straight beside, 60 on a diagonal
    std::int32_t distance = 0;   // R(distance between the centres)
    bool contact = false;        // distance below threshold
    std::int32_t push = 0;       // (threshold - distance) halved, rounded down
    std::int32_t direction = 0;  // the angle turned into the element's quadrant, in degrees
    float shiftX = 0.0f;         // subtracted from viewX
    float shiftY = 0.0f;         // subtracted from viewY
};
PushOut ComputePushOut(float dx, float dy, std::int32_t ix, std::int32_t iy);

}  // namespace tessaron::game
