// Helpers of the machine layer's tests: one started machine for the whole test program, a
// scratch game folder, and small pictures and sounds written by the tests themselves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::runtime {

inline bool operator==(Rgb a, Rgb b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

inline std::ostream& operator<<(std::ostream& out, Rgb c) {
    return out << "(" << int(c.red) << ", " << int(c.green) << ", " << int(c.blue) << ")";
}

}  // namespace tessaron::runtime

namespace tessaron::runtime::test {

// The machine that the test program's main started headless, and its game folder.
Machine& TestMachine();
const GameFolder& TestFolder();

// A picture as rows of packed colours (red + 256 * green + 65536 * blue), top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::int32_t> pixels;

    Picture(int w, int h, std::int32_t fill = 0)
        : width(w), height(h), pixels(std::size_t(w * h), fill) {}
    std::int32_t& At(int x, int y) { return pixels[std::size_t(y * width + x)]; }
    void Fill(int x, int y, int w, int h, std::int32_t colour);
};

// Writes the picture as an uncompressed 24-bit Windows bitmap (bottom-up rows, padded to four
// bytes) under the game folder, at a path as the game writes it ("BMP\\Name.bmp").
void WriteBitmap(const std::string& gamePath, const Picture& picture);

// Writes a mono 16-bit PCM WAV file of the given samples under the game folder.
void WriteWave(const std::string& gamePath, const std::vector<std::int16_t>& samples, int rate);

constexpr std::int32_t Packed(int r, int g, int b) {
    return r + 256 * g + 65536 * b;
}

}  // namespace tessaron::runtime::test
