// The main window with its toolbar and the side panel's controls. What the controls do, and how
// their state becomes the paint settings, is the editor's.
#pragma once

#include "editor/controls.h"
#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::app {

namespace panel {
inline constexpr int kMainWindow = 2;
inline constexpr int kMainWindowWidth = 1280;
inline constexpr int kMainWindowHeight = 768;
// The play screen sits right of the 256-pixel side panel.
inline constexpr int kSidePanelWidth = 256;

// Toolbar buttons.
inline constexpr int kNewLevelButton = 1;
inline constexpr int kLoadButton = 2;
inline constexpr int kSaveButton = 3;
inline constexpr int kUndoButton = 4;
inline constexpr int kRedoButton = 5;

// The side panel's controls, by the numbers the editor reads and commands them with.
using namespace editor::control;
}  // namespace panel

// Opens the main window, 1280 x 768 at (-256, 0) so that only the play screen shows (a resizable
// one where the window manager puts it), and creates the toolbar and every side-panel control in
// their order with their initial states; the preset list is filled right after it is created.
// The main window is left the current window.
bool BuildMainWindow(runtime::Windows& windows, runtime::DirectoryListing& listing,
                     runtime::WindowStyle style = runtime::WindowStyle::Borderless);

// Each row of the element list shows its element's picture beside its name, once the pictures
// are loaded; a picture that could not be loaded leaves its row as text.
void ShowElementPictures(runtime::Windows& windows, const runtime::PlayScreen& screen);

}  // namespace tessaron::app
