// The player's passes on the real play screen under the offscreen platform: falling, bouncing,
// jumping, swimming, running, carrying, the push-out and the crush rule, and the contacts'
// effects (pickups, the disk, spikes, bushes). The test pictures are opaque 40 x 40 squares and
// a 60 x 60 disc as the player mask; the ground's top row here is at world y = 420.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "game/simulation.h"
#include "player_world.h"

namespace tessaron::game {
namespace {

using level::Code;
using level::ElementKind;
using testing::Machine;
using testing::World;

constexpr float kGroundRow = 11.0f;  // picture rows 420..459 in the world
constexpr float kRestingY = 390.0f;  // the mask's bottom row just above the ground
constexpr PlayerKeys kUp{true, false, false};
constexpr PlayerKeys kLeft{false, true, false};
constexpr PlayerKeys kRight{false, false, true};

World GroundWorld() {
    World world;
    world.Row(ElementKind::Brick, 3.0f, 17.0f, kGroundRow);
    return world;
}

// A save point with the ball far from everything, at the world point (1000, 100).
void StoreFarSavePoint(World& world) {
    const level::Level kept = world.level;
    world.PlaceBall(1000.0f, 100.0f);
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    world.level = kept;
}

TEST(Falling, LandingTakesTheMoveBackAndBouncesWithEverSmallerHops) {
    World world = GroundWorld();
    world.PlaceBall(400.0f, 300.0f);
    // Falls 0.6 pixel per pass faster until the pass that lands.
    int pass = 0;
    float viewBefore = 0.0f, velocityBefore = 0.0f;
    for (; pass < 100; ++pass) {
        viewBefore = world.level.viewY;
        velocityBefore = world.player.velocityY;
        world.level.triggeredLink = -1;
        RunFirstStage(world.level, world.player, world.Machines());
        if (world.player.canJump == 1)
            break;
        EXPECT_FLOAT_EQ(world.player.velocityY, velocityBefore - 0.6f);
    }
    ASSERT_LT(pass, 100);
    EXPECT_NEAR(world.level.viewY, viewBefore, 1e-3f);
    EXPECT_FLOAT_EQ(world.player.velocityY, -(velocityBefore - 0.6f) / 2.0f);
    EXPECT_GT(world.player.velocityY, 0.0f);

    // Each bounce starts slower than the one before, and the ball never sinks into the ground.
    std::vector<float> bounces{world.player.velocityY};
    for (int i = 0; i < 150; ++i) {
        world.level.triggeredLink = -1;
        RunFirstStage(world.level, world.player, world.Machines());
        EXPECT_LE(world.BallY(), kRestingY + 0.5f);
        if (world.player.canJump == 1 && world.player.velocityY > 0.0f) {
            bounces.push_back(world.player.velocityY);
        }
    }
    ASSERT_GE(bounces.size(), 4u);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_LT(bounces[i], bounces[i - 1]);
    }
}

TEST(Jump, RisesOneHundredNinetyFivePixelsAndPeaksTwentyFourPassesLater) {
    World world = GroundWorld();
    world.PlaceBall(400.0f, kRestingY);
    // Up held on the ground: the jump comes in the first pass whose vertical pass finds ground.
    float groundY = 0.0f;
    for (int pass = 0; pass < 4 && world.player.velocityY != 15.0f; ++pass) {
        world.level.triggeredLink = -1;
        RunFirstStage(world.level, world.player, world.Machines());
        groundY = world.BallY();
        ApplyPlayerKeys(world.level, world.player, kUp, world.Machines());
        RunSecondStage(world.level, world.player, world.Machines());
    }
    ASSERT_EQ(world.player.velocityY, 15.0f);
    EXPECT_NEAR(groundY - world.BallY(), 15.0f, 0.01f);

    std::vector<float> rise;
    for (int i = 0; i < 30; ++i) {
        world.Pass();
        rise.push_back(groundY - world.BallY());
    }
    EXPECT_NEAR(rise[23], 195.0f, 0.01f);  // the 24th pass after the key
    EXPECT_LT(rise[22], rise[23]);
    EXPECT_LT(rise[25], rise[23]);
    for (float r : rise) EXPECT_LE(r, 195.01f);
}

class HeadCheck : public ::testing::TestWithParam<ElementKind> {};

TEST_P(HeadCheck, NoHeadroomCancelsTheJumpAndFiresNothing) {
    World world = GroundWorld();
    StoreFarSavePoint(world);
    // A ceiling whose bottom row is at world y 351: clear of the resting ball, not of the lift.
    world.Row(GetParam(), 9.0f, 11.0f, 8.3f);
    world.PlaceBall(400.0f, kRestingY);
    const float viewX = world.level.viewX;
    const float viewY = world.level.viewY;
    // The first pass whose vertical pass finds the ground lets Up act.
    for (int pass = 0; pass < 4 && world.player.canJump == 0; ++pass) {
        RunFirstStage(world.level, world.player, world.Machines());
    }
    ASSERT_EQ(world.player.canJump, 1);
    const float landedY = world.level.viewY;
    ApplyPlayerKeys(world.level, world.player, kUp, world.Machines());
    EXPECT_EQ(world.player.velocityY, 0.0f);
    EXPECT_NEAR(world.level.viewY, landedY, 1e-4f);
    EXPECT_NEAR(world.level.viewY, viewY, 1.0f);
    EXPECT_FLOAT_EQ(world.level.viewX, viewX);  // no save point restored by the spikes
}

INSTANTIATE_TEST_SUITE_P(Ceilings, HeadCheck,
                         ::testing::Values(ElementKind::Brick, ElementKind::Spikes));

TEST(HeadCheck, BumpingACeilingLetsUpTryAJumpThatStopsTheBallDead) {
    // A brick ceiling whose picture ends at world row 367; the ball rises into it from 400.
    for (const bool up : {false, true}) {
        World world;
        world.Put(ElementKind::Brick, 10.0f, 8.7f);
        world.PlaceBall(400.0f, 400.0f);
        world.player.velocityY = 5.0f;
        RunFirstStage(world.level, world.player, world.Machines());
        // The vertical pass found the ceiling: the rise is taken back and the ball bounces.
        ASSERT_EQ(world.player.canJump, 1);
        EXPECT_EQ(world.BallY(), 400.0f);
        EXPECT_FLOAT_EQ(world.player.velocityY, -(5.0f - 0.6f) / 2.0f);
        ApplyPlayerKeys(world.level, world.player, PlayerKeys{up, false, false}, world.Machines());
        // Up tries a jump; the lifted ball meets the ceiling again, so the lift is taken back
        // and the ball stops instead of bouncing down.
        EXPECT_EQ(world.BallY(), 400.0f) << up;
        EXPECT_FLOAT_EQ(world.player.velocityY, up ? 0.0f : -2.2f) << up;
    }
}

struct TriggerOrderCase {
    const char* name;
    ElementKind first;
    float firstLink;
    ElementKind second;
    float secondLink;
    std::int32_t triggered;
};
class TriggerOrder : public ::testing::TestWithParam<TriggerOrderCase> {};

// Only one link is triggered per pass: the last contact wins, and switches, found by the
// vertical pass after the touch pass, win over sensors wherever they stand in the list.
TEST_P(TriggerOrder, TheLastTriggerOfTheFirstStageWins) {
    const TriggerOrderCase& c = GetParam();
    World world;
    const auto place = [&world](ElementKind kind, float link) {
        // A switch under the resting ball, a sensor around it.
        const float row = kind == ElementKind::Switch ? 11.0f : 10.5f;
        world.At(world.Put(kind, 10.0f, row)).link = link;
    };
    place(c.first, c.firstLink);
    place(c.second, c.secondLink);
    world.PlaceBall(400.0f, 392.0f);
    world.level.triggeredLink = -1;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.level.triggeredLink, c.triggered);
}

