// tessaron-level: the game's level files for authors and scripts.
//
//   tessaron-level dump FILE        prints the level as the game reads it, as JSON
//   tessaron-level pack JSON FILE   writes FILE as the game's level writer writes that state
//   tessaron-level render FILE PNG [--dir DIR] [--no-grid] [--start] [--values N] [--scale K]
//                                   draws the whole level as the editor shows it
//   tessaron-level check FILE [--search S] [--dir DIR]   prints the level's mistakes, one line each
//
// Exit status 0 on success, 1 for a wrong command line (and for a check that finds something),
// 2 for a file that cannot be read or written or for wrong options of render and check (with
// one line on stderr saying why).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "level/level.h"
#include "level/level_file.h"
#include "level/level_json.h"
#include "level_tool/commands.h"
#include "runtime/files.h"

namespace tessaron::level_tool {

bool ReadLevel(const std::string& file, level::Level& level) {
    const runtime::GameFolder here(std::filesystem::current_path());
    runtime::Files files(here);
    const std::string problem = level::LevelFileProblem(files, file);
    if (!problem.empty()) {
        std::cerr << "tessaron-level: " << file << ": " << problem << '\n';
        return false;
    }
    // A fresh level, as at program start: the file's own start offset is taken.
    level = level::Level{};
    level.levelFileName = file;
    if (level::ReadLevelFile(level, files) != level::LoadResult::Loaded) {
        std::cerr << "tessaron-level: " << file << ": the file cannot be read as a level\n";
        return false;
    }
    return true;
}

}  // namespace tessaron::level_tool

namespace {

using namespace tessaron;
using level_tool::kFileError;

constexpr int kUsageError = 1;
// The JSON of a level of 100 000 cells takes about 30 MB.
constexpr std::size_t kMaxJsonBytes = std::size_t{128} << 20;

void PrintUsage(std::ostream& out) {
    out << "Usage:\n"
           "  tessaron-level dump FILE        print the level FILE as the game reads it, as "
           "JSON\n"
           "  tessaron-level pack JSON FILE   write the level described by JSON to FILE as the "
           "game saves it\n"
           "\n"
           "The JSON is one object: \"viewX\", \"viewY\" (the start view offset), "
           "\"levelWidth\",\n"
           "\"levelHeight\" and \"elements\", an array in list order of objects with the "
           "fifteen\n"
           "record fields \"background\", \"homeColumn\", \"homeRow\", \"kind\", \"column\", "
           "\"row\",\n"
           "\"motion\", \"link\", \"travelled\", \"length\", \"speedX\", \"speedY\", "
           "\"pauseCount\",\n"
           "\"pause1\", \"pause2\".\n"
           "\n"
           "  tessaron-level render FILE PNG [--dir DIR] [--no-grid] [--start] [--values N] "
           "[--scale K]\n"
           "      draw the whole level FILE as the editor shows it into PNG, 40 x 40 pixels a "
           "cell:\n"
           "      backdrops, elements, the grid (unless --no-grid), with --start the ball, "
           "faded,\n"
           "      where it starts, and with --values N the value display N (1 link numbers,\n"
           "      2 lengths, 3 speeds, 4 pauses); --scale K (1 to 40) divides the size by K;\n"
           "      DIR is the game folder whose pictures are used\n"
           "  tessaron-level check FILE [--search SECONDS] [--dir DIR]\n"
           "      print the level's mistakes, one \"COLUMN ROW: text\" line each (0 0 for the\n"
           "      level as a whole); exit 0 when there are none, 1 when there are. --search:\n"
           "      the automatic player plays the level for up to SECONDS and adds a cell from\n"
           "      which the ball falls out of the level and the disks after which it found no\n"
           "      way to the goal; DIR is the game folder whose pictures it tests contacts on\n";
}

int Dump(const std::string& file) {
    level::Level level;
    if (!level_tool::ReadLevel(file, level)) {
        return kFileError;
    }
    std::cout << level::LevelToJsonText(level);
    std::cout.flush();
    return std::cout ? 0 : kFileError;
}

int Pack(const std::string& jsonFile, const std::string& file) {
    std::ifstream in(jsonFile, std::ios::binary);
    if (!in) {
        std::cerr << "tessaron-level: " << jsonFile << ": the file cannot be opened\n";
        return kFileError;
    }
    // Read in pieces up to a bound that the JSON of the largest level stays well below, so that
    // an endless file (/dev/zero, a pipe) is refused instead of taking all memory.
    std::string text;
    // A file of known size is read into room made once: growing the text as it comes would
    // hold the old and the new copy at once, the largest share of the tool's peak memory.
    std::error_code sizeUnknown;
    const std::uintmax_t size = std::filesystem::file_size(jsonFile, sizeUnknown);
    if (!sizeUnknown && size <= kMaxJsonBytes) {
        text.reserve(static_cast<std::size_t>(size) + 1);
    }
    std::vector<char> piece(1 << 16);
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        text.append(piece.data(), static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxJsonBytes) {
            std::cerr << "tessaron-level: " << jsonFile << ": longer than " << (kMaxJsonBytes >> 20)
                      << " MiB, more than any level needs\n";
            return kFileError;
        }
    }
    level::Level level;
    std::string error;
    if (!level::LevelFromJsonText(text, level, error)) {
        std::cerr << "tessaron-level: " << jsonFile << ": " << error << '\n';
        return kFileError;
    }
    const bool tooWide = level.levelWidth > level::level_file::kMaxColumns;
    const bool tooLarge = static_cast<std::int64_t>(level.levelWidth) * level.levelHeight >
                          level::level_file::kMaxCells;
    // Elements that do not cover the level, each cell once, would make a file that reads back
    // as another level.
    if (const std::string problem = level::CellCoverProblem(level);
        !tooWide && !tooLarge && !problem.empty()) {
        std::cerr << "tessaron-level: " << jsonFile << ": " << problem << '\n';
        return kFileError;
    }
    const runtime::GameFolder here(std::filesystem::current_path());
    runtime::Files files(here);
    std::string problem;
    if (level::WriteLevelFile(level, files, file, &problem) != level::SaveResult::Saved) {
        std::cerr << "tessaron-level: " << file << ": the level cannot be written there";
        if (tooWide) {
            std::cerr << " (more than " << level::level_file::kMaxColumns << " columns)";
        } else if (tooLarge) {
            std::cerr << " (more than " << level::level_file::kMaxCells << " cells)";
        } else {
            std::cerr << ": " << problem;
        }
        std::cerr << '\n';
        return kFileError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "dump" && argc == 3) {
        return Dump(argv[2]);
    }
    if (command == "pack" && argc == 4) {
        return Pack(argv[2], argv[3]);
    }
    if (command == "render") {
        return level_tool::Render(argc, argv);
    }
    if (command == "check") {
        return level_tool::Check(argc, argv);
    }
    if (command == "help" || command == "--help" || command == "-h") {
        PrintUsage(std::cout);
        return 0;
    }
    PrintUsage(std::cerr);
    return kUsageError;
}
