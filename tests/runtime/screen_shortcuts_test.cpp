// The play screen's shortcuts against the toolkit's painter: the same drawing with and without
// them must leave the same bits in the back buffer and in the frame shown.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/random.h"
#include "runtime/screen_pixels.h"
#include "runtime/screen_test_support.h"

namespace tessaron::runtime::test {
namespace {

// Sprite numbers of the pictures below.
enum TestSprite : int {
    kColours = 1,  // 256 x 256: with the ground below, every pair of channel values
    kGround = 2,   // 256 x 256, solid
    kTile = 3,     // 40 x 40, solid
    kRing = 4,     // 40 x 40, a frame with a transparent middle
    kBar = 5,      // 100 x 3, solid
    kSpot = 6,     // 7 x 5, solid
    kBall = 7,     // 30 x 30, a disc
};

void WriteShortcutPictures() {
    static bool written = false;
    if (written)
        return;
    written = true;
    Picture colours(256, 256);
    Picture ground(256, 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            // Red meets every red of the ground at (s, d) = (x, y), green at (y, x), blue at
            // ((x + y) mod 256, x). Only the corner (0, 0) is black, that is transparent.
            colours.At(x, y) = Packed(x, y, (x + y) & 255);
            ground.At(x, y) = Packed(y, x, x) | Packed(0, 0, x == 0 && y == 0 ? 1 : 0);
        }
    }
    WriteBitmap("BMP\\Colours.bmp", colours);
    WriteBitmap("BMP\\Ground.bmp", ground);
    Picture tile(40, 40);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) tile.At(x, y) = Packed(20 + 5 * x, 200 - 4 * y, 90);
    }
    WriteBitmap("BMP\\Tile.bmp", tile);
    Picture ring(40, 40, Packed(250, 200, 10));
    ring.Fill(6, 6, 28, 28, 0);
    WriteBitmap("BMP\\Ring.bmp", ring);
    WriteBitmap("BMP\\Bar.bmp", Picture(100, 3, Packed(10, 10, 240)));
    WriteBitmap("BMP\\Spot.bmp", Picture(7, 5, Packed(255, 255, 255)));
    Picture ball(30, 30);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const int dx = 2 * x - 29;
            const int dy = 2 * y - 29;
            if (dx * dx + dy * dy <= 29 * 29)
                ball.At(x, y) = Packed(200, 8 * x, 8 * y);
        }
    }
    WriteBitmap("BMP\\Ball.bmp", ball);
}

class Shortcuts : public ::testing::Test {
  protected:
    Shortcuts() : screen(TestMachine()) {
        WriteShortcutPictures();
        const char* files[] = {"Colours", "Ground", "Tile", "Ring", "Bar", "Spot", "Ball"};
        for (int n = kColours; n <= kBall; ++n) {
            EXPECT_TRUE(screen.LoadSprite(n, std::string("BMP\\") + files[n - 1] + ".bmp"));
            EXPECT_TRUE(screen.CreateBlendedSprite(n, n));
        }
        screen.SetBlendedFiltering(true);
        screen.LoadFont(1, "Arial", 7);
    }
    ~Shortcuts() override { screen.SetDrawingShortcuts(DrawingShortcuts::On); }

    // Runs the drawing both ways; the back buffers and the frames shown must be the same.
    template <typename Draw>
    void ExpectSameBothWays(Draw draw) {
        std::vector<std::uint32_t> back[2];
        std::vector<Rgb> shown[2];
        for (int way = 0; way < 2; ++way) {
            screen.SetDrawingShortcuts(way == 0 ? DrawingShortcuts::On : DrawingShortcuts::Off);
            // Both ways start from the same black frame shown.
            screen.Clear(Rgb{0, 0, 0});
            screen.Show();
            draw();
            screen.CopyBackBuffer(back[way]);
            for (int y = 0; y < PlayScreen::kHeight; y += 3) {
                for (int x = 0; x < PlayScreen::kWidth; ++x)
                    shown[way].push_back(screen.ShownPixel(x, y));
            }
        }
        ASSERT_EQ(back[0].size(), back[1].size());
        for (std::size_t p = 0; p < back[0].size(); ++p) {
            ASSERT_EQ(back[0][p], back[1][p]) << "back buffer pixel (" << p % PlayScreen::kWidth
                                              << ", " << p / PlayScreen::kWidth << ")";
        }
        for (std::size_t p = 0; p < shown[0].size(); ++p) {
            ASSERT_EQ(shown[0][p], shown[1][p]) << "shown pixel " << p;
        }
    }

    PlayScreen screen;
};

