#include "app/automation/solve_run.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <system_error>
#include <thread>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "app/automation/script_driver.h"
#include "app/automation/scripted_run.h"
#include "app/program.h"
#include "level/level_file.h"
#include "runtime/file_writer.h"
#include "solver/reach_picture.h"
#include "solver/search.h"
#include "solver/shorten.h"
#include "solver/world.h"

namespace tessaron::app {

namespace {

constexpr int kFound = 0;
constexpr int kNotFound = 1;
constexpr int kBadInput = 2;

void Report(const std::string& message) {
    std::cerr << "tessaron: " << message << '\n';
}

bool ErrorsGoToTerminal() {
#if defined(_WIN32)
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

// The search's progress on standard error: one line rewritten in place on a terminal, a plain
// line now and then when the errors go to a file.
class ProgressLine {
  public:
    ProgressLine() : terminal_(ErrorsGoToTerminal()) {}

    void Show(const solver::SearchProgress& now) {
        constexpr double kPlainEvery = 5.0;
        if (!terminal_ && now.seconds - shown_ < kPlainEvery) {
            return;
        }
        shown_ = now.seconds;
        std::ostringstream line;
        line << std::fixed << std::setprecision(1) << now.seconds << " s, " << now.passes
             << " passes, " << now.places << " places, best " << now.bestScore << " points";
        if (terminal_) {
            // Blanks cover the end of a longer line before.
            std::cerr << '\r' << line.str() << "      " << std::flush;
            open_ = true;
        } else {
            std::cerr << line.str() << '\n';
        }
    }

    // Ends the line being rewritten, so that what follows starts on a line of its own.
    void Close() {
        if (open_) {
            std::cerr << '\n';
            open_ = false;
        }
    }

  private:
    bool terminal_;
    bool open_ = false;
    double shown_ = -1.0e9;
};

// The replay script of a plan, with the comment lines that say what it does.
std::string ScriptText(const std::vector<std::string>& comments, std::uint32_t seed,
                       const std::string& level, const solver::KeyPlan& plan) {
    std::string text;
    for (const std::string& comment : comments) {
        text += "# " + comment + "\n";
    }
    text += "seed " + std::to_string(seed) + "\n";
    text += "answer " + level + "\n";
    for (const Action& action : KeyActions(plan)) {
        text += FormatAction(action) + "\n";
    }
    return text;
}

// Plays the script through the program's own main loop, which has not run a pass yet, and tells
// whether the goal is taken after `passes` passes. This is the check that the run the search
// found is what a scripted run replays.
bool ReplayTakesGoal(Program& program, ScriptDriver& driver, Script script, std::int64_t passes,
                     const solver::Goals& goals) {
    driver = ScriptDriver(
        std::move(script), [&program]() -> runtime::Windows& { return program.Windows(); },
        [&program]() -> runtime::Keyboard& { return program.Keys(); });
    for (std::int64_t pass = 0; pass < passes; ++pass) {
        if (program.RunPass() != PassOutcome::Continue) {
            return false;
        }
    }
    return goals.Taken(program.State().level.elements);
}

std::string Seconds(double seconds) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << seconds << " s";
    return text.str();
}

}  // namespace

std::vector<Action> KeyActions(const solver::KeyPlan& plan) {
    constexpr std::pair<std::uint8_t, runtime::Key> kKeys[] = {
        {solver::kUp, runtime::Key::Up},
        {solver::kLeft, runtime::Key::Left},
        {solver::kRight, runtime::Key::Right},
    };
    std::vector<Action> actions;
    std::uint8_t held = solver::kNoKeys;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const std::uint8_t keys = plan[i];
        // Keys let go first, then keys pressed; both before the pass polls its event.
        for (const bool down : {false, true}) {
            for (const auto& [bit, key] : kKeys) {
                const bool was = (held & bit) != 0;
                const bool is = (keys & bit) != 0;
                if (was != is && is == down) {
                    Action action;
                    action.pass = static_cast<std::int64_t>(i) + 1;
                    action.kind = down ? ActionKind::KeyDown : ActionKind::KeyUp;
                    action.key = key;
                    actions.push_back(action);
                }
            }
        }
        held = keys;
    }
    return actions;
}

