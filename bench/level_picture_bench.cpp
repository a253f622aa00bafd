// The level tool's picture of the largest level a file holds (300 x 333 cells, 12 000 x 13 320
// pixels) with the game's pictures: drawn tile by tile, then reduced, then written as a PNG; and
// the editor's overview of that level, beside the same picture reduced to the overview's size.
// The counter peak_MB is the most memory that operator new held at once during a run, above
// what it held before.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <string>

#include "render/level_picture.h"
#include "render/overview.h"
#include "render/pictures.h"
#include "runtime/picture.h"

// GCC takes the replaced pair below for a mismatch once it inlines malloc and free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {
std::atomic<std::size_t> g_heldBytes{0};
std::atomic<std::size_t> g_peakBytes{0};
}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    const std::size_t held = g_heldBytes += malloc_usable_size(p);
    std::size_t peak = g_peakBytes.load();
    while (held > peak && !g_peakBytes.compare_exchange_weak(peak, held)) {
    }
    return p;
}
void operator delete(void* p) noexcept {
    if (p != nullptr) {
        g_heldBytes -= malloc_usable_size(p);
        std::free(p);
    }
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

using namespace tessaron;

struct Bench {
    std::unique_ptr<runtime::GameFolder> folder;
    std::unique_ptr<runtime::Machine> machine;
    std::unique_ptr<runtime::PlayScreen> screen;
    level::Level level;
};
Bench* g = nullptr;

// Rows that go nowhere: what remains is the drawing and the reading back.
class NoRows : public runtime::PictureRows {
  public:
    void Row(std::span<const runtime::Pixel> pixels) override {
        benchmark::DoNotOptimize(pixels.data());
    }
};

bool Setup(int* argc, char** argv) {
    g = new Bench;
    g->folder = std::make_unique<runtime::GameFolder>(TESSARON_GAME_DIR);
    g->machine = std::make_unique<runtime::Machine>(*g->folder);
    if (!g->machine->StartScreen({true, argc, argv}) || !g->machine->StartBlendedSprites()) {
        return false;
    }
    g->screen = std::make_unique<runtime::PlayScreen>(*g->machine);
    if (!render::LoadPictures(*g->screen).empty() || !render::LoadLabelFont(*g->screen)) {
        return false;
    }
    // A varied level: a third of the cells empty, water in bands, every kind, some displacements.
    level::Level& lv = g->level;
    lv.levelWidth = 300;
    lv.levelHeight = 333;
    const int kinds[] = {1000, 1000, 1000, 1000, 1000, 1000, 1000, 1001, 1002, 1003, 1004,
                         1025, 2001, 2002, 2010, 2020, 2031, 3011, 4001, 4010, 4050, 4099};
    constexpr int kKinds = sizeof kinds / sizeof kinds[0];
    for (int row = 1; row <= lv.levelHeight; ++row) {
        for (int column = 1; column <= lv.levelWidth; ++column) {
            const int kind = kinds[(column * 7 + row * 13) % kKinds];
            const int length = (column + row) % 11 == 0 ? 2 : 0;
            level::AddCell(lv.elements, row % 20 > 14 ? 200 : 100, column, row, kind, column, row,
                           0, length ? 2 : -1, 0, length, length ? 5 : 0, 0, 0, length ? 10 : 0, 0);
        }
    }
    return true;
}

// Sets the counter peak_MB after the runs.
class PeakMemory {
  public:
    PeakMemory() : before_(g_heldBytes.load()) { g_peakBytes = before_; }
    void Report(benchmark::State& bench) const {
        bench.counters["peak_MB"] = double(g_peakBytes.load() - before_) / 1e6;
    }

  private:
    std::size_t before_;
};

void Draw(benchmark::State& bench, int valueDisplay, int scale = 1) {
    render::LevelPictureOptions options;
    options.valueDisplay = valueDisplay;
    NoRows rows;
    std::unique_ptr<runtime::ReducedRows> reduced;
    runtime::PictureRows* out = &rows;
    if (scale > 1) {
        options.grid = render::GridOverlay::Hidden;
        const render::PictureSize size = render::LevelPictureSize(g->level);
        reduced = std::make_unique<runtime::ReducedRows>(size.width, size.height, scale, rows);
        out = reduced.get();
    }
    const PeakMemory memory;
    for (auto _ : bench) {
        render::DrawLevelPicture(g->level, options, *g->screen, *out);
    }
    memory.Report(bench);
}
void BM_DrawLargestLevel(benchmark::State& s) {
    Draw(s, 0);
}
void BM_DrawLargestLevelSpeedLabels(benchmark::State& s) {
    Draw(s, 3);
}
BENCHMARK(BM_DrawLargestLevel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLargestLevelSpeedLabels)->Unit(benchmark::kMillisecond);

// The editor's overview as it opens: the looks drawn and reduced to fit the play screen (by 18
// for this level), against the level picture drawn band by band and reduced alike.
void BM_Overview(benchmark::State& bench) {
    const render::OverviewLayout layout = render::LayOutOverview(g->level);
    const PeakMemory memory;
    for (auto _ : bench) {
        benchmark::DoNotOptimize(render::DrawOverviewPixels(g->level, layout, *g->screen).data());
    }
    memory.Report(bench);
}
void BM_OverviewByBands(benchmark::State& s) {
    Draw(s, 0, render::LayOutOverview(g->level).scale);
}
BENCHMARK(BM_Overview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverviewByBands)->Unit(benchmark::kMillisecond);

// The whole way to a file, at full size and reduced by 4 as the README's overviews are.
void WriteLargestLevel(benchmark::State& bench, int scale) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("tessaron_level_picture_bench_" + std::to_string(::getpid()) + ".png");
    render::LevelPictureOptions options;
    options.scale = scale;
    for (auto _ : bench) {
        const std::string problem = render::WriteLevelPicture(g->level, options, *g->screen, file);
        if (!problem.empty()) {
            bench.SkipWithError(problem.c_str());
        }
    }
    std::error_code error;
    std::filesystem::remove(file, error);
}
void BM_WriteLargestLevel(benchmark::State& s) {
    WriteLargestLevel(s, 1);
}
void BM_WriteLargestLevelReduced(benchmark::State& s) {
    WriteLargestLevel(s, 4);
}
BENCHMARK(BM_WriteLargestLevel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteLargestLevelReduced)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    if (!Setup(&argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
