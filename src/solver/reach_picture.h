// The reach picture: the whole level drawn small, as the editor draws it, with every cell the
// ball got to tinted, so that a level's author sees at a glance where the ball can go and where
// it never came.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "level/level.h"
#include "runtime/screen.h"
#include "solver/search.h"

namespace tessaron::solver {

// One pixel of the picture for 4 x 4 pixels of the screen: 10 x 10 pixels a cell.
inline constexpr int kReachScale = 4;

// Writes the level (without grid) at kReachScale into a PNG file, the cells in `reach` tinted
// and `mark` (the cell nearest the goal when the goal was not reached) framed. An empty string
// when the file is written, else why not; a file that cannot be written is left as it was. The
// screen is the drawing surface and must hold the level's pictures.
std::string WriteReachPicture(const level::Level& level, const Reach& reach,
                              const std::optional<Cell>& mark, runtime::PlayScreen& screen,
                              const std::filesystem::path& file);

}  // namespace tessaron::solver
