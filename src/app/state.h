// Everything a run keeps from pass to pass, owned by the application and passed by reference to
// the subsystems that use it.
#pragma once

#include <cstdint>

#include "editor/edit_history.h"
#include "editor/paint_settings.h"
#include "game/player.h"
#include "level/level.h"
#include "render/render.h"
#include "runtime/screen.h"

namespace tessaron::app {

struct LoopState {
    level::Mode mode = level::Mode::Play;
    std::int32_t tick = 0;  // 0..3599
    // Play-screen pixels: window mouse x - 256, window mouse y; refreshed at the end of every
    // editor pass.
    std::int32_t mouseX = 0;
    std::int32_t mouseY = 0;
    runtime::Event passEvent;
};

struct GameState {
    level::Level level;
    LoopState loop;
    game::Player player;
    editor::PaintSettings paint;
    // The level's edits for undo and redo; it forgets them when the element list is replaced.
    editor::EditHistory history;
    render::RenderState render;
};

}  // namespace tessaron::app
