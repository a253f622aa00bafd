#include "runtime/text.h"

#include <algorithm>
#include <limits>

namespace tessaron::runtime {

namespace {
bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte at which the character of the 0-based index begins (the text's size past the end).
std::size_t ByteOfCharacter(std::string_view text, std::int64_t index) {
    std::size_t byte = 0;
    while (byte < text.size() && index > 0) {
        ++byte;
        while (byte < text.size() && IsContinuationByte(text[byte])) {
            ++byte;
        }
        --index;
    }
    return byte;
}
}  // namespace

std::string Mid(std::string_view text, int start, int count) {
    if (count <= 0) {
        return {};
    }
    const std::int64_t first = std::max(start, 1) - std::int64_t{1};
    const std::size_t begin = ByteOfCharacter(text, first);
    const std::size_t end = begin + ByteOfCharacter(text.substr(begin), count);
    return std::string(text.substr(begin, end - begin));
}

int Length(std::string_view text) {
    int count = 0;
    for (char c : text) {
        if (!IsContinuationByte(c)) {
            ++count;
        }
    }
    return count;
}

std::string DecimalText(std::int64_t value) {
    return std::to_string(value);
}

std::int32_t NumberFromText(std::string_view text) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    // The magnitude saturates just past the range, so it never overflows however many digits.
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[i] - '0'), kMax + 2);
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    return static_cast<std::int32_t>(std::clamp(value, kMin, kMax));
}

}  // namespace tessaron::runtime
