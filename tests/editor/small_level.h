// The small level the painting and history tests paint on.
#pragma once

#include "level/level.h"

namespace tessaron::editor::testing {

// A 10 x 6 level seen from view (0, 0): cell (c, r) lies under mouse (40c, 40r).
inline level::Level SmallLevel() {
    level::Level level;
    level.levelWidth = 10;
    level.levelHeight = 6;
    level.viewX = 0.0f;
    level.viewY = 0.0f;
    level::BuildFreshGrid(level.elements, 10, 6);
    return level;
}

}  // namespace tessaron::editor::testing
