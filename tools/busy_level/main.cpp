// tessaron-busy-level WIDTH HEIGHT SEED FILE: writes a busy level (see busy_level.h) as a level
// file, for the benchmarks and for trying the game on a crowded level.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "busy_level.h"
#include "level/level_file.h"
#include "runtime/files.h"

int main(int argc, char** argv) {
    using namespace tessaron;
    if (argc != 5) {
        std::cerr << "Usage: tessaron-busy-level WIDTH HEIGHT SEED FILE\n";
        return 1;
    }
    const long width = std::strtol(argv[1], nullptr, 10);
    const long height = std::strtol(argv[2], nullptr, 10);
    const unsigned long seed = std::strtoul(argv[3], nullptr, 10);
    if (width < 1 || width > level::level_file::kMaxColumns || height < 1 ||
        width * height > level::level_file::kMaxCells) {
        std::cerr << "tessaron-busy-level: at most " << level::level_file::kMaxColumns
                  << " columns and " << level::level_file::kMaxCells << " cells\n";
        return 1;
    }
    level::Level level = busy_level::MakeBusyLevel(static_cast<std::int32_t>(width),
                                                   static_cast<std::int32_t>(height),
                                                   static_cast<std::uint32_t>(seed));
    const runtime::GameFolder here(std::filesystem::current_path());
    runtime::Files files(here);
    if (level::WriteLevelFile(level, files, argv[4]) != level::SaveResult::Saved) {
        std::cerr << "tessaron-busy-level: " << argv[4] << " cannot be written\n";
        return 2;
    }
    return 0;
}
