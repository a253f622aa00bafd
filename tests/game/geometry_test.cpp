// The player's geometry at its edges: the near bound, the picture corner's rounding, the element
// classes, and the push-out's angle, threshold, distance, push and direction.
#include "game/geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tessaron::game {
namespace {

using level::Code;
using level::ElementKind;

TEST(Near, BoundIsStrictOnBothAxes) {
    // The cell (10, 10) lies at x = viewX - 112 and y = viewY + 16 from the ball's centre.
    EXPECT_FALSE(IsNear(10.0f, 10.0f, 172.0f, -16.0f, 60.0f));
    EXPECT_TRUE(IsNear(10.0f, 10.0f, 171.99f, -16.0f, 60.0f));
    EXPECT_FALSE(IsNear(10.0f, 10.0f, 52.0f, -16.0f, 60.0f));
    EXPECT_TRUE(IsNear(10.0f, 10.0f, 52.01f, -16.0f, 60.0f));
    EXPECT_TRUE(IsNear(10.0f, 10.0f, 172.0f, -16.0f, 100.0f));
    // Level in x, 60 and 100 pixels below.
    EXPECT_FALSE(IsNear(10.0f, 10.0f, 112.0f, 44.0f, 60.0f));
    EXPECT_TRUE(IsNear(10.0f, 10.0f, 112.0f, 44.0f, 100.0f));
    EXPECT_FALSE(IsNear(10.0f, 10.0f, 112.0f, 84.0f, 100.0f));
    EXPECT_FALSE(IsNear(10.0f, 10.0f, 112.0f, -116.0f, 100.0f));
}

TEST(PictureCorner, RoundsTheCellThenTheSumHalvesToEven) {
    EXPECT_EQ(PictureCorner(0.0f, 0.0f), -20);
    EXPECT_EQ(PictureCorner(1.0f, 0.5f), 20);    // 40 + 0.5 - 20 = 20.5 -> 20
    EXPECT_EQ(PictureCorner(1.0f, 1.5f), 22);    // 21.5 -> 22
    EXPECT_EQ(PictureCorner(0.5125f, 0.0f), 0);  // R(20.5) = 20 first, then 0
    EXPECT_EQ(PictureCorner(0.5375f, 0.0f), 2);  // R(21.5) = 22 first, then 2
    // A wild offset is clamped, never an undefined conversion.
    EXPECT_EQ(PictureCorner(1.0f, 1e30f), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(PictureCorner(1.0f, std::numeric_limits<float>::quiet_NaN()), 0);
}

struct KindClass {
    ElementKind kind;
    bool solid;
    bool pushing;
};

class ElementClasses : public ::testing::TestWithParam<KindClass> {};

TEST_P(ElementClasses, SolidAndPushingAsTheKindSays) {
    EXPECT_EQ(IsSolid(Code(GetParam().kind)), GetParam().solid);
    EXPECT_EQ(IsPushing(Code(GetParam().kind)), GetParam().pushing);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ElementClasses,
    ::testing::Values(
        KindClass{ElementKind::Empty, false, false}, KindClass{ElementKind::Brick, true, true},
        KindClass{ElementKind::Grass, true, true}, KindClass{ElementKind::BushGone, true, false},
        KindClass{ElementKind::Bush25, true, true}, KindClass{ElementKind::Bush, true, true},
        KindClass{ElementKind::Switch, true, false}, KindClass{ElementKind::Sensor, false, false},
        KindClass{ElementKind::Door, true, true}, KindClass{ElementKind::Wood, true, true},
        KindClass{ElementKind::Spikes, true, false},
        KindClass{ElementKind::SpikesHarmless, true, false},
        KindClass{ElementKind::Torch, false, false}, KindClass{ElementKind::Coin50, false, false},
        KindClass{ElementKind::Disk, false, false}));

struct PushCase {
    const char* name;
    float dx, dy;
    std::int32_t angle, threshold, distance;
    bool contact;
    std::int32_t push, direction;
    float shiftX, shiftY;  // what leaves viewX and viewY
};

class PushOutCases : public ::testing::TestWithParam<PushCase> {};

TEST_P(PushOutCases, AngleThresholdDistancePushAndDirection) {
    const PushCase& c = GetParam();
    const PushOut p = ComputePushOut(c.dx, c.dy, static_cast<std::int32_t>(std::nearbyint(c.dx)),
                                     static_cast<std::int32_t>(std::nearbyint(c.dy)));
    EXPECT_EQ(p.angle, c.angle);
    EXPECT_EQ(p.threshold, c.threshold);
    EXPECT_EQ(p.distance, c.distance);
    ASSERT_EQ(p.contact, c.contact);
    if (!c.contact)
        return;
    EXPECT_EQ(p.push, c.push);
    EXPECT_EQ(p.direction, c.direction);
    EXPECT_NEAR(p.shiftX, c.shiftX, 0.005f);
    EXPECT_NEAR(p.shiftY, c.shiftY, 0.005f);
}

INSTANTIATE_TEST_SUITE_P(
    Elements, PushOutCases,
    ::testing::Values(
        // Up and to the left: the ball moves right by 3.19 and down by 2.41.
        PushCase{"UpLeft", -30.0f, -40.0f, 53, 58, 50, true, 4, 53, 3.19f, 2.41f},
        // Level with the ball on either side: pushed straight up.
        PushCase{"Left", -45.0f, 0.0f, 0, 52, 45, true, 3, 180, 0.0f, -3.0f},
        PushCase{"Right", 45.0f, 0.0f, 0, 52, 45, true, 3, 180, 0.0f, -3.0f},
        // Straight below or above: pushed to the left.
        PushCase{"Below", 0.0f, 45.0f, 90, 52, 45, true, 3, 270, -3.0f, 0.0f},
        PushCase{"Above", 0.0f, -45.0f, 90, 52, 45, true, 3, 270, -3.0f, 0.0f},
        // On a diagonal down and to the right: up and to the left.
        PushCase{"DownRight", 35.0f, 35.0f, 45, 60, 49, true, 5, 225, -3.54f, -3.54f},
        PushCase{"DownLeft", -35.0f, 35.0f, 45, 60, 49, true, 5, 135, 3.54f, -3.54f},
        // Thirty degrees: threshold 56, out of reach at 60.
        PushCase{"ThirtyDegrees", -52.0f, -30.0f, 30, 56, 60, false, 0, 0, 0.0f, 0.0f},
        // The threshold is exclusive; one pixel inside pushes by nothing.
        PushCase{"AtThreshold", -52.0f, 0.0f, 0, 52, 52, false, 0, 0, 0.0f, 0.0f},
        PushCase{"OnePixelIn", -51.0f, 0.0f, 0, 52, 51, true, 0, 180, 0.0f, 0.0f},
        // Coinciding centres take a fixed direction.
        PushCase{"SameCentre", 0.0f, 0.0f, 90, 52, 0, true, 26, 90, 26.0f, 0.0f}),
    [](const ::testing::TestParamInfo<PushCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tessaron::game
