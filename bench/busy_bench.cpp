// The rows of the performance table on busy levels (tools/busy_level) of 20 x 20, 299 x 100 and
// 300 x 333 cells: the simulation stages of a play pass, whole passes with and without a frame,
// the editor's pass with the value display and the brush preview, reading the level file, and
// storing and restoring the save point. bench.sh prints the medians as the table. Besides, the
// automatic player's search on one core, by passes per processor second, on the busy 300 x 100
// level and on the longest shipped level (Search/...).
//
// A pass follows a fixed pattern of keys (rolling right, resting, rolling left with two jumps),
// and every 600 passes the game goes back to its start, so that each measurement sees the same
// mix of contacts, pickups and moving platforms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/program.h"
#include "busy_level.h"
#include "editor/controls.h"
#include "game/simulation.h"
#include "level/level_file.h"
#include "runtime/files.h"
#include "runtime/requesters.h"
#include "runtime/screen.h"
#include "solver/search.h"

namespace {

using namespace tessaron;

struct Size {
    std::int32_t width;
    std::int32_t height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
    std::string LevelPath() const { return "LEVEL/Busy" + Name() + ".TXT"; }
};
constexpr Size kSizes[] = {{20, 20}, {299, 100}, {300, 333}};
// The level the automatic player's rate is measured on (bench/solve.sh).
constexpr Size kSearchSize{300, 100};

constexpr std::int64_t kPassesPerRound = 600;
// The longest shipped level.
constexpr const char* kLongLevel = "LEVEL/Wanderung.TXT";

// A scratch game folder: the built game's pictures and sound, and the busy levels.
std::filesystem::path& Folder() {
    static std::filesystem::path folder = [] {
        const auto root = std::filesystem::temp_directory_path() /
                          ("tessaron_busy_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "LEVEL");
        std::filesystem::create_symlink(std::filesystem::path(TESSARON_GAME_DIR) / "BMP",
                                        root / "BMP");
        std::filesystem::create_symlink(std::filesystem::path(TESSARON_GAME_DIR) / "WAV",
                                        root / "WAV");
        const runtime::GameFolder game(root);
        runtime::Files files(game);
        for (const Size& size : kSizes) {
            level::Level level = busy_level::MakeBusyLevel(size.width, size.height, 1);
            level::WriteLevelFile(level, files, size.LevelPath());
        }
        level::Level searched = busy_level::MakeBusyLevel(kSearchSize.width, kSearchSize.height, 1);
        level::WriteLevelFile(searched, files, kSearchSize.LevelPath());
        std::filesystem::copy_file(std::filesystem::path(TESSARON_GAME_DIR) / kLongLevel,
                                   root / kLongLevel);
        return root;
    }();
    return folder;
}

// The keys of pass n of the pattern.
game::PlayerKeys KeysOfPass(std::int64_t n) {
    const std::int64_t p = n % 240;
    game::PlayerKeys keys;
    keys.right = p < 70;
    keys.left = p >= 100 && p < 200;
    keys.up = (p >= 120 && p < 126) || (p >= 160 && p < 166);
    return keys;
}

// A program started on a busy level, with the state it started in.
class Session {
  public:
    Session(const Size& size, bool drawFrames) : Session(size.LevelPath(), drawFrames) {}
    Session(const std::string& levelPath, bool drawFrames) {
        requesters_.Answer(levelPath);
        app::Options options;
        options.gameDir = Folder();
        options.headless = true;
        options.seed = 1;
        options.drawFrames = drawFrames;
        app::ProgramHooks hooks;
        hooks.requesters = &requesters_;
        program_ = std::make_unique<app::Program>(options, hooks);
        int argc = 1;
        char name[] = "busy_bench";
        char* argv[] = {name, nullptr};
        ok_ = program_->StartUp(argc, argv) == 0;
        files_ = std::make_unique<runtime::Files>(program_->Folder());
        savePoints_ = std::make_unique<game::SavePointFile>(*files_);
        start_ = program_->State();
    }
    ~Session() {
        savePoints_.reset();
        files_.reset();
        program_->End();
    }

    bool Ok() const { return ok_; }
    app::Program& Program() { return *program_; }
    game::Services Services() {
        return {program_->Masks(), program_->Sounds(), *savePoints_, program_->RandomNumbers(),
                program_->State().schedule};
    }
    // Keeps the state of now as the one each round starts from.
    void KeepStart() { start_ = program_->State(); }
    // Back to the start after a round of passes.
    void Rewind() {
        program_->State() = start_;
        program_->RandomNumbers().Seed(1);
    }
    void HoldKeys(const game::PlayerKeys& keys) {
        runtime::Keyboard& k = program_->Keys();
        k.SetKey(runtime::Key::Up, keys.up);
        k.SetKey(runtime::Key::Left, keys.left);
        k.SetKey(runtime::Key::Right, keys.right);
    }

  private:
    runtime::ScriptedRequesters requesters_;
    std::unique_ptr<app::Program> program_;
    std::unique_ptr<runtime::Files> files_;
    std::unique_ptr<game::SavePointFile> savePoints_;
    app::GameState start_;
    bool ok_ = false;
};

// Runs one pass per iteration; every round the game goes back to its start, untimed.
template <typename Pass>
void Rounds(benchmark::State& state, Session& session, Pass pass) {
    std::int64_t n = 0;
    for (auto _ : state) {
        pass(n);
        if (++n % kPassesPerRound == 0) {
            state.PauseTiming();
            session.Rewind();
            state.ResumeTiming();
        }
    }
}

void SimulationStages(benchmark::State& state, Size size) {
    Session session(size, false);
    if (!session.Ok())
        return state.SkipWithError("start-up failed");
    app::GameState& game = session.Program().State();
    Rounds(state, session, [&](std::int64_t n) {
        const game::Services services = session.Services();
        game.level.triggeredLink = -1;
        game::RunFirstStage(game.level, game.player, services);
        game::ApplyPlayerKeys(game.level, game.player, KeysOfPass(n), services);
        game::RunSecondStage(game.level, game.player, services);
    });
}

void PlayPass(benchmark::State& state, Size size, bool drawFrames) {
    Session session(size, drawFrames);
    if (!session.Ok())
        return state.SkipWithError("start-up failed");
    Rounds(state, session, [&](std::int64_t n) {
        session.HoldKeys(KeysOfPass(n));
        session.Program().RunPass();
    });
}

// The editor with the link numbers on every cell and the mouse over the map: the brush preview
// follows it. The map scrolls left and right.
void EditorPass(benchmark::State& state, Size size) {
    Session session(size, true);
    if (!session.Ok())
        return state.SkipWithError("start-up failed");
    app::Program& program = session.Program();
    runtime::Keyboard& keys = program.Keys();
    keys.SetKey(runtime::Key::Tab, true);
    program.RunPass();
    keys.SetKey(runtime::Key::Tab, false);
    program.RunPass();
    program.Windows().Select(editor::control::kValueDisplay, 1);
    program.Windows().SetMousePosition(256 + 530, 300);
    program.RunPass();
    program.RunPass();
    if (program.State().loop.mode != level::Mode::Editor ||
        program.State().paint.valueDisplayChoice != 1) {
        return state.SkipWithError("the editor did not open");
    }
    session.KeepStart();
    Rounds(state, session, [&](std::int64_t n) {
        keys.SetKey(runtime::Key::Right, n % 100 < 50);
        keys.SetKey(runtime::Key::Left, n % 100 >= 50);
        program.RunPass();
    });
}

void ReadLevel(benchmark::State& state, Size size) {
    const runtime::GameFolder game(Folder());
    runtime::Files files(game);
    level::Level level;
    for (auto _ : state) {
        level.levelFileName = size.LevelPath();
        if (level::ReadLevelFile(level, files) != level::LoadResult::Loaded) {
            return state.SkipWithError("the level could not be read");
        }
        benchmark::DoNotOptimize(level.elements.data());
    }
}

void StoreSavePoint(benchmark::State& state, Size size) {
    const runtime::GameFolder game(Folder());
    runtime::Files files(game);
    const level::Level level = busy_level::MakeBusyLevel(size.width, size.height, 1);
    const game::Player player;
    for (auto _ : state) {
        if (!game::StoreSavePoint(level, player, files)) {
            return state.SkipWithError("the save point could not be stored");
        }
    }
}

void RestoreSavePoint(benchmark::State& state, Size size) {
    const runtime::GameFolder game(Folder());
    runtime::Files files(game);
    level::Level level = busy_level::MakeBusyLevel(size.width, size.height, 1);
    game::Player player;
    game::StoreSavePoint(level, player, files);
    for (auto _ : state) {
        if (!game::RestoreSavePoint(level, player, files)) {
            return state.SkipWithError("the save point could not be restored");
        }
    }
}

// The automatic player's search on one core for a fixed number of passes (the first of them
// find the level's first places); the rate is passes per processor second.
void Search(benchmark::State& state, std::string levelPath, std::int64_t passes) {
    Session session(levelPath, false);
    if (!session.Ok())
        return state.SkipWithError("start-up failed");
    const solver::World start{session.Program().State(), session.Program().RandomNumbers(), {}};
    const solver::Machines machines{session.Program().Masks()};
    solver::SearchSettings settings;
    settings.seconds = 1.0e9;
    settings.passLimit = passes;
    settings.threads = 1;
    std::int64_t searched = 0;
    for (auto _ : state) {
        solver::Search search(start, machines, settings);
        searched += search.Run([](const solver::SearchProgress&) {}).totals.passes;
    }
    state.counters["passes"] =
        benchmark::Counter(static_cast<double>(searched), benchmark::Counter::kIsRate);
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    for (const Size& size : kSizes) {
        const std::string n = "/" + size.Name();
        benchmark::RegisterBenchmark(("SimulationStages" + n).c_str(), SimulationStages, size)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("PlayPass" + n).c_str(), PlayPass, size, true)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("PlayPassNoFrame" + n).c_str(), PlayPass, size, false)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("EditorPass" + n).c_str(), EditorPass, size)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("ReadLevel" + n).c_str(), ReadLevel, size)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("StoreSavePoint" + n).c_str(), StoreSavePoint, size)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("RestoreSavePoint" + n).c_str(), RestoreSavePoint, size)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("Search/Busy300x100", Search, kSearchSize.LevelPath(), 40000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Search/Wanderung", Search, std::string(kLongLevel), 1000000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
    return 0;
}
