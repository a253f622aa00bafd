// The choice of the place to explore from: the weights behind the draw, and which places the
// archive prefers.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/random.h"
#include "solver/archive.h"
#include "solver/weight_tree.h"

namespace tessaron::solver {
namespace {

// Adds and changes weights in a fixed pseudo-random order and checks, after every step, the
// total and the item found at the middle of every item's share against plain sums.
TEST(WeightTree, FindsTheItemOfEveryShareWhileWeightsChange) {
    WeightTree tree;
    std::vector<double> plain;
    runtime::Random random(11);
    for (int step = 0; step < 600; ++step) {
        const double weight = 0.25 + random.Next(1000) / 100.0;
        if (plain.empty() || random.Next(2) == 0) {
            tree.Add(weight);
            plain.push_back(weight);
        } else {
            const auto index = static_cast<std::size_t>(random.Next(int(plain.size()) - 1));
            tree.Set(index, weight);
            plain[index] = weight;
        }
        double sum = 0.0;
        for (std::size_t i = 0; i < plain.size(); ++i) {
            ASSERT_EQ(tree.Find(sum + plain[i] / 2.0), i) << "step " << step;
            sum += plain[i];
        }
        ASSERT_NEAR(tree.Total(), sum, 1e-9 * sum);
        ASSERT_EQ(tree.Find(sum * 2.0), plain.size() - 1);
    }
}

Place At(std::int32_t column, std::int32_t steps, float goalDistance, std::int32_t score = 0) {
    Place place;
    place.key.cell = Cell{column, 1};
    place.steps = steps;
    place.goalDistance = goalDistance;
    place.score = score;
    return place;
}

TEST(Archive, PrefersTheFrontierAndPlacesNotYetExplored) {
    Archive archive(100.0f);
    for (std::int32_t column = 0; column < 10; ++column) {
        archive.Add(At(column, 0, 100.0f));
    }
    archive.Add(At(10, 1, 100.0f));  // the only place that has set a link off
    runtime::Random random(3);
    for (int i = 0; i < 2000; ++i) {
        archive.Choose(random);
    }
    const std::uint32_t frontier = archive.At(10).chosen;
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_GT(frontier, 2 * archive.At(i).chosen) << "place " << i;
        EXPECT_GT(archive.At(i).chosen, 0u) << "place " << i << " was never explored";
    }

    // A place just found is explored soon, although it lies behind the frontier.
    const Place& fresh = archive.Add(At(11, 0, 100.0f));
    for (int i = 0; i < 20 && fresh.chosen == 0; ++i) {
        archive.Choose(random);
    }
    EXPECT_GT(fresh.chosen, 0u);
}

TEST(Archive, PrefersPlacesNearTheGoal) {
    Archive archive(100.0f);
    archive.Add(At(0, 0, 100.0f));
    archive.Add(At(1, 0, 0.0f));
    runtime::Random random(5);
    for (int i = 0; i < 1000; ++i) {
        archive.Choose(random);
    }
    EXPECT_GT(archive.At(1).chosen, 3 * archive.At(0).chosen / 2);
}

TEST(Archive, BestIsNearestTheGoalThenMostPoints) {
    Archive archive(100.0f);
    archive.Add(At(0, 0, 9.0f, 500));
    archive.Add(At(1, 0, 2.0f, 10));
    archive.Add(At(2, 0, 2.0f, 30));
    archive.Add(At(3, 2, 5.0f, 40));
    EXPECT_EQ(archive.Best().key.cell.column, 2);
    EXPECT_EQ(archive.MostPoints(), 500);
    EXPECT_EQ(archive.MostSteps(), 2);
}

// Over its budget (places and snapshots) the archive lets go of the snapshots of the places least
// likely to be chosen (here the ones explored most), never chooses them again, and keeps their
// runs.
TEST(Archive, LetsGoOfTheLeastLikelySnapshotsOverItsBudget) {
    const auto withRecords = [](std::int32_t column) {
        Place place = At(column, 0, 100.0f);
        place.snapshot.changed.resize(40);
        place.snapshot.changedIndices.resize(40);
        return place;
    };
    const std::size_t each = SnapshotBytes(withRecords(0).snapshot) + PlaceBytes(withRecords(0));
    Archive archive(100.0f, {}, 5 * each);
    runtime::Random random(7);
    for (std::int32_t column = 0; column < 3; ++column) {
        archive.Add(withRecords(column));
    }
    for (int i = 0; i < 300; ++i) {
        archive.Choose(random);
    }
    const auto used = [&archive](std::size_t i) { return archive.At(i).chosen; };
    const std::size_t most = used(0) >= used(1) && used(0) >= used(2) ? 0
                             : used(1) >= used(2)                     ? 1
                                                                      : 2;
    archive.Add(withRecords(3));
    archive.Add(withRecords(4));  // five snapshots: still within
    EXPECT_TRUE(archive.At(most).explorable);
    archive.Add(withRecords(5));  // six: down to three quarters of the budget
    EXPECT_LE(archive.BytesKept(), 5 * each - 5 * each / 4);
    EXPECT_FALSE(archive.At(most).explorable);
    EXPECT_EQ(archive.At(most).snapshot.changed.capacity(), 0u);
    EXPECT_TRUE(archive.At(5).explorable);
    for (int i = 0; i < 200; ++i) {
        EXPECT_TRUE(archive.Choose(random).explorable);
    }

    // A shorter run to a place let go of makes it explorable again.
    Place again = withRecords(static_cast<std::int32_t>(most));
    archive.Replace(*archive.Find(again.key), std::move(again));
    EXPECT_TRUE(archive.At(most).explorable);
    EXPECT_GT(archive.Weight(archive.At(most)), 0.0);
}

TEST(Archive, CountsASavePointThatPlacesShareOnce) {
    level::Level level;
    level.elements.resize(100);
    SearchSavePoint savePoint;
    ASSERT_TRUE(savePoint.Store(level, game::Player{}));
    Archive archive(100.0f);
    for (std::int32_t column = 0; column < 3; ++column) {
        Place place = At(column, 0, 100.0f);
        place.snapshot.savePoint = savePoint;
        archive.Add(std::move(place));
    }
    EXPECT_EQ(archive.SnapshotBytesKept(), savePoint.SharedBytes());
}

// The places themselves and the run tree count against the budget too: once they fill it, no
// place has room any more, whatever is let go of.
TEST(Archive, CountsItsPlacesAndTheRunTree) {
    const std::size_t each = PlaceBytes(At(0, 0, 100.0f));
    Archive archive(100.0f, {}, 10 * each);
    archive.Add(At(0, 0, 100.0f));
    archive.Add(At(1, 0, 100.0f));
    EXPECT_EQ(archive.BytesKept(), 2 * each);
    archive.SetOtherBytes(7 * each);
    EXPECT_EQ(archive.BytesKept(), 9 * each);
    EXPECT_TRUE(archive.Room());
    archive.Add(At(2, 0, 100.0f));
    EXPECT_FALSE(archive.Room());
}

}  // namespace
}  // namespace tessaron::solver
