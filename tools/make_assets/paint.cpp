#include "paint.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace tessaron::assets {

std::uint32_t Hash(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6Bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    // Final avalanche (the mixer of MurmurHash3).
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

float Random01(int x, int y, std::uint32_t seed) {
    return static_cast<float>(Hash(x, y, seed) >> 8) / 16777216.0f;
}

namespace {

int Wrap(int value, int period) {
    const int r = value % period;
    return r < 0 ? r + period : r;
}

float SmoothStep(float t) {
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

float TiledNoise(float x, float y, int cell, int period, std::uint32_t seed) {
    const int points = period / cell;
    const float gx = x / static_cast<float>(cell);
    const float gy = y / static_cast<float>(cell);
    const int ix = static_cast<int>(std::floor(gx));
    const int iy = static_cast<int>(std::floor(gy));
    const float fx = SmoothStep(gx - static_cast<float>(ix));
    const float fy = SmoothStep(gy - static_cast<float>(iy));
    auto corner = [&](int cx, int cy) {
        return Random01(Wrap(cx, points), Wrap(cy, points), seed);
    };
    const float top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * fx;
    const float bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * fx;
    return top + (bottom - top) * fy;
}

float TiledFractal(float x, float y, int cell, int period, std::uint32_t seed) {
    const float coarse = TiledNoise(x, y, cell, period, seed);
    const float fine = TiledNoise(x, y, std::max(1, cell / 2), period, seed + 7u);
    return (coarse * 2.0f + fine) / 3.0f;
}

float Bayer(int x, int y) {
    static constexpr std::array<int, 16> kMatrix{0, 8,  2, 10, 12, 4, 14, 6,
                                                 3, 11, 1, 9,  15, 7, 13, 5};
    return (static_cast<float>(kMatrix[static_cast<std::size_t>(Wrap(y, 4) * 4 + Wrap(x, 4))]) +
            0.5f) /
           16.0f;
}

Rgb Step(palette::Ramp ramp, int index) {
    const int last = static_cast<int>(ramp.size()) - 1;
    return ramp[static_cast<std::size_t>(std::clamp(index, 0, last))];
}

Rgb Shade(palette::Ramp ramp, float t, int x, int y, float dither) {
    const float scaled = std::clamp(t, 0.0f, 1.0f) * static_cast<float>(ramp.size() - 1);
    const float threshold = 0.5f + (Bayer(x, y) - 0.5f) * std::clamp(dither, 0.0f, 1.0f);
    return Step(ramp, static_cast<int>(std::floor(scaled + 1.0f - threshold)));
}

bool InDisc(int x, int y, float cx, float cy, float radius) {
    const float dx = static_cast<float>(x) + 0.5f - cx;
    const float dy = static_cast<float>(y) + 0.5f - cy;
    return dx * dx + dy * dy <= radius * radius;
}

bool InEllipse(int x, int y, float cx, float cy, float rx, float ry) {
    const float dx = (static_cast<float>(x) + 0.5f - cx) / rx;
    const float dy = (static_cast<float>(y) + 0.5f - cy) / ry;
    return dx * dx + dy * dy <= 1.0f;
}

float LightFacing(float nx, float ny) {
    const float length = std::sqrt(nx * nx + ny * ny);
    if (length <= 0.0f) {
        return 0.5f;
    }
    // The light comes from the top left: direction (-1, -1) normalised.
    const float facing = (-nx - ny) / (length * 1.41421356f);
    return 0.5f + 0.5f * facing;
}

void InnerOutline(Image& image, Rgb colour, bool edges) {
    const Image before = image;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (before.IsClear(x, y)) {
                continue;
            }
            bool border = false;
            const int dx[4] = {1, -1, 0, 0};
            const int dy[4] = {0, 0, 1, -1};
            for (int i = 0; i < 4; ++i) {
                const int nx = x + dx[i];
                const int ny = y + dy[i];
                if (before.Contains(nx, ny) ? before.IsClear(nx, ny) : edges) {
                    border = true;
                }
            }
            if (border) {
                image.Set(x, y, colour);
            }
        }
    }
}

void OuterOutline(Image& image, Rgb colour) {
    const Image before = image;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            if (!before.IsClear(x, y)) {
                continue;
            }
            if (!before.IsClear(x + 1, y) || !before.IsClear(x - 1, y) ||
                !before.IsClear(x, y + 1) || !before.IsClear(x, y - 1)) {
                image.Set(x, y, colour);
            }
        }
    }
}

void Line(Image& image, int x0, int y0, int x1, int y1, Rgb colour) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (true) {
        image.Set(x0, y0, colour);
        if (x0 == x1 && y0 == y1) {
            break;
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x0 += sx;
        }
        if (twice <= dx) {
            error += dx;
            y0 += sy;
        }
    }
}

namespace {

// Bold digits, five columns by nine rows, '#' for ink.
constexpr std::array<std::array<const char*, kDigitHeight>, 10> kDigits{{
    {".###.", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", ".###."},
    {"..##.", ".###.", "####.", "..##.", "..##.", "..##.", "..##.", "..##.", "#####"},
    {".###.", "##.##", "...##", "...##", "..##.", ".##..", "##...", "##...", "#####"},
    {"####.", "...##", "...##", "..##.", ".###.", "...##", "...##", "...##", "####."},
    {"...##", "..###", ".####", "##.##", "##.##", "#####", "...##", "...##", "...##"},
    {"#####", "##...", "##...", "####.", "...##", "...##", "...##", "##.##", ".###."},
    {".###.", "##...", "##...", "####.", "##.##", "##.##", "##.##", "##.##", ".###."},
    {"#####", "...##", "...##", "..##.", "..##.", ".##..", ".##..", ".##..", ".##.."},
    {".###.", "##.##", "##.##", "##.##", ".###.", "##.##", "##.##", "##.##", ".###."},
    {".###.", "##.##", "##.##", "##.##", ".####", "...##", "...##", "...##", ".###."},
}};

}  // namespace

void Digit(Image& image, int digit, int x, int y, Rgb ink, const Rgb* edge) {
    if (digit < 0 || digit > 9) {
        return;
    }
    const auto& rows = kDigits[static_cast<std::size_t>(digit)];
    auto inked = [&](int column, int row) {
        return column >= 0 && column < kDigitWidth && row >= 0 && row < kDigitHeight &&
               rows[static_cast<std::size_t>(row)][column] == '#';
    };
    if (edge != nullptr) {
        for (int row = 0; row <= kDigitHeight; ++row) {
            for (int column = 0; column <= kDigitWidth; ++column) {
                if (!inked(column, row) && inked(column - 1, row - 1)) {
                    image.Set(x + column, y + row, *edge);
                }
            }
        }
    }
    for (int row = 0; row < kDigitHeight; ++row) {
        for (int column = 0; column < kDigitWidth; ++column) {
            if (inked(column, row)) {
                image.Set(x + column, y + row, ink);
            }
        }
    }
}

}  // namespace tessaron::assets
