// The pictures in the game folder: sizes, transparency rules, the player mask, tiling.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <queue>
#include <string>
#include <vector>

#include "asset_files.h"

namespace tessaron::assets_test {
namespace {

std::string PicturePath(const std::string& file) {
    return std::string(TESSARON_GAME_DIR) + "/BMP/" + file;
}

Bitmap Load(const std::string& file) {
    const auto bitmap = ReadBmp(PicturePath(file));
    if (!bitmap) {
        ADD_FAILURE() << file << " is missing or not a 24-bit bitmap";
        return Bitmap{1, 1, {Pixel{}}};
    }
    return *bitmap;
}

int CountVisible(const Bitmap& bitmap) {
    return static_cast<int>(std::count_if(bitmap.pixels.begin(), bitmap.pixels.end(),
                                          [](const Pixel& p) { return !p.Clear(); }));
}

struct PictureSize {
    const char* file;
    int width;
    int height;
};

const PictureSize kPictures[] = {
    {"Bereich.bmp", 60, 60},   {"Raster.bmp", 40, 40},       {"Farben.bmp", 58, 58},
    {"Licht.bmp", 60, 60},     {"Leer.bmp", 40, 40},         {"H_Luft.bmp", 40, 40},
    {"H_Wasser.bmp", 46, 40},  {"Ziegelsteine.bmp", 40, 40}, {"Beton.bmp", 40, 40},
    {"Erde.bmp", 40, 40},      {"Rasen.bmp", 40, 40},        {"Gestrüp25.bmp", 40, 40},
    {"Gestrüp50.bmp", 40, 40}, {"Gestrüp75.bmp", 40, 40},    {"Gestrüp100.bmp", 40, 40},
    {"Schalter.bmp", 40, 40},  {"Sensor.bmp", 40, 40},       {"Tür.bmp", 40, 40},
    {"Flugstein.bmp", 40, 40}, {"Stacheln.bmp", 40, 40},     {"Fackel1.bmp", 40, 40},
    {"Fackel2.bmp", 40, 40},   {"DISK.bmp", 40, 40},         {"Ziel.bmp", 40, 40},
    {"0.bmp", 40, 40},         {"1-.bmp", 40, 40},           {"2-.bmp", 40, 40},
    {"5-.bmp", 40, 40},        {"10-.bmp", 40, 40},          {"20-.bmp", 40, 40},
    {"50-.bmp", 40, 40},
};

class EveryPicture : public ::testing::TestWithParam<PictureSize> {};

TEST_P(EveryPicture, ExistsWithItsSizeAndShowsSomething) {
    const PictureSize expected = GetParam();
    const auto bitmap = ReadBmp(PicturePath(expected.file));
    ASSERT_TRUE(bitmap.has_value()) << expected.file;
    EXPECT_EQ(bitmap->width, expected.width) << expected.file;
    EXPECT_EQ(bitmap->height, expected.height) << expected.file;
    if (std::string(expected.file) != "Leer.bmp") {
        EXPECT_GT(CountVisible(*bitmap), 0) << expected.file << " is entirely transparent";
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, EveryPicture, ::testing::ValuesIn(kPictures));

TEST(Pictures, EmptyPictureIsEntirelyBlack) {
    EXPECT_EQ(CountVisible(Load("Leer.bmp")), 0);
}

// Backdrops and the solid blocks cover their whole cell: a transparent pixel in them would be
// a hole the ball could sink into, or a gap in the backdrop.
class FullyCovered : public ::testing::TestWithParam<const char*> {};

TEST_P(FullyCovered, HasNoTransparentPixel) {
    const Bitmap bitmap = Load(GetParam());
    EXPECT_EQ(CountVisible(bitmap), bitmap.width * bitmap.height);
}

INSTANTIATE_TEST_SUITE_P(Pictures, FullyCovered,
                         ::testing::Values("H_Luft.bmp", "H_Wasser.bmp", "Ziegelsteine.bmp",
                                           "Beton.bmp", "Erde.bmp", "Rasen.bmp", "Tür.bmp",
                                           "Flugstein.bmp"));

// Shaped pictures may be transparent around their outline, but a transparent pixel enclosed by
// visible ones would be an accidental black pixel inside the drawing.
class ShapedPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(ShapedPicture, HasNoEnclosedTransparentPixel) {
    const Bitmap bitmap = Load(GetParam());
    std::vector<bool> outside(bitmap.pixels.size(), false);
    std::queue<std::pair<int, int>> open;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height) {
            return;
        }
        const auto at = static_cast<std::size_t>(y * bitmap.width + x);
        if (!outside[at] && bitmap.At(x, y).Clear()) {
            outside[at] = true;
            open.emplace(x, y);
        }
    };
    for (int i = 0; i < std::max(bitmap.width, bitmap.height); ++i) {
        visit(i, 0);
        visit(i, bitmap.height - 1);
        visit(0, i);
        visit(bitmap.width - 1, i);
    }
    while (!open.empty()) {
        const auto [x, y] = open.front();
        open.pop();
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            if (bitmap.At(x, y).Clear()) {
                EXPECT_TRUE(outside[static_cast<std::size_t>(y * bitmap.width + x)])
                    << GetParam() << ": enclosed transparent pixel at " << x << ", " << y;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, ShapedPicture,
                         ::testing::Values("Bereich.bmp", "Farben.bmp", "Gestrüp25.bmp",
                                           "Gestrüp50.bmp", "Gestrüp75.bmp", "Gestrüp100.bmp",
                                           "Schalter.bmp", "Stacheln.bmp", "Fackel1.bmp",
                                           "Fackel2.bmp", "DISK.bmp", "Ziel.bmp", "0.bmp", "1-.bmp",
                                           "2-.bmp", "5-.bmp", "10-.bmp", "20-.bmp", "50-.bmp"));

TEST(Pictures, PlayerMaskIsAFilledDiscMatchingTheDrawnBall) {
    const Bitmap mask = Load("Bereich.bmp");
    const Bitmap ball = Load("Farben.bmp");
    ASSERT_EQ(mask.width, 60);
    ASSERT_EQ(ball.width, 58);
    // The ball is drawn one pixel right of and below the mask's corner: same centre.
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - 30.0f;
            const float dy = static_cast<float>(y) + 0.5f - 30.0f;
            const float r2 = dx * dx + dy * dy;
            if (r2 <= 27.5f * 27.5f) {
                EXPECT_TRUE(mask.Visible(x, y)) << "hole in the mask at " << x << ", " << y;
            } else if (r2 >= 30.0f * 30.0f) {
                EXPECT_FALSE(mask.Visible(x, y))
                    << "mask pixel outside the disc at " << x << ", " << y;
            }
            EXPECT_EQ(mask.Visible(x, y), ball.Visible(x - 1, y - 1))
                << "mask and ball differ at " << x << ", " << y;
        }
    }
}

TEST(Pictures, BallLightStaysOnTheBall) {
    const Bitmap light = Load("Licht.bmp");
    const Bitmap mask = Load("Bereich.bmp");
    ASSERT_EQ(light.width, mask.width);
    ASSERT_EQ(light.height, mask.height);
    for (int y = 0; y < light.height; ++y) {
        for (int x = 0; x < light.width; ++x) {
            if (light.Visible(x, y)) {
                EXPECT_TRUE(mask.Visible(x, y)) << "light outside the ball at " << x << ", " << y;
            }
        }
    }
}

TEST(Pictures, GridIsAThinFrameTransparentInside) {
    const Bitmap grid = Load("Raster.bmp");
    ASSERT_EQ(grid.width, 40);
    for (int i = 0; i < 40; ++i) {
        EXPECT_TRUE(grid.Visible(i, 0));
        EXPECT_TRUE(grid.Visible(0, i));
    }
    for (int y = 2; y < 38; ++y) {
        for (int x = 2; x < 38; ++x) {
            EXPECT_FALSE(grid.Visible(x, y)) << x << ", " << y;
        }
    }
}

TEST(Pictures, BushStagesThinOutFromFullToNearlyGone) {
    const int full = CountVisible(Load("Gestrüp100.bmp"));
    const int most = CountVisible(Load("Gestrüp75.bmp"));
    const int half = CountVisible(Load("Gestrüp50.bmp"));
    const int least = CountVisible(Load("Gestrüp25.bmp"));
    EXPECT_GT(full, most);
    EXPECT_GT(most, half);
    EXPECT_GT(half, least);
    EXPECT_LT(least, full / 3);
}

TEST(Pictures, TorchFramesDiffer) {
    EXPECT_NE(Load("Fackel1.bmp").pixels, Load("Fackel2.bmp").pixels);
}

// The water is drawn 3 pixels left of its cell and sways by up to 3 pixels, so neighbouring
// water cells overlap by 6 columns: the picture must repeat with a period of 40.
TEST(Pictures, WaterRepeatsEveryFortyColumns) {
    const Bitmap water = Load("H_Wasser.bmp");
    ASSERT_EQ(water.width, 46);
    for (int y = 0; y < water.height; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(water.At(x, y), water.At(x + 40, y)) << x << ", " << y;
        }
    }
}

