// Reading and writing level files, and storing and restoring the save point, at the sizes that
// matter: 20 x 20 (the smallest level), 299 x 100 (a large level of the editor) and 300 x 333
// (the most cells a file of the widest rows holds), and a save point of 30 000 cells.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "game/simulation.h"
#include "level/level_file.h"
#include "runtime/files.h"

namespace {

using namespace tessaron;

// A folder of this process's own, removed when the benchmarks end.
struct BenchFolder {
    BenchFolder()
        : path(std::filesystem::temp_directory_path() /
               ("tessaron-level-file-bench-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~BenchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path, error);
    }
    std::filesystem::path path;
};

const runtime::GameFolder& Folder() {
    static const BenchFolder bench;
    static const runtime::GameFolder folder(bench.path);
    return folder;
}

// A level whose cells differ in every stored value, so that nothing is cheaper for being zero.
level::Level VariedLevel(int width, int height) {
    level::Level level;
    level.levelWidth = width;
    level.levelHeight = height;
    level.levelFileName = "bench.TXT";
    level::BuildFreshGrid(level.elements, width, height);
    int i = 0;
    for (level::Element& e : level.elements) {
        e.kind = static_cast<float>(1000 + i % 5);
        e.background = (i % 7 == 0) ? 200.0f : 100.0f;
        e.link = static_cast<float>(i % 13 - 1);
        e.length = static_cast<float>(i % 4);
        e.speedX = static_cast<float>(i % 3 == 0 ? i % 9 : 0);
        e.pause1 = static_cast<float>(i % 50);
        ++i;
    }
    return level;
}

void WriteLevel(benchmark::State& state) {
    runtime::Files files(Folder());
    level::Level level =
        VariedLevel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        if (level::WriteLevelFile(level, files, "bench.TXT") != level::SaveResult::Saved) {
            state.SkipWithError("the level could not be written");
            break;
        }
    }
}
BENCHMARK(WriteLevel)
    ->Args({20, 20})
    ->Args({299, 100})
    ->Args({300, 333})
    ->Unit(benchmark::kMillisecond);

void ReadLevel(benchmark::State& state) {
    runtime::Files files(Folder());
    level::Level written =
        VariedLevel(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    level::WriteLevelFile(written, files, "bench.TXT");
    level::Level level;
    level.levelFileName = "bench.TXT";
    for (auto _ : state) {
        if (level::ReadLevelFile(level, files) != level::LoadResult::Loaded) {
            state.SkipWithError("the level could not be read");
            break;
        }
        benchmark::DoNotOptimize(level.elements.data());
    }
}
BENCHMARK(ReadLevel)
    ->Args({20, 20})
    ->Args({299, 100})
    ->Args({300, 333})
    ->Unit(benchmark::kMillisecond);

// Taking a disk on a level of 30 000 cells stores the whole list; spikes read it back.
void StoreSavePoint(benchmark::State& state) {
    runtime::Files files(Folder());
    const level::Level level = VariedLevel(300, 100);
    const game::Player player;
    for (auto _ : state) {
        if (!game::StoreSavePoint(level, player, files)) {
            state.SkipWithError("the save point could not be stored");
            break;
        }
    }
}
BENCHMARK(StoreSavePoint)->Unit(benchmark::kMillisecond);

void RestoreSavePoint(benchmark::State& state) {
    runtime::Files files(Folder());
    level::Level level = VariedLevel(300, 100);
    game::Player player;
    game::StoreSavePoint(level, player, files);
    for (auto _ : state) {
        if (!game::RestoreSavePoint(level, player, files)) {
            state.SkipWithError("the save point could not be restored");
            break;
        }
    }
}
BENCHMARK(RestoreSavePoint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
