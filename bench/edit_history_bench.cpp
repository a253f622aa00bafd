// Undo and redo of one click of the 8 x 8 brush on a 300 x 100 level, and the click itself with
// and without recording its step.
#include <benchmark/benchmark.h>

#include <vector>

#include "editor/edit_history.h"
#include "editor/painting.h"

namespace {

using namespace tessaron;

level::Level Level300x100() {
    level::Level level;
    level.levelWidth = 300;
    level.levelHeight = 100;
    level.viewX = 0.0f;
    level.viewY = 0.0f;
    level::BuildFreshGrid(level.elements, 300, 100);
    return level;
}

editor::PaintSettings BrickBrush() {
    editor::PaintSettings paint;
    paint.kindChoice = static_cast<int>(level::ElementKind::Brick);
    paint.brushSize = 8;
    return paint;
}

// Cell (c, r) lies under the mouse at (40c, 40r) from view (0, 0).
constexpr int kMouseX = 40 * 150;
constexpr int kMouseY = 40 * 50;

void PaintWithoutHistory(benchmark::State& state) {
    level::Level level = Level300x100();
    const editor::PaintSettings paint = BrickBrush();
    for (auto _ : state) {
        benchmark::DoNotOptimize(editor::Paint(level, paint, kMouseX, kMouseY));
    }
}
BENCHMARK(PaintWithoutHistory)->Unit(benchmark::kMicrosecond);

// Every click changes all 64 cells: the brush alternates between two kinds.
void PaintAndRecord(benchmark::State& state) {
    level::Level level = Level300x100();
    editor::PaintSettings paint = BrickBrush();
    editor::EditHistory history;
    int kind = 0;
    for (auto _ : state) {
        paint.kindChoice = 1001 + (kind ^= 1);
        std::vector<editor::CellChange> changes;
        editor::Paint(level, paint, kMouseX, kMouseY, &changes);
        history.Record(level, std::move(changes));
    }
    state.counters["cells"] = static_cast<double>(history.CellCount());
    state.counters["bytesPerCell"] = sizeof(editor::CellChange);
}
BENCHMARK(PaintAndRecord)->Unit(benchmark::kMicrosecond);

// One undo and one redo of an 8 x 8 step per iteration.
void UndoRedo8x8(benchmark::State& state) {
    level::Level level = Level300x100();
    editor::EditHistory history;
    std::vector<editor::CellChange> changes;
    editor::Paint(level, BrickBrush(), kMouseX, kMouseY, &changes);
    if (changes.size() != 64) {
        state.SkipWithError("the brush did not change 64 cells");
        return;
    }
    history.Record(level, std::move(changes));
    for (auto _ : state) {
        history.Undo(level);
        history.Redo(level);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(UndoRedo8x8)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
