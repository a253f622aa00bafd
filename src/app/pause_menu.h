// The pause menu "PAUSE": four buttons over the middle of the play screen. While it is open the
// main loop stands still and the keyboard is not read.
#pragma once

#include <functional>
#include <optional>

#include "runtime/screen.h"

namespace tessaron::app {

namespace pause_menu {
inline constexpr int kWindow = 5;
// The window's inner size.
inline constexpr int kWidth = 200;
inline constexpr int kHeight = 110;
inline constexpr const char* kTitle = "PAUSE";
inline constexpr int kContinueButton = 1;
inline constexpr int kSavePointButton = 2;
inline constexpr int kSwitchModeButton = 3;
inline constexpr int kQuitButton = 4;
}  // namespace pause_menu

enum class PauseChoice {
    Continue,       // "WEITER SPIELEN"
    LastSavePoint,  // "ZUM LETZTEN SPEICHERPUNKT"
    SwitchMode,     // "WECHSELN : EDITOR<>SPIEL"
    Quit,           // "BEENDEN"
    Abandoned,      // the event source gave up (a scripted run ran out of input)
};

// Hands the menu its next event; the menu makes its window current and active before each call.
// An empty result abandons the menu.
using PauseEventSource = std::function<std::optional<runtime::Event>()>;

// Shows the back buffer once, opens the menu and waits for one of its buttons. The window is
// closed again before this returns (also for "BEENDEN"); the caller carries out the choice.
PauseChoice RunPauseMenu(runtime::Windows& windows, runtime::PlayScreen& screen,
                         const PauseEventSource& nextEvent);

}  // namespace tessaron::app
