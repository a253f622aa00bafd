// Numbers: the little-endian integers of the game's files and the rounding rules, R(x) above all.
#pragma once

#include <cstdint>
#include <limits>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace tessaron::runtime {

// A 32-bit signed integer in four little-endian bytes, as every file of the game holds it.
inline std::int32_t LittleEndianInt(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(bytes[0]) |
                                     (static_cast<std::uint32_t>(bytes[1]) << 8) |
                                     (static_cast<std::uint32_t>(bytes[2]) << 16) |
                                     (static_cast<std::uint32_t>(bytes[3]) << 24));
}
inline void PutLittleEndianInt(std::uint8_t* bytes, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    bytes[0] = static_cast<std::uint8_t>(bits & 0xFF);
    bytes[1] = static_cast<std::uint8_t>((bits >> 8) & 0xFF);
    bytes[2] = static_cast<std::uint8_t>((bits >> 16) & 0xFF);
    bytes[3] = static_cast<std::uint8_t>(bits >> 24);
}

// R(x): the nearest whole number, halves to even, as a float (the default rounding mode).
float Round(float value);
// R(x) as a 32-bit integer, for every value: beyond the range clamped, NaN as 0.
std::int32_t RoundToIntClamped(double value);
// The same, quick for the values within the range, of which the level and save-point files
// convert hundreds of thousands.
inline std::int32_t RoundToInt(double value) {
#if defined(__SSE2__) || defined(_M_X64)
    // The processor's conversion rounds to the nearest, halves to even, as R does (in the
    // default rounding mode, which the program never changes). It gives the lowest integer for
    // NaN and for values beyond the range, which the full rule then sorts out.
    const int rounded = _mm_cvtsd_si32(_mm_set_sd(value));
    if (rounded != std::numeric_limits<std::int32_t>::min()) {
        return rounded;
    }
#else
    if (value > -2147483649.0 && value < 2147483648.0) {
        const auto whole = static_cast<std::int32_t>(value);
        if (static_cast<double>(whole) == value) {
            return whole;
        }
    }
#endif
    return RoundToIntClamped(value);
}

enum class RoundDirection { Down = 0, Up = 1 };
// The round-up / round-down service: the smallest whole number not below the value (Up) or the
// largest not above it (Down), as a floating-point value.
double RoundWhole(double value, RoundDirection direction);

}  // namespace tessaron::runtime
