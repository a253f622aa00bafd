// Text. Strings are UTF-8; positions and counts are in characters (code points), as the game's
// texts were one byte per character.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaron::runtime {

// Up to count characters from the 1-based position start; empty when start lies past the end.
std::string Mid(std::string_view text, int start, int count);
// The number of characters.
int Length(std::string_view text);
// The value in decimal, with "-" for negatives.
std::string DecimalText(std::int64_t value);
// An optional leading "-" and decimal digits, read as a 32-bit integer; the empty string and
// "-" give 0; reading stops at the first character that is not a digit; values beyond the
// 32-bit range are clamped to it.
std::int32_t NumberFromText(std::string_view text);

}  // namespace tessaron::runtime
