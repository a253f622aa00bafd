// Everything a run keeps from pass to pass, owned by the application and passed by reference to
// the subsystems that use it.
#pragma once

#include <cstdint>

#include "editor/edit_history.h"
#include "editor/map_tools.h"
#include "editor/paint_settings.h"
#include "play/game.h"
#include "runtime/screen.h"

namespace tessaron::app {

// The game in play, and beside it what only the program keeps: the editor's settings, history
// and map tools, and the event of the pass.
struct GameState : play::Game {
    editor::PaintSettings paint;
    // The level's edits for undo and redo; it forgets them when the element list is replaced.
    editor::EditHistory history;
    // Strokes, rectangles and regions under way, the selection and the clipboard. The
    // clipboard outlives the level, so that regions can be copied from one level to another.
    editor::MapTools tools;
    // The event the pass took.
    runtime::Event passEvent;
    // The left button is down, as the last editor pass that read the mouse found it.
    bool leftButtonHeld = false;
};

}  // namespace tessaron::app
