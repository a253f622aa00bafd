// tessaron-level render: the whole level as one PNG, drawn by the editor's own drawing code on
// an off-screen play screen.
#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "level_tool/commands.h"
#include "render/level_picture.h"
#include "render/pictures.h"
#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::level_tool {

namespace {

constexpr int kLargestValueDisplay = 4;
constexpr int kLargestScale = 40;

struct RenderOptions {
    std::string file;
    std::string png;
    std::optional<std::filesystem::path> dir;
    render::LevelPictureOptions picture;
};

int Refuse(const std::string& reason) {
    std::cerr << "tessaron-level: " << reason << '\n';
    return kFileError;
}

// A whole number from `lowest` to `highest`, written in decimal digits only.
std::optional<int> WholeNumber(std::string_view text, int lowest, int highest) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        text.front() == '-' || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

// Reads the command line after "render"; an empty string when it is complete, else the reason.
std::string ReadOptions(int argc, char** argv, RenderOptions& options) {
    std::vector<std::string> positional;
    for (int i = 2; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool takesValue =
            argument == "--dir" || argument == "--values" || argument == "--scale";
        if (takesValue && i + 1 >= argc) {
            return std::string(argument) + " needs a value";
        }
        if (argument == "--dir") {
            options.dir = std::filesystem::path(argv[++i]);
        } else if (argument == "--no-grid") {
            options.picture.grid = render::GridOverlay::Hidden;
        } else if (argument == "--start") {
            options.picture.startMarker = true;
        } else if (argument == "--values") {
            const std::optional<int> n = WholeNumber(argv[++i], 0, kLargestValueDisplay);
            if (!n) {
                return "--values takes 0 to 4 (1 link numbers, 2 lengths, 3 speeds, 4 pauses), "
                       "not \"" +
                       std::string(argv[i]) + "\"";
            }
            options.picture.valueDisplay = *n;
        } else if (argument == "--scale") {
            const std::optional<int> k = WholeNumber(argv[++i], 1, kLargestScale);
            if (!k) {
                return "--scale takes a whole number from 1 to 40, not \"" + std::string(argv[i]) +
                       "\"";
            }
            options.picture.scale = *k;
        } else if (argument.starts_with("--")) {
            return "unknown option " + std::string(argument);
        } else {
            positional.emplace_back(argument);
        }
    }
    if (positional.size() != 2) {
        return "usage: tessaron-level render FILE PNG [--dir DIR] [--no-grid] [--start] "
               "[--values N] [--scale K]";
    }
    options.file = positional[0];
    options.png = positional[1];
    return {};
}

}  // namespace

int Render(int argc, char** argv) {
    RenderOptions options;
    if (const std::string reason = ReadOptions(argc, argv, options); !reason.empty()) {
        return Refuse(reason);
    }
    level::Level level;
    if (!ReadLevel(options.file, level)) {
        return kFileError;
    }
    if (render::LevelPictureSize(level).width == 0) {
        return Refuse(options.file + ": the level has no cells to draw");
    }

    const runtime::GameFolder folder(options.dir ? *options.dir : runtime::ProgramFolder(argv));
    runtime::Machine machine(folder);
    // The toolkit reads its own options from a command line; it is given the program's name only.
    int toolkitArgc = 1;
    if (!machine.StartScreen({/*headless=*/true, &toolkitArgc, argv}) ||
        !machine.StartBlendedSprites()) {
        return Refuse("the off-screen play screen cannot start");
    }
    int status = 0;
    {
        runtime::PlayScreen screen(machine);
        const std::vector<render::UnloadedPicture> missing = render::LoadPictures(screen);
        if (!missing.empty()) {
            status = Refuse(folder.Root().string() + ": the picture " +
                            std::string(missing.front().path) + " cannot be loaded (" +
                            missing.front().problem + "; is it the game folder?)");
        } else if (!render::LoadLabelFont(screen)) {
            status = Refuse("the label font cannot be loaded");
        } else if (const std::string problem =
                       render::WriteLevelPicture(level, options.picture, screen, options.png);
                   !problem.empty()) {
            status = Refuse(options.png + ": " + problem);
        }
    }
    machine.End();
    return status;
}

}  // namespace tessaron::level_tool
