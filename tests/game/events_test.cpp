// What a pass notes for the player to notice: each thing once when it happens, never again while
// it merely lasts (a ball resting on a switch, inside a sensor), and only what the player can see.
#include <gtest/gtest.h>

#include "player_world.h"

namespace tessaron::game::testing {
namespace {

using level::Code;
using level::ElementKind;

constexpr PlayerKeys kUp{true, false, false};

// How often each event was noted over `passes` passes.
PassEvents Over(World& world, int passes, const PlayerKeys& keys = {}) {
    PassEvents total;
    for (int i = 0; i < passes; ++i) {
        world.Pass(keys);
        for (std::size_t e = 0; e < kGameEventCount; ++e) {
            for (int n = world.events.Count(GameEvent(e)); n > 0; --n) {
                total.Note(GameEvent(e));
            }
        }
    }
    return total;
}

TEST(Events, AFallLandsAudiblyAndTheRestingBallMakesNoMoreNoise) {
    World world;
    world.Row(ElementKind::Brick, 3.0f, 17.0f, 11.0f);
    world.PlaceBall(400.0f, 260.0f);
    const PassEvents fall = Over(world, 60);
    // The fall and the first bounce or two are heard; nothing else happened.
    EXPECT_GE(fall.Count(GameEvent::Landing), 1);
    EXPECT_LE(fall.Count(GameEvent::Landing), 3);
    EXPECT_EQ(fall.Count(GameEvent::Jump), 0);
    EXPECT_TRUE(Over(world, 60).Empty()) << "a resting ball";

    // A jump is noted in the pass of the key; a jump cancelled under a ceiling is not.
    world.Pass(kUp);
    EXPECT_TRUE(world.events.Happened(GameEvent::Jump));
    World low;
    low.Row(ElementKind::Brick, 3.0f, 17.0f, 11.0f);
    low.Row(ElementKind::Brick, 3.0f, 17.0f, 8.9f);
    low.PlaceBall(400.0f, 390.0f);
    Over(low, 30);
    EXPECT_EQ(Over(low, 5, kUp).Count(GameEvent::Jump), 0);
}

TEST(Events, WaterSwitchesAndSensorsOnceEachAndMoversOnlyOnTheScreen) {
    World world;
    world.Row(ElementKind::Brick, 3.0f, 17.0f, 11.0f);
    const std::size_t lever = world.Put(ElementKind::Switch, 10.0f, 10.0f);
    world.At(lever).link = 5.0f;
    world.At(world.Put(ElementKind::Sensor, 10.0f, 9.5f)).link = 6.0f;
    // Two elements that set off at once: one beside the ball, one far off the screen.
    for (const float column : {12.0f, 80.0f}) {
        level::Element& mover = world.At(world.Put(ElementKind::Wood, column, 5.0f));
        mover.length = 3.0f;
        mover.speedX = 25.0f;
    }
    world.PlaceBall(400.0f, 340.0f);
    const PassEvents resting = Over(world, 90);
    EXPECT_EQ(resting.Count(GameEvent::SwitchPressed), 1);
    EXPECT_EQ(resting.Count(GameEvent::SensorPassed), 1);
    EXPECT_EQ(resting.Count(GameEvent::MoverStarted), 1);

    World pool;
    for (float row = 9.0f; row <= 11.0f; row += 1.0f) {
        pool.At(pool.Put(ElementKind::Empty, 10.0f, row)).background =
            Code(level::Background::Water);
    }
    pool.PlaceBall(400.0f, 300.0f);
    const PassEvents sinking = Over(pool, 60);
    EXPECT_EQ(sinking.Count(GameEvent::EnterWater), 1);
    EXPECT_EQ(sinking.Count(GameEvent::LeaveWater), 1) << "out at the bottom";
}

TEST(Events, SpikesSendTheBallBackAudibly) {
    RemoveSavePoint();
    World world;
    world.Put(ElementKind::Spikes, 10.0f, 11.0f);
    world.PlaceBall(400.0f, 392.0f);
    world.Pass();
    EXPECT_FALSE(world.events.Happened(GameEvent::SentBack)) << "no save point: nothing happens";
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    world.Pass();
    EXPECT_TRUE(world.events.Happened(GameEvent::SentBack));
    RemoveSavePoint();
}

}  // namespace
}  // namespace tessaron::game::testing
