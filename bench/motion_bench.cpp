// The element update pass over a level of 30000 cells (300 x 100), the most a pass walks.
#include <benchmark/benchmark.h>

#include "game/motion.h"
#include "moving_level.h"
#include "runtime/random.h"

namespace {

using namespace tessaron;

void UpdateElements30000(benchmark::State& state) {
    // Every cell has link -1, so every cell is sent out in each pass without a trigger; one
    // cell in eight moves and one in sixteen is a torch.
    level::Level level = bench::MovingLevel(8, 16);
    runtime::Random random(11);
    game::UpdateSchedule schedule;
    for (auto _ : state) {
        level.triggeredLink = -1;
        game::UpdateElements(level, schedule, random);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(level.elements.size()));
}
BENCHMARK(UpdateElements30000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
