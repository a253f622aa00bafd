// The element update pass over a level of 30000 cells (300 x 100), the most a pass walks.
#include <benchmark/benchmark.h>

#include "game/motion.h"

namespace {

using namespace tessaron;

// A new level (every cell link -1, so every cell is sent out in each pass without a trigger)
// where one cell in eight moves back and forth and one in sixteen is a torch.
level::Level BusyLevel() {
    level::Level level;
    level.levelWidth = 300;
    level.levelHeight = 100;
    level::BuildFreshGrid(level.elements, 300, 100);
    for (std::size_t i = 0; i < level.elements.size(); ++i) {
        level::Element& e = level.elements[i];
        if (i % 8 == 0) {
            e.length = 3;
            e.speedX = 25;
            e.pause1 = 10;
            e.pause2 = 10;
            e.link = 0;
        } else if (i % 16 == 1) {
            e.kind = level::Code(level::ElementKind::Torch);
        }
    }
    return level;
}

void UpdateElements30000(benchmark::State& state) {
    level::Level level = BusyLevel();
    runtime::Random random(11);
    for (auto _ : state) {
        level.triggeredLink = -1;
        game::UpdateElements(level, random);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(level.elements.size()));
}
BENCHMARK(UpdateElements30000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
