#include "app/pause_menu.h"

namespace tessaron::app {

PauseChoice RunPauseMenu(runtime::Windows& windows, runtime::PlayScreen& screen,
                         const PauseEventSource& nextEvent) {
    using namespace pause_menu;
    // What the previous pass drew becomes visible under the menu.
    screen.Show();

    windows.Open(kWindow, 412, 344, kWidth, kHeight, runtime::WindowStyle::Dialog, kTitle);
    windows.PushButton(kContinueButton, 10, 10, 180, 20, "WEITER SPIELEN");
    windows.PushButton(kSavePointButton, 10, 30, 180, 20, "ZUM LETZTEN SPEICHERPUNKT");
    windows.PushButton(kSwitchModeButton, 10, 50, 180, 20, "WECHSELN : EDITOR<>SPIEL");
    windows.PushButton(kQuitButton, 10, 80, 180, 20, "BEENDEN");
    windows.EnablePadNavigation(kWindow);

    for (;;) {
        // The menu takes the focus back on every turn, whatever the user clicked meanwhile.
        windows.Use(kWindow);
        windows.Activate();
        const std::optional<runtime::Event> event = nextEvent();
        if (!event) {
            windows.Close(kWindow);
            return PauseChoice::Abandoned;
        }
        // Everything but a click on one of the buttons is dropped: the close box, the main
        // window's clicks and controls, toolbar presses (whose numbers 1 to 5 overlap ours).
        // Control numbers are unique across windows, so the number names our button.
        if (event->code != runtime::EventCode::Control) {
            continue;
        }
        PauseChoice choice;
        switch (event->number) {
            case kContinueButton:
                choice = PauseChoice::Continue;
                break;
            case kSavePointButton:
                choice = PauseChoice::LastSavePoint;
                break;
            case kSwitchModeButton:
                choice = PauseChoice::SwitchMode;
                break;
            case kQuitButton:
                choice = PauseChoice::Quit;
                break;
            default:
                continue;
        }
        windows.Close(kWindow);
        return choice;
    }
}

}  // namespace tessaron::app