// Every opacity, every pair of channel values, at eight alignments and clipped at each edge.
TEST_F(Shortcuts, UnscaledBlendedSpritesMixAsThePainter) {
    screen.SetBlendedSize(kColours, 256, 256);
    for (int opacity = 1; opacity <= 255; ++opacity) {
        SCOPED_TRACE("opacity " + std::to_string(opacity));
        const int x = opacity % 5 == 0   ? -100 - opacity
                      : opacity % 5 == 1 ? 900
                                         : 100 + opacity % 8;
        const int y = opacity % 7 == 0 ? -50 : opacity % 7 == 1 ? 600 : 300;
        ExpectSameBothWays([&] {
            screen.Clear(Rgb{0, 0, 0});
            screen.DrawSprite(kGround, x, y);
            screen.BeginScene();
            screen.DrawBlended(kColours, x, y, opacity);
            screen.EndScene();
        });
        if (HasFatalFailure())
            return;
    }
}

// Narrowed pictures at every width below their own and at every column where they touch the
// screen, over a ground of many colours, in rows that leave the screen at the top and bottom.
TEST_F(Shortcuts, NarrowedSpritesBlendAsThePainter) {
    for (const int sprite : {kBall, kRing}) {
        const int full = screen.SpriteWidth(sprite);
        for (int width = 1; width < full; ++width) {
            SCOPED_TRACE("sprite " + std::to_string(sprite) + " width " + std::to_string(width));
            // Each row holds the columns of one remainder modulo the spacing.
            const int spacing = width + 1;
            for (int firstRow = 0; firstRow < spacing; firstRow += 20) {
                ExpectSameBothWays([&] {
                    for (int tile = 0; tile < 12; ++tile) {
                        screen.DrawSprite(kColours, 256 * (tile % 4), 256 * (tile / 4));
                    }
                    screen.BeginScene();
                    screen.SetBlendedSize(sprite, width, screen.SpriteHeight(sprite));
                    for (int row = 0; row < 20 && firstRow + row < spacing; ++row) {
                        for (int x = firstRow + row - width; x < PlayScreen::kWidth; x += spacing) {
                            screen.DrawBlended(sprite, x, -20 + 41 * row, 255);
                        }
                    }
                    screen.EndScene();
                });
                if (HasFatalFailure())
                    return;
            }
        }
    }
}

// Pictures grown and shrunk in both directions at every row where they touch the screen, with
// opacities all over the range, over a ground of many colours.
TEST_F(Shortcuts, ResizedSpritesBlendAsThePainter) {
    struct Size {
        int sprite;
        int width;
        int height;
    };
    for (const Size size : {Size{kRing, 41, 41}, Size{kBall, 23, 45}}) {
        SCOPED_TRACE("sprite " + std::to_string(size.sprite) + " " + std::to_string(size.width) +
                     " x " + std::to_string(size.height));
        // Twenty columns a frame, each a row lower than the one before.
        for (int firstY = 1 - size.height; firstY < PlayScreen::kHeight; firstY += 20) {
            ExpectSameBothWays([&] {
                for (int tile = 0; tile < 12; ++tile) {
                    screen.DrawSprite(kColours, 256 * (tile % 4), 256 * (tile / 4));
                }
                screen.BeginScene();
                screen.SetBlendedSize(size.sprite, size.width, size.height);
                for (int column = 0; column < 20; ++column) {
                    const int y = firstY + column;
                    const int opacity = y % 3 == 0 ? 255 : 1 + (y * 37 + 500) % 255;
                    screen.DrawBlended(size.sprite, 50 * column + (firstY + 60) % 7, y, opacity);
                }
                screen.EndScene();
            });
            if (HasFatalFailure())
                return;
        }
    }
}

