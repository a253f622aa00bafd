// The search's worlds leave elements that move like clockwork to it: such a world must play
// exactly as one whose update pass moves every element in every pass, also across snapshots put
// back, save points taken and brought back, and carries.
#include <gtest/gtest.h>

#include <vector>

#include "game/clockwork.h"
#include "player_world.h"
#include "solver/world.h"

namespace tessaron::solver {
namespace {

using level::ElementKind;

std::size_t Mover(game::testing::World& loose, ElementKind kind, float column, float row,
                  float speedX, float speedY, float length, float pause1, float pause2,
                  float link = 0.0f) {
    const std::size_t i = loose.Put(kind, column, row);
    level::Element& e = loose.At(i);
    e.speedX = speedX;
    e.speedY = speedY;
    e.length = length;
    e.pause1 = pause1;
    e.pause2 = pause2;
    e.link = link;
    return i;
}

// A floor with spikes, a disk under the ball's start, platforms going to and fro by themselves
// across the ball's way (one at a speed no float holds exactly), a door that a switch opens, and
// two platforms counting their start pause until one of two switches sets each off.
World MovingWorld() {
    game::testing::World loose;
    loose.Row(ElementKind::Brick, 1.0f, 30.0f, 10.0f);
    loose.Put(ElementKind::Spikes, 9.0f, 9.0f);
    loose.Put(ElementKind::Spikes, 21.0f, 9.0f);
    loose.Put(ElementKind::Disk, 6.0f, 9.0f);
    loose.At(loose.Put(ElementKind::Switch, 6.0f, 10.0f)).link = 3.0f;
    Mover(loose, ElementKind::Wood, 10.0f, 8.0f, 20.0f, 0.0f, 4.0f, 5.0f, 5.0f);
    Mover(loose, ElementKind::Brick, 14.0f, 8.0f, 0.0f, -10.0f, 2.0f, 3.0f, 7.0f);
    Mover(loose, ElementKind::Concrete, 3.0f, 7.0f, 13.0f, 0.0f, 3.0f, 4.0f, 4.0f);
    Mover(loose, ElementKind::Wood, 5.0f, 8.0f, -7.0f, 0.0f, 2.0f, 9.0f, 2.0f);
    Mover(loose, ElementKind::Door, 17.0f, 9.0f, 0.0f, -25.0f, 1.0f, 20.0f, 0.0f, 3.0f);
    Mover(loose, ElementKind::Wood, 7.0f, 8.0f, 0.0f, -15.0f, 2.0f, 6.0f, 11.0f, 3.0f);
    loose.At(loose.Put(ElementKind::Switch, 5.0f, 10.0f)).link = 4.0f;
    Mover(loose, ElementKind::Brick, 2.0f, 8.0f, 10.0f, 0.0f, 2.0f, 3.0f, 5.0f, 4.0f);
    loose.PlaceBall(5.0f * 40.0f, 9.0f * 40.0f - 10.0f);
    World world;
    world.state.level = loose.level;
    world.state.level.levelWidth = 30;
    world.state.level.levelHeight = 10;
    return world;
}

// The world's records as they stand, those left to the clockwork brought to its passes.
level::ElementList RecordsOf(const World& world) {
    level::ElementList records = world.state.level.elements;
    const game::UpdateSchedule& schedule = world.state.schedule;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (schedule.LeftToClockwork(i)) {
            const game::Clockwork& clockwork = *schedule.TheClockwork();
            clockwork.Put(clockwork.NumberOf(i), schedule.Passes(), records[i]);
        }
    }
    return records;
}

TEST(Clockwork, PlaysAsTheUpdateOfEveryElementInEveryPass) {
    const Machines machines{game::testing::Machine().screen->Masks()};
    World clockwork = PreparedForSearch(MovingWorld());
    ASSERT_NE(clockwork.state.schedule.TheClockwork(), nullptr);
    // The six platforms; not the door, which waits for its switch without a start pause, so
    // that the update pass lets it sleep.
    EXPECT_EQ(clockwork.state.schedule.TheClockwork()->Elements().size(), 6u);
    World plain = clockwork;
    plain.state.schedule.UseClockwork(plain.state.level, nullptr);
    const SnapshotBase base(SettledElements(plain, machines));
    clockwork.savePoint.UseBase(base.Base());
    plain.savePoint.UseBase(base.Base());

    runtime::Random random(11);
    constexpr std::uint8_t kKeys[] = {kNoKeys, kLeft, kRight, kUp, kUp | kLeft, kUp | kRight};
    std::vector<std::pair<Snapshot, Snapshot>> kept;
    const std::uint64_t all = clockwork.state.schedule.TheClockwork()->AllGroups();
    int detached = 0;
    int triggered = 0;
    std::uint8_t keys = kNoKeys;
    for (int pass = 0; pass < 20000; ++pass) {
        if (pass % 40 == 0) {
            kept.emplace_back(base.Take(clockwork), base.Take(plain));
            if (random.Next(2) == 0) {
                const auto& [a, b] =
                    kept[static_cast<std::size_t>(random.Next(static_cast<int>(kept.size()) - 1))];
                base.Restore(a, clockwork);
                base.Restore(b, plain);
            }
        }
        if (random.Next(9) == 0) {
            keys = kKeys[random.Next(5)];
        }
        RunPass(clockwork, keys, machines);
        RunPass(plain, keys, machines);
        detached += !clockwork.state.schedule.Clockworking();
        const std::uint64_t groups = clockwork.state.schedule.AttachedGroups();
        triggered += groups != 0 && groups != all;
        ASSERT_EQ(clockwork.state.level.viewX, plain.state.level.viewX) << "pass " << pass;
        ASSERT_EQ(clockwork.state.level.viewY, plain.state.level.viewY) << "pass " << pass;
        ASSERT_EQ(clockwork.state.player.velocityY, plain.state.player.velocityY);
        const level::ElementList a = RecordsOf(clockwork);
        const level::ElementList& b = plain.state.level.elements;
        for (std::size_t i = 0; i < a.size(); ++i) {
            ASSERT_TRUE(level::SameBits(a[i], b[i])) << "pass " << pass << ", element " << i;
        }
    }
    // A switch set off a waiting platform while others were left to the clockwork, save
    // points were brought back (the clockwork's elements became ordinary ones), and games kept
    // before were put back.
    EXPECT_GT(triggered, 0);
    EXPECT_GT(detached, 0);
    EXPECT_TRUE(base.SameGame(base.Take(clockwork), base.Take(plain),
                              clockwork.state.schedule.TheClockwork()));
}

}  // namespace
}  // namespace tessaron::solver
