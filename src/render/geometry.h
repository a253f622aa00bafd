// Small pure helpers of the drawing stage: rounding to whole pixels, the reference point of a
// cell, the ball's turn and the texts of the value labels and the score line. Kept apart from
// the drawing so that they can be checked without a screen.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

#include "level/cell_geometry.h"
#include "level/element.h"

namespace tessaron::render::detail {

using level::kCellSize;
using level::kDegree;
using level::kHalfCell;
using level::RoundToPixel;

// The codes that decide what the map draws in a cell.
inline constexpr float kAir = level::Code(level::Background::Air);
inline constexpr float kWater = level::Code(level::Background::Water);
inline constexpr float kEmpty = level::Code(level::ElementKind::Empty);
inline constexpr float kSensor = level::Code(level::ElementKind::Sensor);
using level::IsPickup;

// Kinds drawn by the two element walks: everything below the pickups except the empty cell and
// the sensor, which the pickup walk draws half-transparent. The pickups' base (Zero) and the
// taken pickups are never drawn.
inline bool IsElementPicture(float kind) {
    return kind != kEmpty && kind != kSensor && kind < level::kPickupBase;
}

// The screen coordinate of a cell's centre along one axis: the cell product is rounded first,
// the sum with the float view offset stays in floating point.
inline float CellCentre(float cell, float view) {
    return static_cast<float>(RoundToPixel(kCellSize * cell)) + view;
}

// The ball angle after one pass: the angle minus R(2 * velocityX), never reduced modulo 360.
// The sum saturates at the 32-bit limits, so a ball spinning for days stays at the limit
// instead of wrapping around.
inline std::int32_t NextBallAngle(std::int32_t angle, float velocityX) {
    const std::int64_t turned = static_cast<std::int64_t>(angle) -
                                static_cast<std::int64_t>(RoundToPixel(2.0f * velocityX));
    if (turned > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (turned < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(turned);
}

// Room for " -2147483648 " and for "Punkte : -2147483648".
inline constexpr std::size_t kTextBufferSize = 32;
using TextBuffer = char[kTextBufferSize];

// A value label: one space, R(value) in decimal, one space. Written into the caller's buffer;
// nothing is allocated.
inline std::string_view LabelText(TextBuffer& buffer, float value) {
    char* out = buffer;
    *out++ = ' ';
    out = std::to_chars(out, buffer + kTextBufferSize - 1, RoundToPixel(value)).ptr;
    *out++ = ' ';
    return std::string_view(buffer, static_cast<std::size_t>(out - buffer));
}

// The score line: "Punkte : " followed by the score in decimal.
inline std::string_view ScoreText(TextBuffer& buffer, std::int32_t score) {
    constexpr std::string_view prefix = "Punkte : ";
    char* out = buffer;
    for (char c : prefix) *out++ = c;
    out = std::to_chars(out, buffer + kTextBufferSize, score).ptr;
    return std::string_view(buffer, static_cast<std::size_t>(out - buffer));
}

}  // namespace tessaron::render::detail
