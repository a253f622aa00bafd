// The pause menu "PAUSE": four buttons over the middle of the play screen. While it is open the
// main loop stands still and the keyboard is not read. The goal screen is a window of the same
// kind (RunButtonWindow).
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>

#include "runtime/screen.h"

namespace tessaron::app {

namespace pause_menu {
inline constexpr int kWindow = 5;
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

// A window of push buttons over the play screen, run as the pause menu runs: the back buffer is
// shown once, `build` opens window `window` with its controls, the pads move between its
// buttons, and everything but a click on one of `buttons` is dropped. The window is closed
// again before this returns. The button clicked, or 0 when the event source gave up.
int RunButtonWindow(runtime::Windows& windows, runtime::PlayScreen& screen, int window,
                    std::initializer_list<int> buttons, const std::function<void()>& build,
                    const PauseEventSource& nextEvent);

}  // namespace tessaron::app
