// Writes small 24-bit Windows bitmaps for the render tests: solid pictures, pictures with a
// one-pixel frame, and pictures whose first column has its own colour.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "runtime/screen.h"

namespace tessaron::test {

using PixelAt = std::function<runtime::Rgb(int x, int y)>;

inline void WriteBitmap(const std::filesystem::path& file, int width, int height,
                        const PixelAt& pixel) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t imageSize = static_cast<std::uint32_t>(stride * height);
    std::vector<std::uint8_t> bytes;
    const auto put = [&](std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bytes.push_back(std::uint8_t(value >> (8 * i)));
    };
    bytes.push_back('B');
    bytes.push_back('M');
    put(54 + imageSize, 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);  // BITMAPINFOHEADER
    put(std::uint32_t(width), 4);
    put(std::uint32_t(height), 4);  // positive: rows bottom-up
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(imageSize, 4);
    put(2835, 4);
    put(2835, 4);
    put(0, 4);
    put(0, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const runtime::Rgb c = pixel(x, y);
            bytes.push_back(c.blue);
            bytes.push_back(c.green);
            bytes.push_back(c.red);
        }
        for (int pad = width * 3; pad < stride; ++pad) bytes.push_back(0);
    }
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline PixelAt Solid(runtime::Rgb colour) {
    return [colour](int, int) { return colour; };
}

// A frame of one pixel around a transparent (black) inside.
inline PixelAt Framed(runtime::Rgb colour, int width, int height) {
    return [=](int x, int y) {
        const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
        return edge ? colour : runtime::Rgb{};
    };
}

// The first column in a marker colour, the rest in the body colour.
inline PixelAt MarkedLeft(runtime::Rgb marker, runtime::Rgb body) {
    return [=](int x, int) { return x == 0 ? marker : body; };
}

}  // namespace tessaron::test
