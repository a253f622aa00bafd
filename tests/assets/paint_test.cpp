// The generator's painting helpers: the properties the pictures rely on.
#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "paint.h"

namespace tessaron::assets {
namespace {

// Textures tile only if their noise repeats exactly with the tile's period.
class TiledNoiseRepeats : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(TiledNoiseRepeats, WithItsPeriodInBothDirections) {
    const auto [cell, period] = GetParam();
    const float p = static_cast<float>(period);
    for (float y = 0.25f; y < p; y += 1.5f) {
        for (float x = 0.5f; x < p; x += 1.25f) {
            const float here = TiledNoise(x, y, cell, period, 9u);
            // Equal up to the rounding of the larger coordinates.
            EXPECT_NEAR(here, TiledNoise(x + p, y, cell, period, 9u), 1e-5f) << x << ", " << y;
            EXPECT_NEAR(here, TiledNoise(x, y + p, cell, period, 9u), 1e-5f) << x << ", " << y;
            EXPECT_NEAR(here, TiledNoise(x - p, y - p, cell, period, 9u), 1e-5f) << x << ", " << y;
            EXPECT_GE(here, 0.0f);
            EXPECT_LE(here, 1.0f);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paint, TiledNoiseRepeats,
                         ::testing::Values(std::make_tuple(5, 10), std::make_tuple(10, 20),
                                           std::make_tuple(10, 40), std::make_tuple(20, 40)));

TEST(Paint, ShadeDithersInProportionAndStaysOnTheRamp) {
    constexpr std::array<Rgb, 2> kTwo{{{10, 10, 10}, {200, 200, 200}}};
    for (int quarter = 0; quarter <= 4; ++quarter) {
        const float t = static_cast<float>(quarter) / 4.0f;
        int light = 0;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                const Rgb c = Shade(kTwo, t, x, y, 1.0f);
                ASSERT_TRUE(c == kTwo[0] || c == kTwo[1]);
                light += c == kTwo[1] ? 1 : 0;
            }
        }
        EXPECT_EQ(light, quarter * 4) << "t = " << t;
    }
    // Without dithering, plain rounding; out-of-range shades clamp to the ends.
    EXPECT_EQ(Shade(kTwo, 0.4f, 0, 0, 0.0f), kTwo[0]);
    EXPECT_EQ(Shade(kTwo, 0.6f, 0, 0, 0.0f), kTwo[1]);
    EXPECT_EQ(Shade(kTwo, -3.0f, 1, 2, 1.0f), kTwo[0]);
    EXPECT_EQ(Shade(kTwo, 7.0f, 3, 1, 1.0f), kTwo[1]);
}

TEST(Paint, LightComesFromTheTopLeft) {
    EXPECT_NEAR(LightFacing(-1.0f, -1.0f), 1.0f, 1e-6f);
    EXPECT_NEAR(LightFacing(1.0f, 1.0f), 0.0f, 1e-6f);
    EXPECT_NEAR(LightFacing(1.0f, -1.0f), 0.5f, 1e-6f);
    EXPECT_NEAR(LightFacing(-3.0f, 0.0f), LightFacing(0.0f, -0.5f), 1e-6f)
        << "left and top lit alike";
    EXPECT_FLOAT_EQ(LightFacing(0.0f, 0.0f), 0.5f);
}

TEST(Paint, OutlinesFollowTheShape) {
    Image image(5, 5);
    image.FillRect(1, 1, 3, 3, {100, 100, 100});
    Image inner = image;
    InnerOutline(inner, {1, 2, 3});
    EXPECT_EQ(inner.At(1, 1), (Rgb{1, 2, 3}));
    EXPECT_EQ(inner.At(2, 2), (Rgb{100, 100, 100}));
    EXPECT_TRUE(inner.IsClear(0, 0));
    OuterOutline(image, {1, 2, 3});
    EXPECT_EQ(image.At(0, 2), (Rgb{1, 2, 3}));
    EXPECT_TRUE(image.IsClear(0, 0)) << "diagonal neighbours stay clear";
    EXPECT_EQ(image.At(1, 1), (Rgb{100, 100, 100}));
}

}  // namespace
}  // namespace tessaron::assets
