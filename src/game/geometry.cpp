#include "game/geometry.h"

#include <cmath>
#include <limits>

namespace tessaron::game {

namespace {

// The contact threshold: 60.2843 on a diagonal, 8.2843 less straight beside the ball.
constexpr float kThresholdBase = 60.2843f;
constexpr float kThresholdSpread = 8.2843f;

using level::Code;
using level::ElementKind;

}  // namespace

PushOut ComputePushOut(float dx, float dy, std::int32_t ix, std::int32_t iy) {
    PushOut out;
    // The angle from the horizontal in whole degrees. Straight above or below (dx = 0) is 90,
    // which also gives the coinciding centres a fixed direction.
    if (dx == 0.0f) {
        out.angle = 90;
    } else {
        const float radians = std::atan(std::fabs(dy) / std::fabs(dx));
        out.angle = RoundToPixel(radians / kDegree);
    }
    const float doubled = static_cast<float>(2 * out.angle) * kDegree;
    out.threshold = RoundToPixel(kThresholdBase - std::fabs(std::cos(doubled)) * kThresholdSpread);
    out.distance = RoundToPixel(std::sqrt(dx * dx + dy * dy));
    out.contact = out.distance < out.threshold;
    if (!out.contact) {
        return out;
    }
    // Both are small positive whole numbers here, so the division rounds down.
    out.push = (out.threshold - out.distance) / 2;

    // Into the element's quadrant; each test sees the result of the one before. An element
    // above and to the left (ix <= 0, iy <= 0) keeps the angle as it is.
    std::int32_t a = out.angle;
    if (ix <= 0 && iy >= 0) {
        a = 180 - a;
    }
    if (ix >= 0 && iy >= 0) {
        a = a + 180;
    }
    if (ix >= 0 && iy <= 0) {
        a = 360 - a;
    }
    out.direction = a;
    const float turned = static_cast<float>(a) * kDegree;
    const float push = static_cast<float>(out.push);
    out.shiftX = std::sin(turned) * push;
    out.shiftY = std::cos(turned) * push;
    return out;
}

}  // namespace tessaron::game
