// Everything a run keeps from pass to pass, owned by the application and passed by reference to
// the subsystems that use it.
#pragma once

#include <cstdint>

#include "editor/edit_history.h"
#include "editor/paint_settings.h"
#include "play/game.h"
#include "runtime/screen.h"

namespace tessaron::app {

// The game in play, and beside it what only the program keeps: the editor's settings and
// history, and the event of the pass.
struct GameState : play::Game {
    editor::PaintSettings paint;
    // The level's edits for undo and redo; it forgets them when the element list is replaced.
    editor::EditHistory history;
    // The event the pass took.
    runtime::Event passEvent;
};

}  // namespace tessaron::app