INSTANTIATE_TEST_SUITE_P(
    Contacts, TriggerOrder,
    ::testing::Values(
        TriggerOrderCase{"TwoSensors", ElementKind::Sensor, 5, ElementKind::Sensor, 3, 3},
        TriggerOrderCase{"SensorThenSwitch", ElementKind::Sensor, 3, ElementKind::Switch, 7, 7},
        TriggerOrderCase{"SwitchThenSensor", ElementKind::Switch, 7, ElementKind::Sensor, 3, 7}),
    [](const ::testing::TestParamInfo<TriggerOrderCase>& info) { return info.param.name; });

TEST(Water, DividesTheMovesByThreeAndUpSwimsAnywhere) {
    World world;
    const std::size_t cell = world.Put(ElementKind::Empty, 10.0f, 10.0f);
    world.At(cell).background = Code(level::Background::Water);
    world.PlaceBall(400.0f, 400.0f);

    const float viewY = world.level.viewY;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.player.mediumDivisor, 3);
    EXPECT_EQ(world.player.canJump, 1);
    EXPECT_FLOAT_EQ(world.level.viewY, viewY + -0.6f / 3.0f);

    // Up adds 1.2 instead of jumping: no lift.
    const float beforeKeys = world.level.viewY;
    ApplyPlayerKeys(world.level, world.player, kUp, world.Machines());
    EXPECT_FLOAT_EQ(world.player.velocityY, -0.6f + 1.2f);
    EXPECT_EQ(world.level.viewY, beforeKeys);

    // No stroke at 15 or more.
    world.player.velocityY = 15.0f;
    ApplyPlayerKeys(world.level, world.player, kUp, world.Machines());
    EXPECT_EQ(world.player.velocityY, 15.0f);

    // Out of the water the ball falls undivided and cannot swim.
    world.PlaceBall(400.0f, 520.0f);
    world.player.velocityY = 0.0f;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.player.mediumDivisor, 1);
    EXPECT_EQ(world.player.canJump, 0);
}

