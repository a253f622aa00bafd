// The program's icon: the ball as the game shows it (the ball under its light), drawn with soft
// edges at any size, and as a scalable drawing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tessaron::assets {

// A picture with an alpha channel: rows of red, green, blue and alpha bytes, top row first.
struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

// The icon, size x size pixels, on a transparent ground.
RgbaImage PaintIcon(int size);

// The icon as an SVG drawing of the same shapes.
std::string DrawIconSvg();

// Writes the picture as a PNG file (8-bit RGBA). False when it cannot be written.
bool WritePng(const std::filesystem::path& file, const RgbaImage& image);

// The sizes of the icon's pictures.
inline constexpr int kIconSizes[] = {48, 64, 128, 256};

}  // namespace tessaron::assets
