// Small pure helpers of the drawing stage: rounding to whole pixels, the reference point of a
// cell, the ball's turn and the texts of the value labels and the score line. Kept apart from
// the drawing so that they can be checked without a screen.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>

namespace tessaron::render::detail {

inline constexpr float kCellSize = 40.0f;
inline constexpr float kHalfCell = 20.0f;
// One degree in radians, as the single-precision constant the animations use.
inline constexpr float kDegree = 0.0174532924f;

// The codes that decide what the map draws in a cell.
inline constexpr float kAir = 100.0f;
inline constexpr float kWater = 200.0f;
inline constexpr float kEmpty = 1000.0f;
inline constexpr float kSensor = 2002.0f;
inline constexpr float kPickupsFrom = 4000.0f;  // exclusive: 4000 itself is never drawn
inline constexpr float kPickupsTo = 5000.0f;  // exclusive: taken pickups (5001..5099) are not drawn

// Kinds drawn by the two element walks: everything below the pickups except the empty cell and
// the sensor, which the pickup walk draws half-transparent.
inline bool IsElementPicture(float kind) {
    return kind != kEmpty && kind != kSensor && kind < kPickupsFrom;
}

// Coins, the goal and the disk while they are there to be taken.
inline bool IsPickup(float kind) {
    return kind > kPickupsFrom && kind < kPickupsTo;
}

// R(v): the nearest whole number, halves to even (the default rounding mode). Values beyond the
// 32-bit range are clamped to it and NaN gives 0, so a wild view offset or a corrupt field
// never makes an undefined conversion. rint gives the same result as nearbyint and, unlike it,
// compiles to a few instructions instead of a library call, which matters in the walks.
inline std::int32_t Round(float value) {
    if (!(value == value))
        return 0;
    if (value >= 2147483648.0f)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(std::rint(value));
}

// The screen coordinate of a cell's centre along one axis: the cell product is rounded first,
// the sum with the float view offset stays in floating point.
inline float CellCentre(float cell, float view) {
    return static_cast<float>(Round(kCellSize * cell)) + view;
}

// The ball angle after one pass: the angle minus R(2 * velocityX), never reduced modulo 360.
// The sum saturates at the 32-bit limits, so a ball spinning for days stays at the limit
// instead of wrapping around.
inline std::int32_t NextBallAngle(std::int32_t angle, float velocityX) {
    const std::int64_t turned =
        static_cast<std::int64_t>(angle) - static_cast<std::int64_t>(Round(2.0f * velocityX));
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
    out = std::to_chars(out, buffer + kTextBufferSize - 1, Round(value)).ptr;
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