TEST(Running, HoldingLeftCyclesThroughFifteenPointNineToFifteen) {
    World world;
    std::vector<float> moves, velocities;
    for (int i = 0; i < 40; ++i) {
        const float before = world.level.viewX;
        world.Pass(kLeft);
        moves.push_back(world.level.viewX - before);
        velocities.push_back(world.player.velocityX);
    }
    EXPECT_FLOAT_EQ(velocities[0], 1.2f);
    EXPECT_FLOAT_EQ(velocities[1], 2.1f);
    EXPECT_FLOAT_EQ(velocities[2], 3.0f);
    EXPECT_EQ(moves[0], 0.0f);
    EXPECT_NEAR(moves[1], 0.9f, 1e-4f);
    // The steady cycle of the moves, in order, starting where it reaches 15.9.
    std::size_t start = 20;
    while (start < moves.size() && std::fabs(moves[start] - 15.9f) > 0.001f) ++start;
    ASSERT_LE(start + 8, moves.size());
    const float cycle[] = {15.9f, 15.6f, 15.3f, 15.0f};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_NEAR(moves[start + i], cycle[i % 4], 0.001f) << "move " << start + i;
    }

    // Right mirrors Left; both together leave the velocity where it is.
    World right;
    right.Passes(40, kRight);
    EXPECT_FLOAT_EQ(right.player.velocityX, -world.player.velocityX);
    World both;
    both.Passes(10, PlayerKeys{false, true, true});
    EXPECT_EQ(both.player.velocityX, 0.0f);
}

struct FrictionCase {
    float velocity;
    float after;
};
class Friction : public ::testing::TestWithParam<FrictionCase> {};

TEST_P(Friction, TakesPointThreeAndStopsBelowIt) {
    World world;
    world.player.velocityX = GetParam().velocity;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_FLOAT_EQ(world.player.velocityX, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Velocities, Friction,
                         ::testing::Values(FrictionCase{0.5f, 0.0f}, FrictionCase{-0.5f, 0.0f},
                                           FrictionCase{0.1f, 0.0f}, FrictionCase{0.3f, 0.0f},
                                           FrictionCase{1.0f, 0.7f}, FrictionCase{-1.0f, -0.7f},
                                           FrictionCase{16.2f, 15.9f}));

TEST(Carry, OnlyTheFirstElementUnderWayCarriesTheBall) {
    World world;
    // Two elements under the ball, both under way; the first moves 10 pixels per pass, the
    // second 20.
    for (float speed : {25.0f, 50.0f}) {
        const std::size_t i =
            world.Put(ElementKind::Wood, speed == 25.0f ? 10.0f : 11.0f, kGroundRow);
        world.At(i).motion = 1.0f;
        world.At(i).travelled = 0.5f;
        world.At(i).length = 3.0f;
        world.At(i).speedX = speed;
    }
    world.PlaceBall(420.0f, kRestingY);
    const float viewX = world.level.viewX;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.player.carried, 1);
    EXPECT_FLOAT_EQ(world.level.viewX, viewX - 25.0f * 1.0f / 2.5f);

    // At the end of its travel it carries no more.
    for (level::Element& e : world.level.elements) e.travelled = 3.0f;
    const float resting = world.level.viewX;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.player.carried, 0);
    EXPECT_EQ(world.level.viewX, resting);
}

TEST(PushOut, ElementUpAndLeftMovesTheBallRightAndDown) {
    World world;
    world.Put(ElementKind::Brick, 10.0f, 10.0f);
    // The element's centre 30 pixels left of and 40 above the ball's.
    world.PlaceBall(430.0f, 440.0f);
    const float viewX = world.level.viewX, viewY = world.level.viewY;
    RunSecondStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.player.contactCount, 1);
    EXPECT_NEAR(viewX - world.level.viewX, 3.19f, 0.005f);
    EXPECT_NEAR(viewY - world.level.viewY, 2.41f, 0.005f);
}