// Random frames of keyed and blended sprites, text and shapes, often laid out in cells that
// cover the screen, with the frame before shown and sometimes drawn over without a clear.
class RandomFrames : public Shortcuts, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(RandomFrames, DrawAsThePainter) {
    const std::uint32_t seed = GetParam();
    ExpectSameBothWays([&] {
        Random random(seed);
        const auto any = [&](int from, int to) { return from + random.Next(to - from); };
        for (int frame = 0; frame < 4; ++frame) {
            const bool clear = random.Next(3) != 0;
            if (clear)
                screen.Clear(Rgb{std::uint8_t(any(0, 255)), 0, std::uint8_t(any(0, 255))});
            const int cellX = any(-39, 0);
            const int cellY = any(-39, 0);
            // Half the frames start as the map does, with a tile on every cell of the screen
            // but perhaps one.
            if (random.Next(1) == 0) {
                const int gap = any(-1, 26 * 21);
                for (int cell = 0; cell < 27 * 21; ++cell) {
                    if (cell == gap)
                        continue;
                    screen.DrawSprite(kTile, cellX + 40 * (cell % 27), cellY + 40 * (cell / 27));
                }
            }
            const int draws = any(20, 700);
            bool inScene = false;
            for (int i = 0; i < draws; ++i) {
                const int what = random.Next(99);
                // Mostly whole cells of the grid that covers the screen, sometimes anywhere.
                const bool inCell = random.Next(9) != 0;
                const int x = inCell ? cellX + 40 * any(-1, 26) : any(-120, 1100);
                const int y = inCell ? cellY + 40 * any(-1, 20) : any(-120, 830);
                if (what < 70) {
                    const int sprites[] = {kTile, kTile, kTile, kRing, kBar, kSpot, kBall};
                    screen.DrawSprite(sprites[random.Next(6)], x, y);
                } else if (what < 90) {
                    if (!inScene)
                        screen.BeginScene();
                    inScene = true;
                    const int sprite = kTile + random.Next(4);
                    const int width = screen.SpriteWidth(sprite);
                    const int height = screen.SpriteHeight(sprite);
                    switch (random.Next(4)) {
                        case 0:
                            screen.SetBlendedSize(sprite, any(1, 2 * width), height);
                            break;
                        case 1:
                            screen.SetBlendedSize(sprite, width, height);
                            screen.SetBlendedRotation(sprite, float(any(0, 359)),
                                                      RotationCentre::Quad);
                            break;
                        default:
                            screen.SetBlendedSize(sprite, width, height);
                            break;
                    }
                    const int opacities[] = {0, 1, 75, 150, 254, 255, 255};
                    screen.DrawBlended(sprite, x, y, opacities[random.Next(6)]);
                } else if (what < 95) {
                    if (inScene)
                        screen.EndScene();
                    inScene = false;
                    screen.BeginDrawing();
                    screen.UseFont(1);
                    screen.SetDrawingMode(random.Next(1) != 0 ? kTransparentText : 0);
                    screen.SetTextPosition(x, y);
                    screen.DrawText(" " + std::to_string(any(-99, 999)) + " ");
                    screen.Rectangle(x, y + 20, any(1, 60), any(1, 30), Rgb{9, 99, 199});
                    screen.EndDrawing();
                } else {
                    // Reading a pixel back draws what is queued, in the middle of a frame.
                    static_cast<void>(screen.BackPixel(x, y));
                }
            }
            if (inScene)
                screen.EndScene();
            if (frame < 3)
                screen.Show();
        }
    });
}

// The mask against a plain table of the screen's pixels.
TEST(CoverMask, CoversExactlyThePixelsOfItsRectangles) {
    using pixels::ScreenRect;
    constexpr int kWidth = PlayScreen::kWidth;
    constexpr int kHeight = PlayScreen::kHeight;
    pixels::CoverMask mask;
    Random random(3);
    for (int round = 0; round < 20; ++round) {
        mask.Reset();
        std::vector<char> covered(std::size_t(kWidth) * kHeight, 0);
        const auto anyRect = [&] {
            const int left = random.Next(kWidth - 1);
            const int top = random.Next(kHeight - 1);
            return ScreenRect{left, top, left + 1 + random.Next(std::min(130, kWidth - left - 1)),
                              top + 1 + random.Next(std::min(50, kHeight - top - 1))};
        };
        const auto plainCovers = [&](const ScreenRect& r) {
            for (int y = r.top; y < r.bottom; ++y) {
                for (int x = r.left; x < r.right; ++x) {
                    if (covered[std::size_t(y) * kWidth + std::size_t(x)] == 0)
                        return false;
                }
            }
            return true;
        };
        std::vector<ScreenRect> rects;
        for (int i = 0; i < 60 * round; ++i) {
            const ScreenRect r = anyRect();
            rects.push_back(r);
            mask.Cover(r);
            for (int y = r.top; y < r.bottom; ++y) {
                std::fill_n(covered.begin() + std::ptrdiff_t(y) * kWidth + r.left, r.right - r.left,
                            1);
            }
        }
        for (int i = 0; i < 2000 && !rects.empty(); ++i) {
            // A rectangle covered, grown by a pixel on one side (perhaps beyond what is covered).
            ScreenRect r = rects[std::size_t(random.Next(int(rects.size()) - 1))];
            switch (random.Next(4)) {
                case 0:
                    r.left = std::max(0, r.left - 1);
                    break;
                case 1:
                    r.top = std::max(0, r.top - 1);
                    break;
                case 2:
                    r.right = std::min(kWidth, r.right + 1);
                    break;
                case 3:
                    r.bottom = std::min(kHeight, r.bottom + 1);
                    break;
                default:
                    break;
            }
            ASSERT_EQ(mask.Covers(r), plainCovers(r))
                << r.left << " " << r.top << " " << r.right << " " << r.bottom;
        }
        std::vector<char> uncovered(covered.size(), 0);
        mask.ForEachUncoveredRun([&](int x, int y, int length) {
            ASSERT_GT(length, 0);
            std::fill_n(uncovered.begin() + std::ptrdiff_t(y) * kWidth + x, length, 1);
        });
        for (std::size_t p = 0; p < covered.size(); ++p) {
            ASSERT_NE(covered[p], uncovered[p]) << "pixel " << p;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomFrames,
                         ::testing::Range(std::uint32_t{1}, std::uint32_t{41}));

}  // namespace
}  // namespace tessaron::runtime::test
