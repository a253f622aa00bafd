// The main window's side panel: the toolbar and the editor's controls with their numbers, and
// the read-out that turns the panel's state into the paint settings every editor pass.
#pragma once

#include "editor/paint_settings.h"
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

// Controls.
inline constexpr int kFrame = 99;
inline constexpr int kValueDisplay = 90;
inline constexpr int kElementList = 1000;
inline constexpr int kAir = 100;
inline constexpr int kWater = 200;
inline constexpr int kSpeedLabel = 20;
inline constexpr int kSpeedUp = 28;
inline constexpr int kSpeedLeft = 24;
inline constexpr int kSpeedRight = 26;
inline constexpr int kSpeedDown = 22;
inline constexpr int kLengthLabel = 30;
inline constexpr int kLength = 31;
inline constexpr int kPause1Label = 40;
inline constexpr int kPause1 = 41;
inline constexpr int kPause2Label = 42;
inline constexpr int kPause2 = 43;
inline constexpr int kLinkLabel = 10;
inline constexpr int kLink = 11;
inline constexpr int kSavePresetButton = 51;
inline constexpr int kPresetLabel = 50;
inline constexpr int kPresetList = 52;
inline constexpr int kBrushTrackBar = 61;
inline constexpr int kBrushField = 62;
inline constexpr int kApplyAll = 2000;
inline constexpr int kApplyKind = 2001;
inline constexpr int kApplyBackground = 2002;
inline constexpr int kApplySpeed = 2003;
inline constexpr int kApplyLength = 2004;
inline constexpr int kApplyPause1 = 2005;
inline constexpr int kApplyPause2 = 2006;
inline constexpr int kApplyLink = 2007;

// The preset directory, relative to the game folder.
inline constexpr const char* kPresetDirectory = "LEVEL\\Werte";
inline constexpr int kPresetListing = 1;
}  // namespace panel

// Opens the main window at (-256, 0), so that only the play screen shows, and creates the
// toolbar and every side-panel control in their order with their initial states; the preset
// list is filled right after it is created. The main window is left the current window.
bool BuildMainWindow(runtime::Windows& windows, runtime::DirectoryListing& listing);

// Refills the preset list from the preset directory: every file, named without its last four
// characters, in the order the listing gives.
void RefillPresetList(runtime::Windows& windows, runtime::DirectoryListing& listing);

// Reads the panel into the paint settings and greys the value controls whose apply box is
// unchecked.
void ReadSidePanel(runtime::Windows& windows, editor::PaintSettings& paint);

}  // namespace tessaron::app
