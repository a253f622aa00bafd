// What the automatic player pays to come back to a place of a 30000-cell level (300 x 100): a
// copy of the whole game, and taking and restoring a snapshot that keeps only the elements that
// differ from the settled level.
#include <benchmark/benchmark.h>

#include "game/motion.h"
#include "solver/world.h"

namespace {

using namespace tessaron;

// A new level where one cell in fifty moves back and forth by itself and one in a hundred is a
// torch, after some passes of the element update: the movers are under way, the torches flicker.
struct Busy {
    Busy() {
        level::Level& level = world.state.level;
        level.levelWidth = 300;
        level.levelHeight = 100;
        level::BuildFreshGrid(level.elements, 300, 100);
        for (std::size_t i = 0; i < level.elements.size(); ++i) {
            level::Element& e = level.elements[i];
            if (i % 50 == 0) {
                e.length = 3;
                e.speedX = 25;
                e.pause1 = 10;
                e.pause2 = 10;
                e.link = 0;
            } else if (i % 100 == 1) {
                e.kind = level::Code(level::ElementKind::Torch);
            }
        }
        level.triggeredLink = -1;
        game::UpdateElements(level, world.random);
        settled = level.elements;
        for (int pass = 0; pass < 5; ++pass) {
            game::UpdateElements(level, world.random);
        }
    }
    solver::World world;
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

void RestoreSnapshot(benchmark::State& state) {
    Busy busy;
    const solver::SnapshotBase base(busy.settled);
    const solver::Snapshot snapshot = base.Take(busy.world);
    for (auto _ : state) {
        base.Restore(snapshot, busy.world);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(RestoreSnapshot)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
