// Everything a run keeps from pass to pass, owned by the application and passed by reference to
// the subsystems that use it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "editor/edit_history.h"
#include "editor/map_tools.h"
#include "editor/paint_settings.h"
#include "play/game.h"
#include "render/overview.h"
#include "runtime/screen.h"

namespace tessaron::app {

// The editor's ways about a large level: the overview, the map dragged with the middle button,
// and play tested from a cell.
struct NavigationState {
    bool overviewOpen = false;
    render::OverviewLayout overview;
    // Drawn when the open overview is first shown; empty until then.
    std::vector<runtime::Pixel> overviewPixels;
    // While the middle button drags the map: where the mouse and the view were at the press.
    bool dragging = false;
    std::int32_t dragMouseX = 0;
    std::int32_t dragMouseY = 0;
    float dragViewX = 0.0f;
    float dragViewY = 0.0f;
    // While play runs as a test from a cell: the view the author was editing at.
    std::optional<render::ViewOffset> editingView;
};

// The game in play, and beside it what only the program keeps: the editor's settings, history
// and map tools, its ways about the level, and the event of the pass.
struct GameState : play::Game {
    editor::PaintSettings paint;
    // The level's edits for undo and redo; it forgets them when the element list is replaced.
    editor::EditHistory history;
    // Strokes, rectangles and regions under way, the selection and the clipboard. The
    // clipboard outlives the level, so that regions can be copied from one level to another.
    editor::MapTools tools;
    NavigationState navigation;
    // The event the pass took.
    runtime::Event passEvent;
    // The left button is down, as the last editor pass that read the mouse found it.
    bool leftButtonHeld = false;
};

}  // namespace tessaron::app
