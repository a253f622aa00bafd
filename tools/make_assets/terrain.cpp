// Backdrops and ground: textures that repeat every 40 pixels in both directions, so that cells
// side by side and on top of each other join without a visible seam.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "paint.h"
#include "pictures.h"

namespace tessaron::assets {

namespace {

constexpr int kTile = 40;
constexpr float kTwoPi = 6.28318531f;

// The signed distance from a to b on a ring of `period` pixels, in [-period/2, period/2).
float WrappedDelta(float a, float b, int period) {
    float d = std::fmod(a - b, static_cast<float>(period));
    if (d < -static_cast<float>(period) / 2.0f) {
        d += static_cast<float>(period);
    }
    if (d >= static_cast<float>(period) / 2.0f) {
        d -= static_cast<float>(period);
    }
    return d;
}

struct Pebble {
    float x, y, rx, ry;
};

// Stones in the earth; positions wrap around the tile so that stones on an edge continue in
// the neighbouring cell.
constexpr Pebble kPebbles[] = {
    {9.0f, 13.0f, 3.6f, 2.6f},
    {26.0f, 27.0f, 4.2f, 3.0f},
    {12.0f, 35.0f, 2.2f, 1.7f},
};

// The earth's colour at a pixel of the 40 x 40 tile: crumbly soil with lighter grains and
// small stones lit from the top left, each with a dark rim and a shadow below.
Rgb EarthPixel(int x, int y) {
    const float px = static_cast<float>(x) + 0.5f;
    const float py = static_cast<float>(y) + 0.5f;
    for (const Pebble& p : kPebbles) {
        const float dx = WrappedDelta(px, p.x, kTile) / p.rx;
        const float dy = WrappedDelta(py, p.y, kTile) / p.ry;
        const float d = dx * dx + dy * dy;
        if (d <= 1.0f) {
            float t = 0.25f + 0.6f * LightFacing(dx, dy);
            if (d < 0.35f && dx < 0.0f && dy < 0.0f) {
                t += 0.25f;
            }
            return Shade(std::span(palette::kStone).subspan(1, 5), t, x, y, 0.4f);
        }
        const float rim = WrappedDelta(px, p.x, kTile) / (p.rx + 1.0f);
        const float rimY = WrappedDelta(py, p.y, kTile) / (p.ry + 1.0f);
        if (rim * rim + rimY * rimY <= 1.0f) {
            return palette::kEarth[0];
        }
    }
    float t = 0.42f + 0.5f * (TiledFractal(px, py, 10, kTile, 301u) - 0.5f);
    const float grain = Random01(x, y, 302u);
    if (grain < 0.07f) {
        t += 0.28f;
    } else if (grain < 0.13f) {
        t -= 0.22f;
    }
    // Grains catch the light on top and throw a shadow one pixel below.
    if (Random01(x, y - 1 < 0 ? kTile - 1 : y - 1, 302u) < 0.07f) {
        t -= 0.18f;
    }
    return Shade(palette::kEarth, t, x, y, 0.7f);
}

}  // namespace

Image PaintSky() {
    Image image(kTile, kTile);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            // Long, faint streaks of haze: the noise is stretched four times along x.
            // Mostly one clear blue; where the haze is thick, sparse lighter pixels. The haze is
            // twice as wide as high and repeats every 40 pixels across and 20 down.
            const float haze = TiledNoise(px * 0.5f, py, 10, 20, 101u);
            const float t = std::clamp((haze - 0.5f) * 1.4f, 0.0f, 0.45f);
            image.Set(x, y, Shade(std::span(palette::kSky).subspan(1, 2), t, x, y, 1.0f));
        }
    }
    return image;
}

Image PaintWater() {
    // 46 pixels wide: the game draws it 3 pixels left of the cell and sways it by up to 3
    // pixels, so the picture repeats with a period of 40 and its last 6 columns equal its first.
    Image image(kTile + 6, kTile);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile + 6; ++x) {
            const int tx = x % kTile;
            const float px = static_cast<float>(tx) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            const float swell = TiledFractal(px, py, 10, kTile, 201u);
            float t = 0.4f + 0.22f * (swell - 0.5f);
            // Three bands of ripples: thin wavy crests that catch the light.
            for (int band = 0; band < 3; ++band) {
                const float base = 6.0f + 13.0f * static_cast<float>(band);
                const float phase = static_cast<float>(band) * 2.1f;
                const float crest = base + 1.1f * std::sin(kTwoPi * px / 20.0f + phase) +
                                    0.6f * std::sin(kTwoPi * px / 40.0f * 3.0f + phase * 1.7f);
                const float along = TiledNoise(px, static_cast<float>(band) * 10.0f, 5, kTile,
                                               202u + static_cast<std::uint32_t>(band));
                if (std::fabs(py - crest) < 0.6f && along > 0.48f) {
                    t = along > 0.7f ? 0.95f : 0.74f;
                } else if (py - crest > 0.4f && py - crest < 1.6f && along > 0.5f) {
                    t -= 0.12f;
                }
            }
            image.Set(x, y, Shade(std::span(palette::kWater).subspan(1, 6), t, tx, y, 0.8f));
        }
    }
    return image;
}

