#include "app/pause_menu.h"

#include <algorithm>

namespace tessaron::app {

int RunButtonWindow(runtime::Windows& windows, runtime::PlayScreen& screen, int window,
                    std::initializer_list<int> buttons, const std::function<void()>& build,
                    const PauseEventSource& nextEvent) {
    // What the previous pass drew becomes visible under the window.
    screen.Show();
    build();
    windows.EnablePadNavigation(window);

    for (;;) {
        // The window takes the focus back on every turn, whatever the user clicked meanwhile.
        windows.Use(window);
        windows.Activate();
        const std::optional<runtime::Event> event = nextEvent();
        if (!event) {
            windows.Close(window);
            return 0;
        }
        // Everything but a click on one of the buttons is dropped: the close box, the main
        // window's clicks and controls, toolbar presses (whose numbers 1 to 5 overlap the pause
        // menu's). Control numbers are unique across windows, so the number names our button.
        if (event->code == runtime::EventCode::Control &&
            std::find(buttons.begin(), buttons.end(), event->number) != buttons.end()) {
            windows.Close(window);
            return event->number;
        }
    }
}

PauseChoice RunPauseMenu(runtime::Windows& windows, runtime::PlayScreen& screen,
                         const PauseEventSource& nextEvent) {
    using namespace pause_menu;
    const int button = RunButtonWindow(
        windows, screen, kWindow,
        {kContinueButton, kSavePointButton, kSwitchModeButton, kQuitButton},
        [&windows] {
            windows.Open(kWindow, 412, 344, 200, 110, runtime::WindowStyle::Dialog, kTitle);
            windows.PushButton(kContinueButton, 10, 10, 180, 20, "WEITER SPIELEN");
            windows.PushButton(kSavePointButton, 10, 30, 180, 20, "ZUM LETZTEN SPEICHERPUNKT");
            windows.PushButton(kSwitchModeButton, 10, 50, 180, 20, "WECHSELN : EDITOR<>SPIEL");
            windows.PushButton(kQuitButton, 10, 80, 180, 20, "BEENDEN");
        },
        nextEvent);
    switch (button) {
        case kContinueButton:
            return PauseChoice::Continue;
        case kSavePointButton:
            return PauseChoice::LastSavePoint;
        case kSwitchModeButton:
            return PauseChoice::SwitchMode;
        case kQuitButton:
            return PauseChoice::Quit;
        default:
            return PauseChoice::Abandoned;
    }
}

}  // namespace tessaron::app
