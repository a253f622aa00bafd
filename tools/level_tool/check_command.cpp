// tessaron-level check: the level's mistakes, one "COLUMN ROW: text" line each. With --search,
// the automatic player also plays the level for a while and names what it found: a cell from
// which the ball falls out of the level, and a disk after which it found no way to the goal.
#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "game/level_check.h"
#include "level_tool/commands.h"
#include "render/pictures.h"
#include "runtime/screen.h"
#include "solver/search.h"

namespace tessaron::level_tool {

namespace {

// Exit status of a check that found something.
constexpr int kFound = 1;
constexpr double kMostSeconds = 3600.0;

struct CheckOptions {
    std::string file;
    std::optional<double> searchSeconds;
    std::optional<std::filesystem::path> dir;
};

std::string ReadOptions(int argc, char** argv, CheckOptions& options) {
    std::vector<std::string> positional;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if ((argument == "--search" || argument == "--dir") && i + 1 >= argc) {
            return argument + " needs a value";
        }
        if (argument == "--search") {
            const std::string value = argv[++i];
            int seconds = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), seconds);
            if (error != std::errc{} || end != value.data() + value.size() || seconds < 1 ||
                seconds > kMostSeconds) {
                return "--search takes whole seconds from 1 to 3600";
            }
            options.searchSeconds = seconds;
        } else if (argument == "--dir") {
            options.dir = std::filesystem::path(argv[++i]);
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 1) {
        return "usage: tessaron-level check FILE [--search SECONDS] [--dir DIR]";
    }
    options.file = positional[0];
    return {};
}

std::string At(const solver::Cell& cell) {
    return std::to_string(cell.column) + " " + std::to_string(cell.row) + ": ";
}

// The search's findings as lines; false, with the reason on standard error, when the pictures
// the game tests its contacts on cannot be loaded.
bool SearchFindings(const level::Level& level, double seconds, const std::filesystem::path& folder,
                    char** argv, std::vector<std::string>& lines) {
    const runtime::GameFolder game(folder);
    runtime::Machine machine(game);
    int toolkitArgc = 1;
    if (!machine.StartScreen({/*headless=*/true, &toolkitArgc, argv})) {
        std::cerr << "tessaron-level: the off-screen play screen cannot start\n";
        return false;
    }
    bool ok = true;
    {
        runtime::PlayScreen screen(machine);
        const std::vector<render::UnloadedPicture> missing = render::LoadPictures(screen);
        if (!missing.empty()) {
            std::cerr << "tessaron-level: " << folder.string() << ": the picture "
                      << missing.front().path << " cannot be loaded (" << missing.front().problem
                      << "; is it the game folder?)\n";
            ok = false;
        } else {
            solver::World start;
            start.state.level = level;
            start.state.loop.mode = level::Mode::Play;
            solver::SearchSettings settings;
            settings.seconds = seconds;
            settings.threads =
                static_cast<std::int32_t>(std::max(1u, std::thread::hardware_concurrency()));
            solver::Search search(start, solver::Machines{screen.Masks()}, settings);
            const solver::SearchResult result = search.Run([](const solver::SearchProgress&) {});
            if (result.leftFrom) {
                lines.push_back(At(*result.leftFrom) +
                                "the ball falls out of the level from this cell (found by the "
                                "search)");
            }
            for (const solver::Cell& disk : result.deadEnds) {
                lines.push_back(At(disk) +
                                "Diskette: after taking it the search found no way to the goal");
            }
        }
    }
    machine.End();
    return ok;
}

}  // namespace

int Check(int argc, char** argv) {
    CheckOptions options;
    if (const std::string reason = ReadOptions(argc, argv, options); !reason.empty()) {
        std::cerr << "tessaron-level: " << reason << '\n';
        return kFileError;
    }
    level::Level level;
    if (!ReadLevel(options.file, level)) {
        return kFileError;
    }
    std::vector<std::string> lines;
    for (const game::Finding& finding : game::CheckLevel(level)) {
        lines.push_back(game::FindingLine(finding));
    }
    if (options.searchSeconds &&
        !SearchFindings(level, *options.searchSeconds,
                        options.dir ? *options.dir : runtime::ProgramFolder(argv), argv, lines)) {
        return kFileError;
    }
    for (const std::string& line : lines) {
        std::cout << line << '\n';
    }
    std::cout.flush();
    return lines.empty() ? 0 : kFound;
}

}  // namespace tessaron::level_tool