Image PaintBricks() {
    Image image(kTile, kTile);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const int course = y / 10;
            const int yIn = y % 10;
            const int shifted = x + (course % 2 == 1 ? 10 : 0);
            const int xIn = shifted % 20;
            const int brick = course * 2 + (shifted / 20) % 2;
            if (yIn == 9 || xIn == 19) {
                // Mortar is recessed: darker right under and beside a brick.
                const float speck = Random01(x, y, 111u);
                int index = (yIn == 9 && xIn != 19) ? 1 : 2;
                if (speck < 0.15f) {
                    index -= 1;
                } else if (speck > 0.9f) {
                    index += 1;
                }
                image.Set(x, y, Step(palette::kMortar, index));
                continue;
            }
            float t = 0.5f + 0.22f * (Random01(brick, 0, 112u) - 0.5f);
            t += 0.2f * (TiledFractal(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, 5,
                                      kTile, 113u) -
                         0.5f);
            if (yIn == 0) {
                t += 0.3f;
            } else if (yIn == 8) {
                t -= 0.3f;
            }
            if (xIn == 0) {
                t += 0.18f;
            } else if (xIn == 18) {
                t -= 0.2f;
            }
            const float speck = Random01(x, y, 114u);
            if (speck < 0.06f) {
                t -= 0.22f;
            } else if (speck > 0.95f) {
                t += 0.2f;
            }
            image.Set(x, y, Shade(palette::kBrick, t, x, y, 0.5f));
        }
    }
    return image;
}

Image PaintConcrete() {
    struct Pore {
        int x, y;
    };
    constexpr Pore kPores[] = {{6, 5},  {31, 9},  {17, 17}, {36, 22},
                               {9, 28}, {24, 33}, {2, 15},  {28, 2}};
    Image image(kTile, kTile);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const float px = static_cast<float>(x) + 0.5f;
            const float py = static_cast<float>(y) + 0.5f;
            float t = 0.5f + 0.3f * (TiledFractal(px, py, 10, kTile, 121u) - 0.5f);
            const float speck = Random01(x, y, 123u);
            if (speck < 0.04f) {
                t -= 0.3f;
            } else if (speck > 0.96f) {
                t += 0.25f;
            }
            image.Set(x, y, Shade(std::span(palette::kStone).subspan(3, 3), t, x, y, 0.45f));
        }
    }
    // Air pores: a dark pit, its lower right rim catching the light.
    for (const Pore& pore : kPores) {
        image.Set(pore.x, pore.y, palette::kStone[1]);
        image.Set((pore.x + 1) % kTile, pore.y, palette::kStone[2]);
        image.Set(pore.x, (pore.y + 1) % kTile, palette::kStone[5]);
        image.Set((pore.x + 1) % kTile, (pore.y + 1) % kTile, palette::kStone[5]);
    }
    return image;
}

Image PaintEarth() {
    Image image(kTile, kTile);
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            image.Set(x, y, EarthPixel(x, y));
        }
    }
    return image;
}

Image PaintGrass() {
    Image image(kTile, kTile);
    for (int x = 0; x < kTile; ++x) {
        const float px = static_cast<float>(x) + 0.5f;
        // The sod's lower edge: a gentle wave with tufts hanging into the earth.
        int depth = 9 + static_cast<int>(std::lround(
                            2.0f * (TiledNoise(px, 0.0f, 10, kTile, 131u) - 0.5f) * 2.0f));
        const std::uint32_t tuft = Hash(x / 3, 0, 132u) % 7u;
        if (tuft == 0) {
            depth += 3 - static_cast<int>(x % 3 == 1 ? 0 : 1);
        } else if (tuft == 1) {
            depth += 1;
        }
        const int blade = 1 + static_cast<int>(Hash(x, 0, 133u) % 4u);
        for (int y = 0; y < kTile; ++y) {
            if (y < depth) {
                // Blades: each column's tip is lit, the sod darkens towards its lower edge.
                float t = 0.72f - 0.45f * static_cast<float>(y) / static_cast<float>(depth);
                if (y < blade) {
                    t += (x % 2 == 0) ? 0.2f : 0.08f;
                }
                if (y == 0) {
                    t += 0.1f;
                }
                t += 0.16f * (Random01(x, y / 2, 134u) - 0.5f);
                if (y == depth - 1) {
                    t = 0.12f;
                }
                image.Set(x, y, Shade(palette::kGrass, t, x, y, 0.5f));
            } else if (y == depth) {
                image.Set(x, y, palette::kEarth[0]);
            } else {
                image.Set(x, y, EarthPixel(x, y));
            }
        }
    }
    return image;
}