TEST(PushOut, ThreeContactsForTwentySixPassesRestoreAndTheCountGoesOn) {
    World world;
    world.Put(ElementKind::Brick, 9.0f, 10.0f);   // left
    world.Put(ElementKind::Brick, 11.0f, 10.0f);  // right
    world.Put(ElementKind::Brick, 10.0f, 11.0f);  // below
    StoreFarSavePoint(world);
    const auto crowdedPass = [&world] {
        world.PlaceBall(400.0f, 405.0f);
        RunSecondStage(world.level, world.player, world.Machines());
    };
    for (int i = 0; i < 25; ++i) crowdedPass();
    EXPECT_EQ(world.player.contactCount, 3);
    EXPECT_EQ(world.player.crushCount, 25);
    EXPECT_LT(world.BallX(), 500.0f);

    crowdedPass();
    EXPECT_EQ(world.player.crushCount, 26);
    EXPECT_EQ(world.BallX(), 1000.0f);
    EXPECT_EQ(world.BallY(), 100.0f);

    crowdedPass();
    EXPECT_EQ(world.player.crushCount, 27);
    EXPECT_EQ(world.BallX(), 1000.0f);

    // A pass with fewer contacts starts the count afresh.
    RunSecondStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.player.crushCount, 0);
}

TEST(Bush, WornAwayInFourContacts) {
    World world;
    const std::size_t bush = world.Put(ElementKind::Bush, 10.0f, 11.1f);
    const float expected[] = {1020.0f, 1015.0f, 1010.0f, 1005.0f};
    for (float kind : expected) {
        world.PlaceBall(400.0f, 400.0f);
        RunSecondStage(world.level, world.player, world.Machines());
        EXPECT_EQ(world.player.contactCount, 1);
        EXPECT_EQ(world.At(bush).kind, kind);
    }
    // Trampled away: no longer pushing.
    world.PlaceBall(400.0f, 400.0f);
    RunSecondStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.player.contactCount, 0);
    EXPECT_EQ(world.At(bush).kind, 1005.0f);
}

struct PickupCase {
    ElementKind kind;
    int points;
};
class Pickups : public ::testing::TestWithParam<PickupCase> {};

TEST_P(Pickups, CollectedOnceForItsPointsWithTheSound) {
    World world = GroundWorld();
    // Lying on the ground beside the ball, within the lowered mask only.
    const std::size_t coin = world.Put(GetParam().kind, 10.0f, 10.5f);
    world.PlaceBall(400.0f, 380.0f);
    world.level.score = 7;
    const int sounds = Machine().sound->PlayCount(1);
    world.Pass();
    EXPECT_EQ(world.level.score, 7 + GetParam().points);
    EXPECT_EQ(world.At(coin).kind, Code(GetParam().kind) + 1000.0f);
    EXPECT_EQ(Machine().sound->PlayCount(1), sounds + 1);
    world.Passes(3);
    EXPECT_EQ(world.level.score, 7 + GetParam().points);
    EXPECT_EQ(Machine().sound->PlayCount(1), sounds + 1);
    EXPECT_FALSE(std::filesystem::exists(testing::SavePointPath()));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Pickups,
    ::testing::Values(PickupCase{ElementKind::Coin1, 1}, PickupCase{ElementKind::Coin2, 2},
                      PickupCase{ElementKind::Coin5, 5}, PickupCase{ElementKind::Coin10, 10},
                      PickupCase{ElementKind::Coin20, 20}, PickupCase{ElementKind::Coin50, 50},
                      PickupCase{ElementKind::Goal, 90}));

TEST(Pickups, TheTouchPassReachesTenPixelsUnderTheBall) {
    for (const auto& [gap, taken] : {std::pair{10.0f, true}, std::pair{11.0f, false}}) {
        World world;
        // The coin's picture begins `gap` pixels under the ball's lowest row (world y 419).
        const std::size_t coin = world.Put(ElementKind::Coin1, 10.0f, (439.0f + gap) / 40.0f);
        world.PlaceBall(400.0f, kRestingY);
        RunFirstStage(world.level, world.player, world.Machines());
        EXPECT_EQ(world.At(coin).kind == Code(ElementKind::Coin1) + 1000.0f, taken) << gap;
    }
}

