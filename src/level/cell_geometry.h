// The geometry of a level's cells, for everything that places them: the simulation, the
// drawing, painting, the cell index and the automatic player. Cell (c, r) has its reference
// point at (40 c, 40 r) in the level's coordinates; its picture's corner lies half a cell left
// of and above it.
#pragma once

#include <cstdint>

#include "runtime/numbers.h"

namespace tessaron::level {

// A cell's side and half of it, in pixels.
inline constexpr std::int32_t kCellPixels = 40;
inline constexpr float kCellSize = 40.0f;
inline constexpr float kHalfCell = 20.0f;

// One degree in radians, as the single-precision constant that the sway, the spin and the
// push-out's sine and cosine use.
inline constexpr float kDegree = 0.0174532924f;

// R(v) as a whole number of pixels: the nearest integer, halves to even. Values beyond the
// 32-bit range are clamped and NaN gives 0, so a wild view offset or a corrupt field never
// makes an undefined conversion. (A float converts to a double exactly.)
inline std::int32_t RoundToPixel(float value) {
    return runtime::RoundToInt(static_cast<double>(value));
}

}  // namespace tessaron::level