int Difference(const Pixel& a, const Pixel& b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

// The average colour step across a tile's wrap-around edge, against the largest average step
// between two neighbouring columns (or rows) inside it: a seam shows as a step larger than any
// the texture has inside.
struct Seam {
    double across;
    double inside;
};

Seam HorizontalSeam(const Bitmap& left, const Bitmap& right, int width) {
    Seam seam{0.0, 0.0};
    for (int y = 0; y < left.height; ++y) {
        seam.across += Difference(left.At(width - 1, y), right.At(0, y));
    }
    seam.across /= left.height;
    for (int x = 0; x + 1 < width; ++x) {
        double step = 0.0;
        for (int y = 0; y < left.height; ++y) {
            step += Difference(left.At(x, y), left.At(x + 1, y));
        }
        seam.inside = std::max(seam.inside, step / left.height);
    }
    return seam;
}

Seam VerticalSeam(const Bitmap& upper, const Bitmap& lower) {
    Seam seam{0.0, 0.0};
    for (int x = 0; x < upper.width; ++x) {
        seam.across += Difference(upper.At(x, upper.height - 1), lower.At(x, 0));
    }
    seam.across /= upper.width;
    for (int y = 0; y + 1 < lower.height; ++y) {
        double step = 0.0;
        for (int x = 0; x < lower.width; ++x) {
            step += Difference(lower.At(x, y), lower.At(x, y + 1));
        }
        seam.inside = std::max(seam.inside, step / lower.width);
    }
    return seam;
}

class TilingTexture : public ::testing::TestWithParam<const char*> {};

TEST_P(TilingTexture, JoinsItselfWithoutASeam) {
    const Bitmap tile = Load(GetParam());
    const Seam sideBySide = HorizontalSeam(tile, tile, 40);
    EXPECT_LE(sideBySide.across, sideBySide.inside) << "side by side";
    const Seam stacked = VerticalSeam(tile, tile);
    EXPECT_LE(stacked.across, stacked.inside) << "on top of each other";
}

INSTANTIATE_TEST_SUITE_P(Pictures, TilingTexture,
                         ::testing::Values("H_Luft.bmp", "H_Wasser.bmp", "Ziegelsteine.bmp",
                                           "Beton.bmp", "Erde.bmp"));

TEST(Pictures, GrassJoinsItselfSideBySideAndEarthBelowIt) {
    const Bitmap grass = Load("Rasen.bmp");
    const Bitmap earth = Load("Erde.bmp");
    const Seam sideBySide = HorizontalSeam(grass, grass, 40);
    EXPECT_LE(sideBySide.across, sideBySide.inside);
    const Seam overEarth = VerticalSeam(grass, earth);
    const Seam earthOnly = VerticalSeam(earth, earth);
    EXPECT_LE(overEarth.across, earthOnly.inside);
}

}  // namespace
}  // namespace tessaron::assets_test
