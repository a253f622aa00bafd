// The shortening of a winning run, played on the real play screen with the test pictures: a
// ball on a floor and the goal a few cells to its right.
#include <gtest/gtest.h>

#include <cstdint>

#include "player_world.h"
#include "solver/shorten.h"

namespace tessaron::solver {
namespace {

using level::ElementKind;

// A floor of bricks on row 10, the ball resting on it at column 5, the goal at column 14.
World FloorWorld() {
    game::testing::World loose;
    loose.Row(ElementKind::Brick, 1.0f, 30.0f, 10.0f);
    loose.Put(ElementKind::Goal, 14.0f, 9.0f);
    loose.PlaceBall(200.0f, 9.0f * 40.0f - 10.0f);
    World world;
    world.state.level = loose.level;
    world.state.level.levelWidth = 30;
    world.state.level.levelHeight = 10;
    return world;
}

Machines TestMachines() {
    return Machines{game::testing::Machine().screen->Masks()};
}

void Hold(KeyPlan& plan, std::uint8_t keys, std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end && i < plan.size(); ++i) {
        plan[i] = static_cast<std::uint8_t>(plan[i] | keys);
    }
}

TEST(Shortener, DropsPressesTheWinDoesNotNeedAndEndsAtTheGoal) {
    const World start = FloorWorld();
    // Right from pass 21 on, let go twice for a moment; a tap of Left before it and jumps on the
    // way, and 100 passes more than the goal needs.
    KeyPlan plan(400, kNoKeys);
    Hold(plan, kLeft, 5, 7);
    Hold(plan, kRight, 20, 60);
    Hold(plan, kRight, 63, 90);
    Hold(plan, kRight, 92, 400);
    Hold(plan, kUp, 70, 72);
    Hold(plan, kUp, 110, 111);

    Shortener shortener(start, TestMachines(), plan);
    const std::int64_t goal = shortener.GoalPass(plan);
    ASSERT_GT(goal, 0) << "the plan must take the goal";
    shortener.Run([] { return false; });

    const KeyPlan& shorter = shortener.Plan();
    EXPECT_LE(static_cast<std::int64_t>(shorter.size()), goal);
    EXPECT_EQ(shortener.GoalPass(shorter), static_cast<std::int64_t>(shorter.size()));
    // What is left is one press of Right, held up to the goal.
    EXPECT_EQ(KeyChanges(shorter), 1);
    EXPECT_EQ(PressesOf(shorter).front().key, kRight);
    EXPECT_EQ(shortener.Score(), 90);
}

TEST(Shortener, KeepsAPlanWithNothingToDrop) {
    const World start = FloorWorld();
    KeyPlan plan(300, kRight);
    Shortener shortener(start, TestMachines(), plan);
    const std::int64_t goal = shortener.GoalPass(plan);
    ASSERT_GT(goal, 0);
    shortener.Run([] { return false; });
    EXPECT_EQ(shortener.Plan(), KeyPlan(static_cast<std::size_t>(goal), kRight));
}

TEST(Presses, AreTheUnbrokenStretchesOfEachKeyInPassOrder) {
    const KeyPlan plan = {kRight, kRight | kUp, kRight, kNoKeys, kLeft | kUp, kUp};
    const std::vector<Press> expected = {{kRight, 0, 3}, {kUp, 1, 2}, {kUp, 4, 6}, {kLeft, 4, 5}};
    EXPECT_EQ(PressesOf(plan), expected);
    // Right and the first Up go down and up, Left too; the last Up is still held at the end.
    EXPECT_EQ(KeyChanges(plan), 7);
}

}  // namespace
}  // namespace tessaron::solver
