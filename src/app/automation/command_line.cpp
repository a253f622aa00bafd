#include "app/automation/command_line.h"

#include <charconv>
#include <set>
#include <string_view>

namespace tessaron::app {

namespace {

// Reads a whole decimal number; false for anything else (signs, spaces, trailing letters,
// overflow).
template <typename Number>
bool ReadNumber(std::string_view text, Number& value) {
    if (text.empty() || text.front() == '+' || text.front() == '-') {
        return false;
    }
    const char* end = text.data() + text.size();
    auto [rest, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && rest == end;
}

}  // namespace

std::string Usage() {
    return "Usage:\n"
           "  tessaron [--dir DIR] [--record FILE] [--seed S] [--trace FILE]\n"
           "      play and edit levels (the game folder: the program's own, or DIR)\n"
           "  tessaron --headless --script FILE [--dir DIR] [--passes N] [--seed S]\n"
           "           [--trace FILE] [--state FILE] [--screenshot FILE] [--window-shot FILE]\n"
           "      a scripted run without a display\n"
           "  tessaron --solve LEVEL --replay OUT [--dir DIR] [--seconds S] [--seed S]\n"
           "           [--reach PNG]\n"
           "      play a level by itself until it takes the goal, and write the run\n"
           "  tessaron --help\n"
           "\n"
           "  --dir DIR            the game folder (BMP/, WAV/, LEVEL/, Diskette.txt)\n"
           "  --record FILE        write the run as a script that --script replays\n"
           "  --seed S             the random seed\n"
           "  --trace FILE         a CSV line of the game's values at the end of every pass\n"
           "  --script FILE        the input of a scripted run\n"
           "  --passes N           passes to run after start-up (default 0)\n"
           "  --state FILE         the game's state at the end, as JSON\n"
           "  --screenshot FILE    the last frame, as PNG\n"
           "  --window-shot FILE   the whole window with its side panel, as PNG\n"
           "  --seconds S          how long --solve searches (default 60)\n"
           "  --reach PNG          the level with the cells --solve reached\n"
           "\n"
           "Exit status: 0 done; 1 start-up failed, or --solve found no run; 2 a bad command\n"
           "line, script or output file; 3 a window waited for input the script does not\n"
           "give; 128 + the signal for a run ended by SIGINT or SIGTERM (its trace and\n"
           "recording are written first).\n";
}

CommandLine ParseCommandLine(int argc, char** argv) {
    CommandLine result;
    Options& options = result.options;
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        return result;
    };

    // Options that take a value, and where it goes.
    const std::set<std::string_view> withValue = {
        "--dir",         "--script", "--passes", "--seed",   "--trace",   "--state", "--screenshot",
        "--window-shot", "--record", "--solve",  "--replay", "--seconds", "--reach",
    };
    std::set<std::string> seen;

    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i] ? argv[i] : "";
        if (argument == "--help" || argument == "-h") {
            result.help = true;
            return result;
        }
    }

    for (int i = 1; i < argc; ++i) {
        std::string_view argument = argv[i] ? argv[i] : "";
        std::string_view name = argument;
        std::string_view value;
        bool hasValue = false;
        if (auto equals = argument.find('=');
            argument.starts_with("--") && equals != std::string_view::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        if (name == "--headless") {
            if (hasValue) {
                return fail("--headless takes no value");
            }
        } else if (withValue.contains(name)) {
            if (!hasValue) {
                if (i + 1 >= argc || argv[i + 1] == nullptr) {
                    return fail(std::string(name) + " needs a value");
                }
                value = argv[++i];
            }
            if (value.empty()) {
                return fail(std::string(name) + " needs a value");
            }
        } else {
            return fail("unknown option: " + std::string(argument));
        }
        if (!seen.insert(std::string(name)).second) {
            return fail(std::string(name) + " is given twice");
        }

        if (name == "--headless") {
            options.headless = true;
        } else if (name == "--dir") {
            options.gameDir = std::string(value);
        } else if (name == "--script") {
            options.script = std::string(value);
        } else if (name == "--passes") {
            std::int64_t passes = 0;
            if (!ReadNumber(value, passes)) {
                return fail("--passes needs a whole number of 0 or more, not \"" +
                            std::string(value) + "\"");
            }
            options.passes = passes;
        } else if (name == "--seed") {
            std::uint32_t seed = 0;
            if (!ReadNumber(value, seed)) {
                return fail("--seed needs a whole number from 0 to 4294967295, not \"" +
                            std::string(value) + "\"");
            }
            options.seed = seed;
        } else if (name == "--trace") {
            options.trace = std::string(value);
        } else if (name == "--state") {
            options.state = std::string(value);
        } else if (name == "--screenshot") {
            options.screenshot = std::string(value);
        } else if (name == "--window-shot") {
            options.windowShot = std::string(value);
        } else if (name == "--record") {
            options.record = std::string(value);
        } else if (name == "--solve") {
            options.solve = std::string(value);
        } else if (name == "--replay") {
            options.replay = std::string(value);
        } else if (name == "--seconds") {
            std::int64_t seconds = 0;
            if (!ReadNumber(value, seconds) || seconds < 1) {
                return fail("--seconds needs a whole number of 1 or more, not \"" +
                            std::string(value) + "\"");
            }
            options.seconds = seconds;
        } else if (name == "--reach") {
            options.reach = std::string(value);
        }
    }

    if (!options.solve.empty()) {
        if (options.replay.empty()) {
            return fail("--solve needs --replay FILE");
        }
        for (std::string_view other : {"--headless", "--script", "--passes", "--trace", "--state",
                                       "--screenshot", "--window-shot", "--record"}) {
            if (seen.contains(std::string(other))) {
                return fail(std::string(other) + " is not for --solve");
            }
        }
        return result;
    }
    for (std::string_view solveOnly : {"--replay", "--seconds", "--reach"}) {
        if (seen.contains(std::string(solveOnly))) {
            return fail(std::string(solveOnly) + " needs --solve");
        }
    }

    if (options.headless) {
        if (options.script.empty()) {
            return fail("--headless needs --script FILE");
        }
        if (!options.record.empty()) {
            return fail("--record is for interactive runs, not with --headless");
        }
    } else {
        // These only make sense where a script drives the run.
        for (std::string_view headlessOnly :
             {"--script", "--passes", "--state", "--screenshot", "--window-shot"}) {
            if (seen.contains(std::string(headlessOnly))) {
                return fail(std::string(headlessOnly) + " needs --headless");
            }
        }
    }
    return result;
}

}  // namespace tessaron::app
