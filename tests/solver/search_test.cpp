// The search on a small level of the test pictures: it finds the goal behind a step, and the same
// seed gives the same run whether one thread searches or several.
#include <gtest/gtest.h>

#include "player_world.h"
#include "solver/search.h"

namespace tessaron::solver {
namespace {

using level::ElementKind;

// A floor on row 10, a step of two bricks at column 12 and the goal behind it; the ball starts
// resting at column 5.
World StepWorld() {
    game::testing::World loose;
    loose.Row(ElementKind::Brick, 1.0f, 20.0f, 10.0f);
    loose.Put(ElementKind::Brick, 12.0f, 9.0f);
    loose.Put(ElementKind::Brick, 12.0f, 8.0f);
    loose.Put(ElementKind::Goal, 15.0f, 9.0f);
    loose.PlaceBall(200.0f, 9.0f * 40.0f - 10.0f);
    World world;
    world.state.level = loose.level;
    world.state.level.levelWidth = 20;
    world.state.level.levelHeight = 10;
    return world;
}

SearchResult SearchWith(std::int32_t threads) {
    SearchSettings settings;
    settings.seconds = 1.0e9;  // the pass limit ends it, so no clock decides the result
    settings.passLimit = 40000;
    settings.seed = 5;
    settings.threads = threads;
    Search search(StepWorld(), Machines{game::testing::Machine().screen->Masks()}, settings);
    return search.Run([](const SearchProgress&) {});
}

TEST(Search, FindsTheGoalBehindAStepAndTheSameRunWithMoreThreads) {
    const SearchResult one = SearchWith(1);
    ASSERT_TRUE(one.found);
    EXPECT_EQ(one.score, 90);
    EXPECT_LE(one.nearestDistance, 1.0f);
    const SearchResult three = SearchWith(3);
    ASSERT_TRUE(three.found);
    EXPECT_EQ(three.plan, one.plan);
    EXPECT_EQ(three.totals.passes, one.totals.passes);
    EXPECT_EQ(three.totals.places, one.totals.places);
}

}  // namespace
}  // namespace tessaron::solver
