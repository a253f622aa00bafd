// Reading and writing a 200 x 100 level file, the largest size older files hold.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "level/level_file.h"

namespace {

using namespace tessaron;

std::filesystem::path BenchFolder() {
    const auto path = std::filesystem::temp_directory_path() / "tessaron-level-file-bench";
    std::filesystem::create_directories(path);
    return path;
}

level::Level Level200x100() {
    level::Level level;
    level.levelWidth = 200;
    level.levelHeight = 100;
    level::BuildFreshGrid(level.elements, 200, 100);
    return level;
}

void WriteLevel(benchmark::State& state) {
    const runtime::GameFolder folder(BenchFolder());
    runtime::Files files(folder);
    level::Level level = Level200x100();
    for (auto _ : state) {
        if (level::WriteLevelFile(level, files, "bench.TXT") != level::SaveResult::Saved) {
            state.SkipWithError("the level could not be written");
            break;
        }
    }
}
BENCHMARK(WriteLevel)->Unit(benchmark::kMillisecond);

void ReadLevel(benchmark::State& state) {
    const runtime::GameFolder folder(BenchFolder());
    runtime::Files files(folder);
    level::Level written = Level200x100();
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
BENCHMARK(ReadLevel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
