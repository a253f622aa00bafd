// The level tool's commands beyond dump and pack, and what they share.
#pragma once

#include <string>

#include "level/level.h"

namespace tessaron::level_tool {

// A file that cannot be read or written, or options the command cannot take.
inline constexpr int kFileError = 2;

// Reads a level file as the game reads its first level (with the file's own start offset).
// False, with one line on standard error saying why, when the file is no level.
bool ReadLevel(const std::string& file, level::Level& level);

// tessaron-level render FILE PNG [--dir DIR] [--no-grid] [--start] [--values N] [--scale K]
int Render(int argc, char** argv);

// tessaron-level check FILE
int Check(int argc, char** argv);

}  // namespace tessaron::level_tool
