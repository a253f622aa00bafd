// The player's progress: for every level file whose goal was taken, the most points and the
// fewest passes it was taken with. Kept as a small JSON file in the player's data folder (where
// the save point is), written as every file of the game is: a new file takes the old one's place
// only when it is complete.
//
//     {"levels": {"LEVEL/Anfang.TXT": {"passes": 213, "points": 97}}}
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/files.h"

namespace tessaron::app {

inline constexpr const char* kProgressFile = "Fortschritt.json";

struct LevelBest {
    std::int32_t points = 0;
    std::int64_t passes = 0;
};

struct GoalRecord {
    LevelBest best;         // the best so far, the goal just taken included
    bool first = false;     // the level's goal was taken for the first time
    bool improved = false;  // more points or fewer passes than ever before
};

// The name a level file goes by in the progress file: its path within the data folder where it
// lies there ("LEVEL/Anfang.TXT"), else its whole path, with "/" between folders.
std::string ProgressKey(const runtime::GameFolder& folder, const std::string& levelFile);

// Notes a goal taken in a level file with these points after this many passes, and writes the
// progress file where the result is a new best. The best so far comes back; none when the
// progress file exists but cannot be read as one, which is then left as it is. `problem` is
// empty, or the text for the player of what could not be read or written, and why.
std::optional<GoalRecord> NoteGoal(runtime::Files& files, const runtime::GameFolder& folder,
                                   const std::string& levelFile, std::int32_t points,
                                   std::int64_t passes, std::string& problem);

}  // namespace tessaron::app