TEST(SavePoint, DiskStoresItselfTakenAndSpikesBringBackLaterCoinsButNotTheScore) {
    World world = GroundWorld();
    const std::size_t disk = world.Put(ElementKind::Disk, 10.0f, 10.5f);
    const std::size_t coin = world.Put(ElementKind::Coin5, 14.0f, 10.5f);
    world.Put(ElementKind::Spikes, 17.0f, 10.0f);
    world.PlaceBall(400.0f, 380.0f);
    const int sounds = Machine().sound->PlayCount(1);
    world.Pass();
    EXPECT_EQ(world.At(disk).kind, 5099.0f);
    EXPECT_EQ(world.level.score, 0);
    EXPECT_EQ(Machine().sound->PlayCount(1), sounds + 1);
    ASSERT_TRUE(std::filesystem::exists(testing::SavePointPath()));
    // The records, then the mark of a level without a file name.
    EXPECT_EQ(std::filesystem::file_size(testing::SavePointPath()),
              20u + 60u * world.level.elements.size() + 20u);
    EXPECT_EQ(world.level.startX, 112);
    EXPECT_EQ(world.level.startY, 4);

    // Roll right over the coin into the spikes.
    int passes = 0;
    while (world.At(coin).kind != 5005.0f && passes++ < 100) world.Pass(kRight);
    ASSERT_EQ(world.level.score, 5);
    while (world.BallX() > 450.0f && passes++ < 200) world.Pass(kRight);
    ASSERT_LT(passes, 200) << "the spikes never sent the ball back";

    // Back at the disk: the coin is there again, the disk stays taken, the score is kept.
    EXPECT_EQ(world.At(coin).kind, Code(ElementKind::Coin5));
    EXPECT_EQ(world.At(disk).kind, 5099.0f);
    EXPECT_EQ(world.level.score, 5);
    while (world.At(coin).kind != 5005.0f && passes++ < 400) world.Pass(kRight);
    EXPECT_EQ(world.level.score, 10);
}

struct SpikeCase {
    const char* name;
    float column, row;
    float ballX, ballY;
    float velocityX, velocityY;
};
class Spikes : public ::testing::TestWithParam<SpikeCase> {};

TEST_P(Spikes, SendTheBallBackToTheSavePoint) {
    World world;
    const SpikeCase& c = GetParam();
    world.Put(ElementKind::Spikes, c.column, c.row);
    StoreFarSavePoint(world);
    world.PlaceBall(c.ballX, c.ballY);
    world.player.velocityX = c.velocityX;
    world.player.velocityY = c.velocityY;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_NEAR(world.BallX(), 1000.0f, 1.0f);
    EXPECT_NEAR(world.BallY(), 100.0f, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Sides, Spikes,
    ::testing::Values(SpikeCase{"FromAbove", 10.0f, 11.0f, 400.0f, 392.0f, 0.0f, 0.0f},
                      SpikeCase{"FromBelow", 10.0f, 9.0f, 400.0f, 409.0f, 0.0f, 3.0f},
                      SpikeCase{"FromTheSide", 9.0f, 10.0f, 410.0f, 400.0f, 3.0f, 0.0f}),
    [](const ::testing::TestParamInfo<SpikeCase>& info) { return info.param.name; });

TEST(Spikes, WithoutASavePointTheBallOnlyBounces) {
    World world;
    world.Put(ElementKind::Spikes, 10.0f, 11.0f);
    world.PlaceBall(400.0f, 392.0f);
    const float viewY = world.level.viewY;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_NEAR(world.level.viewY, viewY, 1e-4f);
    EXPECT_EQ(world.level.elements.size(), 1u);
}

TEST(SavePoint, ARestoreEndsTheWalkThatFoundTheSpikes) {
    World world;
    // Spikes and, later in the list, a switch, both under the ball; the save point was taken in
    // the same place, so the restored list has the ball on both again.
    world.Put(ElementKind::Spikes, 9.6f, 11.0f);
    const std::size_t lever = world.Put(ElementKind::Switch, 10.4f, 11.0f);
    world.At(lever).link = 4.0f;
    world.PlaceBall(400.0f, 392.0f);
    world.player.velocityY = -3.0f;
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    world.level.triggeredLink = -1;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.level.triggeredLink, -1);
    EXPECT_EQ(world.At(lever).motion, 0.0f);
    // The bounce applies to the restored values and lifts the ball clear of both.
    EXPECT_EQ(world.player.velocityY, 1.5f);
    EXPECT_EQ(world.level.viewY, -5.0f);
}

TEST(Switch, LandingPressesItAndTriggersItsLink) {
    World world;
    const std::size_t lever = world.Put(ElementKind::Switch, 10.0f, 11.0f);
    world.At(lever).link = 7.0f;
    world.PlaceBall(400.0f, 392.0f);
    world.level.triggeredLink = -1;
    RunFirstStage(world.level, world.player, world.Machines());
    EXPECT_EQ(world.level.triggeredLink, 7);
    EXPECT_EQ(world.At(lever).motion, 1.0f);
}

}  // namespace
}  // namespace tessaron::game
