// What the automatic player pays to come back to a place of a 30000-cell level (300 x 100): a
// copy of the whole game, and taking and restoring a snapshot that keeps only the elements that
// differ from the settled level, in place.
#include <benchmark/benchmark.h>

#include "game/motion.h"
#include "moving_level.h"
#include "solver/world.h"

namespace {

using namespace tessaron;

// A new level where one cell in fifty moves back and forth by itself and one in a hundred is a
// torch, after some passes of the element update: the movers are under way, the torches flicker.
struct Busy {
    Busy() {
        world.state.level = bench::MovingLevel(50, 100);
        level::Level& level = world.state.level;
        level.triggeredLink = -1;
        game::UpdateElements(level, world.state.schedule, world.random);
        settled = level.elements;
        for (int pass = 0; pass < 5; ++pass) {
            game::UpdateElements(level, world.state.schedule, world.random);
            if (pass == 1) {
                earlier = world;
            }
        }
    }
    solver::World world;
    // The same level three passes before.
    solver::World earlier;
    level::ElementList settled;
};

void CopyWholeGame(benchmark::State& state) {
    const Busy busy;
    for (auto _ : state) {
        solver::World copy = busy.world;
        benchmark::DoNotOptimize(copy.state.level.elements.data());
    }
}
BENCHMARK(CopyWholeGame)->Unit(benchmark::kMicrosecond);

void TakeSnapshot(benchmark::State& state) {
    const Busy busy;
    const solver::SnapshotBase base(busy.settled);
    for (auto _ : state) {
        solver::Snapshot snapshot = base.Take(busy.world);
        benchmark::DoNotOptimize(snapshot.changed.data());
    }
    state.counters["changed"] = static_cast<double>(base.Take(busy.world).changed.size());
}
BENCHMARK(TakeSnapshot)->Unit(benchmark::kMicrosecond);

// Back and forth between two places three passes apart, as the search goes from one place to
// another: each restore writes back the records that differ, in place, and keeps the indexes.
void RestoreSnapshot(benchmark::State& state) {
    Busy busy;
    const solver::SnapshotBase base(busy.settled);
    const solver::Snapshot later = base.Take(busy.world);
    const solver::Snapshot earlier = base.Take(busy.earlier);
    bool toEarlier = true;
    for (auto _ : state) {
        base.Restore(toEarlier ? earlier : later, busy.world);
        toEarlier = !toEarlier;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RestoreSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
