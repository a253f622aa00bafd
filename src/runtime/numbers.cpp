#include "runtime/numbers.h"

#include <cmath>

namespace tessaron::runtime {

float Round(float value) {
    return std::nearbyint(value);
}

std::int32_t RoundToIntClamped(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = std::nearbyint(value);
    if (rounded >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (rounded <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(rounded);
}

double RoundWhole(double value, RoundDirection direction) {
    return direction == RoundDirection::Up ? std::ceil(value) : std::floor(value);
}

}  // namespace tessaron::runtime