namespace {

struct Clump {
    float x, y, r;
};

struct Twig {
    int x0, y0, x1, y1;
};

struct BushShape {
    std::vector<Twig> twigs;
    std::vector<Clump> clumps;  // back to front
    bool berries;
};

BushShape BushStage(int percent) {
    switch (percent) {
        case 100:
            return {{{20, 39, 12, 24}, {20, 39, 28, 24}, {20, 39, 20, 14}},
                    {{9.0f, 28.0f, 9.0f},
                     {31.0f, 28.0f, 9.0f},
                     {14.0f, 17.0f, 10.0f},
                     {27.0f, 16.0f, 10.0f},
                     {20.0f, 10.0f, 8.5f},
                     {20.0f, 27.0f, 12.0f},
                     {8.0f, 33.5f, 6.5f},
                     {32.0f, 33.5f, 6.5f}},
                    true};
        case 75:
            return {{{20, 39, 11, 22}, {20, 39, 29, 22}, {20, 39, 21, 11}, {21, 22, 27, 14}},
                    {{10.0f, 29.0f, 8.5f},
                     {30.0f, 29.0f, 8.5f},
                     {14.0f, 20.0f, 8.0f},
                     {27.0f, 20.0f, 7.5f},
                     {20.0f, 30.0f, 10.0f},
                     {20.0f, 14.0f, 5.0f}},
                    true};
        case 50:
            return {{{20, 39, 10, 22},
                     {20, 39, 30, 20},
                     {20, 39, 23, 19},
                     {23, 19, 27, 15},
                     {23, 19, 20, 14},
                     {13, 28, 7, 23},
                     {24, 30, 33, 26}},
                    {{11.0f, 31.0f, 7.0f},
                     {29.0f, 31.0f, 7.0f},
                     {20.0f, 33.0f, 8.0f},
                     {8.0f, 23.5f, 3.0f}},
                    false};
        default:
            return {{{20, 39, 13, 28}, {20, 39, 27, 27}, {20, 39, 21, 25}, {15, 33, 10, 30}},
                    {{13.0f, 35.0f, 5.0f}, {27.0f, 35.0f, 4.5f}, {20.0f, 36.5f, 4.5f}},
                    false};
    }
}

}  // namespace

Image PaintBush(int percent) {
    const BushShape shape = BushStage(percent);
    Image image(kTile, kTile);
    for (const Twig& twig : shape.twigs) {
        Line(image, twig.x0, twig.y0, twig.x1, twig.y1, palette::kWood[1]);
        Line(image, twig.x0 - 1, twig.y0, twig.x1 - 1, twig.y1, palette::kWood[2]);
    }
    for (int y = 0; y < kTile; ++y) {
        for (int x = 0; x < kTile; ++x) {
            const Clump* front = nullptr;
            for (const Clump& clump : shape.clumps) {
                if (InDisc(x, y, clump.x, clump.y, clump.r)) {
                    front = &clump;
                }
            }
            if (front == nullptr) {
                continue;
            }
            const float nx = (static_cast<float>(x) + 0.5f - front->x) / front->r;
            const float ny = (static_cast<float>(y) + 0.5f - front->y) / front->r;
            float t =
                0.12f + 0.8f * LightFacing(nx, ny) * (0.55f + 0.45f * std::sqrt(nx * nx + ny * ny));
            // Leaves: clusters of two by two pixels, some of them catching the light.
            const float leaf = Random01(x / 2 + (y % 4 < 2 ? 0 : 7), y / 2, 141u);
            t += 0.3f * (leaf - 0.5f);
            if (Random01(x, y, 142u) < 0.08f && t > 0.45f) {
                t += 0.3f;
            }
            // Near the edge of a front clump that lies over another: a shadow line.
            if (nx * nx + ny * ny > 0.8f && ny > 0.0f) {
                t -= 0.2f;
            }
            image.Set(x, y, Shade(palette::kLeaf, t, x, y, 0.5f));
        }
    }
    InnerOutline(image, palette::kLeaf[0]);
    if (shape.berries) {
        constexpr int kBerries[][2] = {{12, 14}, {25, 20}, {17, 27}, {30, 30}, {8, 24}};
        for (const auto& berry : kBerries) {
            image.Set(berry[0] + 1, berry[1], palette::kRed[2]);
            image.Set(berry[0], berry[1] + 1, palette::kRed[2]);
            image.Set(berry[0] + 1, berry[1] + 1, palette::kRed[1]);
            image.Set(berry[0], berry[1], palette::kRed[5]);
        }
    }
    return image;
}

}  // namespace tessaron::assets
