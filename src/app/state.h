// Everything a run keeps from pass to pass, owned by the application and passed by reference to
// the subsystems that use it.
#pragma once

#include <cstdint>

#include "editor/edit_history.h"
#include "editor/map_tools.h"
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
    // The left button is down, as the editor pass that read the mouse found it.
    bool leftButtonHeld = false;
    runtime::Event passEvent;
};

struct GameState {
    level::Level level;
    LoopState loop;
    game::Player player;
    editor::PaintSettings paint;
    // The level's edits for undo and redo; it forgets them when the element list is replaced.
    editor::EditHistory history;
    // Strokes, rectangles and regions under way, the selection and the clipboard. The
    // clipboard outlives the level, so that regions can be copied from one level to another.
    editor::MapTools tools;
    render::RenderState render;
};

}  // namespace tessaron::app
