// The program's icon: the ball on clear ground with soft edges at every size.
#include <gtest/gtest.h>

#include <cstdint>

#include "icon.h"

namespace tessaron::assets_test {
namespace {

class IconSizes : public ::testing::TestWithParam<int> {};

TEST_P(IconSizes, BallOnClearGroundWithSoftEdges) {
    const int size = GetParam();
    const assets::RgbaImage icon = assets::PaintIcon(size);
    ASSERT_EQ(icon.pixels.size(), std::size_t(size * size * 4));
    const auto alpha = [&](int x, int y) {
        return icon.pixels[std::size_t((y * size + x) * 4 + 3)];
    };
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(size - 1, size - 1), 0);
    EXPECT_EQ(alpha(size / 2, size / 2), 255);
    // The ball is 58 of the icon's 64 units across, and its rim is partly covered all round.
    int solid = 0, soft = 0;
    for (int x = 0; x < size; ++x) {
        solid += alpha(x, size / 2) == 255 ? 1 : 0;
        for (int y = 0; y < size; ++y) {
            soft += alpha(x, y) > 0 && alpha(x, y) < 255 ? 1 : 0;
        }
    }
    EXPECT_NEAR(solid, size * 58 / 64, 2);
    EXPECT_GE(soft, 2 * size);
    // The white cap in the middle.
    const std::uint8_t* centre = &icon.pixels[std::size_t((size / 2 * size + size / 2) * 4)];
    EXPECT_GT(centre[0], 200);
    EXPECT_GT(centre[1], 200);
    EXPECT_GT(centre[2], 200);
}

INSTANTIATE_TEST_SUITE_P(All, IconSizes, ::testing::ValuesIn(assets::kIconSizes));

}  // namespace
}  // namespace tessaron::assets_test
