#include "app/automation/script_driver.h"

#include <algorithm>
#include <utility>

namespace tessaron::app {

ScriptDriver::ScriptDriver(Script script, std::function<runtime::Windows&()> windows,
                           std::function<runtime::Keyboard&()> keys)
    : script_(std::move(script)), windows_(std::move(windows)), keys_(std::move(keys)) {}

InputDriver::Status ScriptDriver::BeforePoll(std::int64_t pass) {
    // Pass numbers never decrease in a script, so every action up to this pass is due now.
    while (next_ < script_.actions.size() && script_.actions[next_].pass <= pass) {
        const Action& action = script_.actions[next_++];
        if (Status status = Apply(action); status != Status::Ok) {
            return status;
        }
    }
    return Status::Ok;
}

bool ScriptDriver::MayCutShort(std::int64_t pass) const {
    for (std::size_t i = next_; i < script_.actions.size() && script_.actions[i].pass <= pass;
         ++i) {
        switch (script_.actions[i].kind) {
            case ActionKind::KeyDown:
            case ActionKind::KeyUp:
            case ActionKind::Mouse:
            case ActionKind::Click:
                break;
            default:
                return true;
        }
    }
    return false;
}

InputDriver::Status ScriptDriver::BeforeModalEvent(std::string_view window) {
    if (next_ >= script_.actions.size()) {
        message_ = "the window \"" + std::string(window) +
                   "\" waits for an event, but the script has no action left";
        return Status::NoActionLeft;
    }
    const Action& action = script_.actions[next_++];
    return Apply(action);
}

bool ScriptDriver::WillPress(std::span<const int> buttons) const {
    for (std::size_t i = next_; i < script_.actions.size(); ++i) {
        const Action& action = script_.actions[i];
        switch (action.kind) {
            case ActionKind::Mouse:
            case ActionKind::Click:
            case ActionKind::Close:
                continue;
            case ActionKind::Press:
                return std::find(buttons.begin(), buttons.end(), action.control) != buttons.end();
            default:
                return false;
        }
    }
    return false;
}

InputDriver::Status ScriptDriver::Fail(const Action& action, const std::string& what) {
    message_ = "line " + std::to_string(action.line) + ": " + what;
    return Status::ScriptError;
}

namespace {

// The windows that can stand in front of the main window, front first, with their inner sizes.
struct ModalWindow {
    int number;
    int width;
    int height;
};
constexpr ModalWindow kModalWindows[] = {
    {kGoalWindow, goal_screen::kInnerWidth, goal_screen::kInnerHeight},
    {kPauseWindow, pause_menu::kWidth, pause_menu::kHeight},
    {kNewLevelWindow, new_level_dialog::kWidth, new_level_dialog::kHeight}};

int FrontWindow(const runtime::Windows& windows) {
    for (const ModalWindow& modal : kModalWindows) {
        if (windows.IsOpen(modal.number)) {
            return modal.number;
        }
    }
    return kMainWindow;
}

// The open window under a point given in main-window coordinates: a modal window when the point
// lies on it, else the main window.
int WindowUnder(runtime::Windows& windows, int x, int y) {
    int desktopX = 0;
    int desktopY = 0;
    {
        UseWindow main(windows, kMainWindow);
        desktopX = windows.X() + x;
        desktopY = windows.Y() + y;
    }
    for (const ModalWindow& modal : kModalWindows) {
        if (!windows.IsOpen(modal.number)) {
            continue;
        }
        UseWindow use(windows, modal.number);
        const int left = windows.X();
        const int top = windows.Y();
        if (desktopX >= left && desktopX < left + modal.width && desktopY >= top &&
            desktopY < top + modal.height) {
            return modal.number;
        }
    }
    return kMainWindow;
}

}  // namespace

void ScriptDriver::MoveMouse(runtime::Windows& windows, int x, int y) {
    UseWindow main(windows, kMainWindow);
    windows.SetMousePosition(x, y);
}

InputDriver::Status ScriptDriver::Apply(const Action& action) {
    runtime::Windows& windows = windows_();
    // Controls and the toolbar can only be used while their window is open.
    auto controlIsOpen = [&windows](int control) {
        const int window = windows.WindowOf(control);
        return window != 0 && windows.IsOpen(window);
    };
    const std::string control = std::to_string(action.control);

    switch (action.kind) {
        case ActionKind::KeyDown:
        case ActionKind::KeyUp:
            keys_().SetKey(action.key, action.kind == ActionKind::KeyDown);
            break;
        case ActionKind::Mouse:
        case ActionKind::Click:
        case ActionKind::Drag:
        case ActionKind::Drop:
        case ActionKind::RightClick:
        case ActionKind::MiddleDown:
        case ActionKind::MiddleUp:
            if (!windows.IsOpen(kMainWindow)) {
                return Fail(action, "the main window is not open");
            }
            MoveMouse(windows, action.x, action.y);
            // A click goes down and up at once; a drag keeps the button down until its drop.
            if (action.kind == ActionKind::Click || action.kind == ActionKind::Drag ||
                action.kind == ActionKind::Drop) {
                windows.SetLeftButtonHeld(action.kind == ActionKind::Drag);
            }
            if (action.kind == ActionKind::Click || action.kind == ActionKind::Drag) {
                windows.Queue({runtime::EventCode::LeftButtonDown, action.modifiers,
                               WindowUnder(windows, action.x, action.y)});
            }
            if (action.kind == ActionKind::MiddleDown || action.kind == ActionKind::MiddleUp) {
                windows.Queue({action.kind == ActionKind::MiddleDown
                                   ? runtime::EventCode::MiddleButtonDown
                                   : runtime::EventCode::MiddleButtonUp,
                               0, WindowUnder(windows, action.x, action.y)});
            }
            if (action.kind == ActionKind::RightClick) {
                windows.Queue({runtime::EventCode::RightButtonDown, action.modifiers,
                               WindowUnder(windows, action.x, action.y)});
            }
            break;
        case ActionKind::Command:
            if (!windows.IsOpen(kMainWindow)) {
                return Fail(action, "the main window is not open");
            }
            windows.Queue({runtime::EventCode::Command, action.control, kMainWindow});
            break;
        case ActionKind::Wheel:
        case ActionKind::SidewaysWheel:
            windows.Queue({action.kind == ActionKind::Wheel ? runtime::EventCode::MouseWheel
                                                            : runtime::EventCode::SidewaysWheel,
                           action.value, FrontWindow(windows)});
            break;
        case ActionKind::Text:
            if (!controlIsOpen(action.control)) {
                return Fail(action, "no open window has control " + control);
            }
            windows.TypeText(action.control, action.text);
            break;
        case ActionKind::Select:
            if (!controlIsOpen(action.control)) {
                return Fail(action, "no open window has control " + control);
            }
            windows.Select(action.control, action.value);
            break;
        case ActionKind::Press:
            if (!controlIsOpen(action.control)) {
                return Fail(action, "no open window has control " + control);
            }
            windows.Press(action.control);
            break;
        case ActionKind::Toolbar:
            if (!windows.IsOpen(kMainWindow)) {
                return Fail(action, "the main window with the toolbar is not open");
            }
            windows.PressToolbarButton(action.control);
            break;
        case ActionKind::Close:
            windows.Queue({runtime::EventCode::Close, 0, FrontWindow(windows)});
            break;
        case ActionKind::Wait:
            if (waitForSearch_) {
                waitForSearch_();
            }
            break;
    }
    return Status::Ok;
}

}  // namespace tessaron::app
