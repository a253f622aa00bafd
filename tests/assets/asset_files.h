// Small readers for the game's picture and sound files, independent of the generator and of
// the runtime, so the tests check the files as the game will find them.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace tessaron::assets_test {

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

inline std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return at + 2 <= b.size() ? static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8)) : 0;
}

inline std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return at + 4 <= b.size() ? U16(b, at) | (U16(b, at + 2) << 16) : 0;
}

struct Pixel {
    std::uint8_t r = 0, g = 0, b = 0;
    bool Clear() const { return r == 0 && g == 0 && b == 0; }
    bool operator==(const Pixel&) const = default;
};

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<Pixel> pixels;  // top row first
    Pixel At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
    bool Visible(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height && !At(x, y).Clear();
    }
};

// A 24-bit uncompressed Windows bitmap, or nothing when the file is anything else.
inline std::optional<Bitmap> ReadBmp(const std::string& path) {
    const std::vector<std::uint8_t> b = ReadBytes(path);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M' || U32(b, 14) < 40 || U16(b, 28) != 24 ||
        U32(b, 30) != 0) {
        return std::nullopt;
    }
    const std::uint32_t offset = U32(b, 10);
    const auto width = static_cast<std::int32_t>(U32(b, 18));
    const auto rawHeight = static_cast<std::int32_t>(U32(b, 22));
    const bool bottomUp = rawHeight > 0;
    const std::int32_t height = bottomUp ? rawHeight : -rawHeight;
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096) {
        return std::nullopt;
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (offset + stride * static_cast<std::size_t>(height) > b.size()) {
        return std::nullopt;
    }
    Bitmap bitmap{width, height, {}};
    bitmap.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::size_t row =
            offset + stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(x) * 3;
            bitmap.pixels[static_cast<std::size_t>(y * width + x)] = {b[at + 2], b[at + 1], b[at]};
        }
    }
    return bitmap;
}

struct Wave {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int format = 0;
    std::vector<std::int16_t> samples;
};

// A RIFF/WAVE file's format chunk and 16-bit data; nothing when the chunks are missing or cut.
inline std::optional<Wave> ReadWav(const std::string& path) {
    const std::vector<std::uint8_t> b = ReadBytes(path);
    auto tag = [&](std::size_t at, const char* t) {
        return at + 4 <= b.size() && std::string(b.begin() + static_cast<long>(at),
                                                 b.begin() + static_cast<long>(at) + 4) == t;
    };
    if (!tag(0, "RIFF") || !tag(8, "WAVE")) {
        return std::nullopt;
    }
    Wave wave;
    bool haveFormat = false;
    bool haveData = false;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::uint32_t size = U32(b, at + 4);
        const std::size_t body = at + 8;
        if (body + size > b.size()) {
            return std::nullopt;
        }
        if (tag(at, "fmt ") && size >= 16) {
            wave.format = static_cast<int>(U16(b, body));
            wave.channels = static_cast<int>(U16(b, body + 2));
            wave.sampleRate = static_cast<int>(U32(b, body + 4));
            wave.bitsPerSample = static_cast<int>(U16(b, body + 14));
            haveFormat = true;
        } else if (tag(at, "data")) {
            for (std::size_t i = 0; i + 1 < size; i += 2) {
                wave.samples.push_back(static_cast<std::int16_t>(U16(b, body + i)));
            }
            haveData = true;
        }
        at = body + size + (size % 2);
    }
    if (!haveFormat || !haveData) {
        return std::nullopt;
    }
    return wave;
}

}  // namespace tessaron::assets_test
