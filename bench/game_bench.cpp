// The simulation of a play pass on a 200 x 100 level (the player's passes and the element
// update), and storing and restoring the save point of such a level.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

#include "game/simulation.h"
#include "level/level.h"
#include "runtime/files.h"
#include "runtime/random.h"
#include "runtime/screen.h"

namespace {

using namespace tessaron;
using level::ElementKind;

constexpr int kWidth = 200;
constexpr int kHeight = 100;
constexpr int kGroundRow = 59;

// The game's own pictures for the pixel tests; the save point goes to a temporary folder.
struct Fixture {
    Fixture()
        : pictures(TESSARON_GAME_DIR),
          scratch(std::filesystem::temp_directory_path() /
                  ("tessaron_game_bench_" + std::to_string(::getpid()))) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        std::filesystem::create_directories(scratch.Root());
        machine = std::make_unique<runtime::Machine>(pictures);
        runtime::StartOptions options;
        options.headless = true;
        machine->StartScreen(options);
        machine->StartSound();
        screen = std::make_unique<runtime::PlayScreen>(*machine);
        sound = std::make_unique<runtime::Sound>(*machine);
        files = std::make_unique<runtime::Files>(scratch);
        savePoints = std::make_unique<game::SavePointFile>(*files);
        const std::pair<int, const char*> sprites[] = {
            {0, "BMP\\Bereich.bmp"},       {100, "BMP\\H_Luft.bmp"},   {200, "BMP\\H_Wasser.bmp"},
            {1000, "BMP\\Leer.bmp"},       {1003, "BMP\\Erde.bmp"},    {1004, "BMP\\Rasen.bmp"},
            {1025, "BMP\\Gestrüp100.bmp"}, {4001, "BMP\\1-.bmp"},      {5001, "BMP\\Leer.bmp"},
            {3011, "BMP\\Fackel1.bmp"},    {3012, "BMP\\Fackel2.bmp"},
        };
        for (const auto& [number, path] : sprites) screen->LoadSprite(number, path);
    }
    ~Fixture() {
        savePoints.reset();
        files.reset();
        sound.reset();
        screen.reset();
        machine->End();
        machine.reset();
        std::filesystem::remove_all(scratch.Root());
    }

    game::Services Services() { return {screen->Masks(), *sound, *savePoints, random, schedule}; }

    runtime::GameFolder pictures;
    runtime::GameFolder scratch;
    std::unique_ptr<runtime::Machine> machine;
    std::unique_ptr<runtime::PlayScreen> screen;
    std::unique_ptr<runtime::Sound> sound;
    std::unique_ptr<runtime::Files> files;
    std::unique_ptr<game::SavePointFile> savePoints;
    runtime::Random random{1};
    game::UpdateSchedule schedule;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

// Air above grass and earth, a row of coins and torches, a pool, and a ball resting on the grass
// in the middle of the level.
level::Level MakeLevel() {
    level::Level level;
    level.levelWidth = kWidth;
    level.levelHeight = kHeight;
    for (int row = 1; row <= kHeight; ++row) {
        for (int column = 1; column <= kWidth; ++column) {
            ElementKind kind = ElementKind::Empty;
            int background = 100;
            if (row == kGroundRow)
                kind = ElementKind::Grass;
            if (row > kGroundRow)
                kind = ElementKind::Earth;
            if (row == kGroundRow - 3 && column % 4 == 0)
                kind = ElementKind::Coin1;
            if (row == kGroundRow - 1 && column % 9 == 0)
                kind = ElementKind::Torch;
            if (row >= kGroundRow && row < kGroundRow + 3 && column > 150 && column < 160) {
                kind = ElementKind::Empty;
                background = 200;
            }
            level::AddCell(level.elements, background, column, row, static_cast<int>(kind), column,
                           row, 0, -1, 0, 0, 0, 0, 0, 0, 0);
        }
    }
    level.viewX = 512.0f - 40.0f * 100.0f;
    level.viewY = 384.0f - (40.0f * kGroundRow - 50.0f);
    return level;
}

// One play pass's simulation: the first stage, the keys, the second stage.
void PlayPass(benchmark::State& state) {
    Fixture& f = Shared();
    level::Level level = MakeLevel();
    game::Player player;
    const game::PlayerKeys keys;
    for (auto _ : state) {
        level.triggeredLink = -1;
        game::RunFirstStage(level, player, f.Services());
        game::ApplyPlayerKeys(level, player, keys, f.Services());
        game::RunSecondStage(level, player, f.Services());
        benchmark::DoNotOptimize(level.viewY);
    }
}
BENCHMARK(PlayPass)->Unit(benchmark::kMicrosecond);

// A jump's head check on top of a pass: one more walk of the list.
void PlayPassJumping(benchmark::State& state) {
    Fixture& f = Shared();
    level::Level level = MakeLevel();
    game::Player player;
    const game::PlayerKeys keys{true, false, false};
    for (auto _ : state) {
        const float viewY = level.viewY;
        level.triggeredLink = -1;
        game::RunFirstStage(level, player, f.Services());
        player.canJump = 1;
        game::ApplyPlayerKeys(level, player, keys, f.Services());
        game::RunSecondStage(level, player, f.Services());
        // Back on the ground for the next pass.
        level.viewY = viewY;
        player.velocityY = 0.0f;
    }
}
BENCHMARK(PlayPassJumping)->Unit(benchmark::kMicrosecond);

// Taking a disk stores the whole list; spikes read it back.
void StoreSavePoint(benchmark::State& state) {
    Fixture& f = Shared();
    const level::Level level = MakeLevel();
    const game::Player player;
    for (auto _ : state) {
        benchmark::DoNotOptimize(game::StoreSavePoint(level, player, *f.files));
    }
}
BENCHMARK(StoreSavePoint)->Unit(benchmark::kMillisecond);

void RestoreSavePoint(benchmark::State& state) {
    Fixture& f = Shared();
    level::Level level = MakeLevel();
    game::Player player;
    game::StoreSavePoint(level, player, *f.files);
    for (auto _ : state) {
        benchmark::DoNotOptimize(game::RestoreSavePoint(level, player, *f.files));
    }
}
BENCHMARK(RestoreSavePoint)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
