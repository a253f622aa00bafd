// tessaron-level check: the level's mistakes, one "COLUMN ROW: text" line each.
#include <iostream>
#include <string>

#include "game/level_check.h"
#include "level_tool/commands.h"

namespace tessaron::level_tool {

namespace {

// Exit status of a check that found something.
constexpr int kFound = 1;

}  // namespace

int Check(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "tessaron-level: usage: tessaron-level check FILE\n";
        return kFileError;
    }
    level::Level level;
    if (!ReadLevel(argv[2], level)) {
        return kFileError;
    }
    const std::vector<game::Finding> findings = game::CheckLevel(level);
    for (const game::Finding& finding : findings) {
        std::cout << game::FindingLine(finding) << '\n';
    }
    std::cout.flush();
    return findings.empty() ? 0 : kFound;
}

}  // namespace tessaron::level_tool