int RunSolve(const Options& given, int& argc, char** argv) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begin = Clock::now();
    const auto elapsed = [&begin]() {
        return std::chrono::duration<double>(Clock::now() - begin).count();
    };

    Options options = given;
    const std::uint32_t seed = given.seed.value_or(kDefaultScriptSeed);
    options.seed = seed;
    options.headless = true;
    options.drawFrames = false;
    const std::string& level = options.solve;

    // The level must come back unchanged from the script's answer line.
    const ScriptResult answer = ParseScript("answer " + level + "\n");
    if (!answer.ok || answer.script.answers.size() != 1 || answer.script.answers[0] != level) {
        Report(level + ": a script cannot name this file; rename it");
        return kBadInput;
    }

    // Files that could not be written are refused now rather than after the search.
    for (const std::filesystem::path& out : {options.replay, options.reach}) {
        const std::filesystem::path folder = out.parent_path();
        std::error_code error;
        if (!out.empty() && !folder.empty() && !std::filesystem::is_directory(folder, error)) {
            Report(out.string() + ": there is no folder " + folder.string() + " to write it in");
            return kBadInput;
        }
    }

    // The search keeps its save points in memory and the start-up requester gets the level: the
    // run starts as a player's who chose the level at start-up, with no save point taken.
    runtime::ScriptedRequesters requesters;
    requesters.Answer(level);
    game::SavePointMemory savePoints;
    Program* program = nullptr;
    ScriptDriver driver(
        Script{}, [&program]() -> runtime::Windows& { return program->Windows(); },
        [&program]() -> runtime::Keyboard& { return program->Keys(); });
    ProgramHooks hooks;
    hooks.driver = &driver;
    hooks.requesters = &requesters;
    hooks.savePoints = &savePoints;
    Program run(options, hooks);
    program = &run;

    // An installed copy that has never been started gets its levels first.
    const DataFolderReport prepared = run.PrepareDataFolder();
    if (!prepared.Ready()) {
        Report(prepared.folder.string() +
               ": the folder for levels and saves cannot be made: " + prepared.reason);
        return kBadInput;
    }
    for (const std::string& line : prepared.uncopied) {
        Report("not copied into the folder for levels and saves: " + line);
    }
    {
        runtime::Files files(run.Folder());
        if (const std::string problem = level::LevelFileProblem(files, level); !problem.empty()) {
            Report(level + ": " + problem);
            return kBadInput;
        }
    }
    if (run.StartUp(argc, argv) != 0) {
        Report(level + ": the level could not be started");
        return kBadInput;
    }

    solver::World start{run.State(), run.RandomNumbers(), {}};
    const solver::Goals goals(start.state.level.elements);
    if (!goals.Any()) {
        Report(level + ": the level has no goal (\"Ziel\")");
        return kBadInput;
    }

    const solver::Machines machines{run.Masks()};

    solver::SearchSettings settings;
    settings.seconds = static_cast<double>(options.seconds);
    settings.seed = seed;
    // As many searchers as the machine has cores; the result is the same with any number.
    settings.threads = static_cast<std::int32_t>(std::max(1u, std::thread::hardware_concurrency()));
    solver::Search search(start, machines, settings);
    ProgressLine progress;
    const std::clock_t cpuBegin = std::clock();
    solver::SearchResult result =
        search.Run([&progress](const solver::SearchProgress& now) { progress.Show(now); });
    progress.Close();
    const double searchSeconds = elapsed();
    // Per second of the clock and per second of processor time: on a busy machine the two
    // differ much.
    const double cpuSeconds = double(std::clock() - cpuBegin) / CLOCKS_PER_SEC;
    const auto perSecond = [&result](double seconds) {
        return static_cast<std::int64_t>(seconds > 0.0 ? double(result.totals.passes) / seconds
                                                       : 0.0);
    };
    std::cerr << "searched " << Seconds(result.totals.seconds) << ": " << result.totals.passes
              << " passes (" << perSecond(result.totals.seconds) << " a second, "
              << perSecond(cpuSeconds) << " a processor second), " << result.totals.places
              << " places\n";

    const std::string script = options.replay.filename().string();
    std::vector<std::string> comments;
    solver::KeyPlan plan = std::move(result.plan);
    std::int32_t score = result.score;
    bool found = result.found;
    if (found) {
        solver::Shortener shortener(start, machines, std::move(plan));
        // The shortening has what is left of the time, and at least five seconds of its own
        // when the search found the win at the very end.
        constexpr double kShortestShortening = 5.0;
        const double shortenUntil =
            std::max(static_cast<double>(options.seconds), searchSeconds + kShortestShortening);
        shortener.Run([&]() { return elapsed() >= shortenUntil; });
        plan = shortener.Plan();
        score = shortener.Score();
        std::cerr << "shortened in " << Seconds(elapsed() - searchSeconds) << " to " << plan.size()
                  << " passes and " << solver::KeyChanges(plan) << " key changes\n";
        comments = {
            level + ": a run found by the automatic player (tessaron --solve, seed " +
                std::to_string(seed) + ").",
            "Finishes the level in " + std::to_string(plan.size()) + " passes with " +
                std::to_string(score) + " points:",
            "  tessaron --headless --script " + script + " --passes " + std::to_string(plan.size()),
        };
    } else {
        comments = {
            level + ": the automatic player found no run to the goal (seed " +
                std::to_string(seed) + ", " + std::to_string(options.seconds) + " s).",
            "The run that came nearest the goal: " + std::to_string(plan.size()) + " passes, " +
                std::to_string(score) + " points:",
            "  tessaron --headless --script " + script + " --passes " + std::to_string(plan.size()),
        };
    }

    if (found) {
        // The program replays the run before the file says that it finishes the level.
        ScriptResult replayed = ParseScript(ScriptText(comments, seed, level, plan));
        if (!replayed.ok ||
            !ReplayTakesGoal(run, driver, std::move(replayed.script),
                             static_cast<std::int64_t>(plan.size()), goals) ||
            run.State().level.score != score) {
            Report(
                "the run found does not take the goal when replayed; this is a fault of the "
                "automatic player");
            found = false;
            comments = {
                level + ": a run of the automatic player (tessaron --solve, seed " +
                    std::to_string(seed) + ") that should take the goal but did not when the",
                "program replayed it: " + std::to_string(plan.size()) + " passes:",
                "  tessaron --headless --script " + script + " --passes " +
                    std::to_string(plan.size()),
            };
        }
    }
    const std::string text = ScriptText(comments, seed, level, plan);
    if (std::string problem; !runtime::WriteWholeFile(options.replay, text, problem)) {
        Report("cannot write the replay " + options.replay.string() + ": " + problem);
        run.End();
        return kBadInput;
    }
    if (!options.reach.empty()) {
        // The level as loaded, with the cell nearest the goal framed when the goal was missed.
        const std::optional<solver::Cell> mark =
            found ? std::nullopt : std::optional<solver::Cell>(result.nearest);
        if (const std::string problem = solver::WriteReachPicture(
                start.state.level, search.Reached(), mark, run.Screen(), options.reach);
            !problem.empty()) {
            Report("cannot write the reach picture " + options.reach.string() + ": " + problem);
            run.End();
            return kBadInput;
        }
    }
    run.End();

    if (found) {
        std::cerr << "found: " << plan.size() << " passes, " << score << " points, in "
                  << Seconds(elapsed()) << "\n";
        return kFound;
    }
    std::cerr << "not found in " << options.seconds << " s: at most " << result.totals.bestScore
              << " points; nearest the goal: cell (" << result.nearest.column << ", "
              << result.nearest.row << "), " << std::fixed << std::setprecision(1)
              << result.nearestDistance << " cells away\n";
    return kNotFound;
}

}  // namespace tessaron::app
