// Game controllers on SDL2's game-controller layer: the pad-to-key mapping, pads plugged in and
// out while the program runs, and choosing among a menu's buttons with a pad.
#include <QAbstractButton>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>

#include "runtime/qt_internal.h"

namespace tessaron::runtime {

namespace {

// How often a menu window looks at the pads while it waits for its next event.
constexpr int kMenuLookMilliseconds = 16;

}  // namespace

void HoldPadKeys(const PadState& pad, KeyTable& keys) {
    const auto hold = [&keys](Key key) { keys[std::size_t(key)] = true; };
    if (pad.dpadLeft || pad.stickX <= -kStickThreshold) {
        hold(Key::Left);
    }
    if (pad.dpadRight || pad.stickX >= kStickThreshold) {
        hold(Key::Right);
    }
    if (pad.south || pad.dpadUp) {
        hold(Key::Up);
    }
    if (pad.dpadDown || pad.stickY >= kStickThreshold) {
        hold(Key::Down);
    }
    if (pad.start) {
        hold(Key::Escape);
    }
    if (pad.back) {
        hold(Key::Tab);
    }
}

PadMenuInput MenuInputOf(const PadState& pad) {
    PadMenuInput input;
    input.previous = pad.dpadUp || pad.stickY <= -kStickThreshold;
    input.next = pad.dpadDown || pad.stickY >= kStickThreshold;
    input.press = pad.south;
    return input;
}

// ---------------------------------------------------------------------------------------------
// Gamepads

Gamepads::~Gamepads() {
    delete menuTimer_;
    for (Pad& pad : pads_) {
        SDL_GameControllerClose(pad.controller);
    }
    if (started_) {
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
}

bool Gamepads::Start() {
    if (started_) {
        return true;
    }
    // SDL would otherwise take SIGINT and SIGTERM for itself (see the sound's start).
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
    // SDL has no window of its own to judge focus by; whether the program is in front is
    // decided here, from the toolkit's windows.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        return false;
    }
    started_ = true;
    // Pads present now are announced as plugged in, like those that come later.
    Pump();
    return true;
}

void Gamepads::Pump() {
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
            case SDL_CONTROLLERDEVICEADDED: {
                SDL_GameController* controller = SDL_GameControllerOpen(event.cdevice.which);
                if (controller == nullptr) {
                    break;
                }
                const SDL_JoystickID id =
                    SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
                const bool known = std::any_of(pads_.begin(), pads_.end(),
                                               [id](const Pad& pad) { return pad.id == id; });
                if (known) {
                    SDL_GameControllerClose(controller);  // opened twice: SDL counts references
                } else {
                    pads_.push_back(Pad{controller, id, {}});
                }
                break;
            }
            case SDL_CONTROLLERDEVICEREMOVED:
                std::erase_if(pads_, [&event](const Pad& pad) {
                    if (pad.id != event.cdevice.which) {
                        return false;
                    }
                    SDL_GameControllerClose(pad.controller);
                    return true;
                });
                break;
            case SDL_CONTROLLERBUTTONDOWN:
                for (Pad& pad : pads_) {
                    if (pad.id == event.cbutton.which && event.cbutton.button < pad.tapped.size()) {
                        pad.tapped[event.cbutton.button] = true;
                    }
                }
                break;
            default:
                break;
        }
    }
}

PadState Gamepads::Read(Pad& pad) {
    SDL_GameController* c = pad.controller;
    const auto button = [&pad, c](SDL_GameControllerButton b) {
        return SDL_GameControllerGetButton(c, b) != 0 || pad.tapped[std::size_t(b)];
    };
    PadState state;
    state.stickX = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
    state.stickY = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
    state.dpadUp = button(SDL_CONTROLLER_BUTTON_DPAD_UP);
    state.dpadDown = button(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
    state.dpadLeft = button(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
    state.dpadRight = button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
    state.south = button(SDL_CONTROLLER_BUTTON_A);
    state.start = button(SDL_CONTROLLER_BUTTON_START);
    state.back = button(SDL_CONTROLLER_BUTTON_BACK);
    pad.tapped.fill(false);
    return state;
}

bool Gamepads::Active() const {
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

KeyTable Gamepads::HeldNow(bool withTaps) {
    Pump();
    KeyTable held{};
    const bool active = Active();
    for (Pad& pad : pads_) {
        if (!withTaps) {
            pad.tapped.fill(false);
        }
        const PadState state = Read(pad);
        if (active) {
            HoldPadKeys(state, held);
        }
    }
    return held;
}

void Gamepads::HoldKeys(KeyTable& keys) {
    const KeyTable held = HeldNow(true);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!held[i]) {
            suppressed_[i] = false;
        } else if (!suppressed_[i]) {
            keys[i] = true;
        }
    }
}

void Gamepads::WindowClosed(int window) {
    if (window == menuWindow_) {
        menuWindow_ = 0;
        if (menuTimer_ != nullptr) {
            menuTimer_->stop();
        }
    }
    suppressed_ = HeldNow(false);
}

PadMenuInput Gamepads::MenuInputNow() {
    PadMenuInput input;
    if (!Active()) {
        return input;
    }
    for (Pad& pad : pads_) {
        const PadMenuInput one = MenuInputOf(Read(pad));
        input.previous = input.previous || one.previous;
        input.next = input.next || one.next;
        input.press = input.press || one.press;
    }
    return input;
}

void Gamepads::NavigateIn(int window) {
    menuWindow_ = window;
    // Only a push from now on counts: a button held when the menu opened chooses nothing.
    Pump();
    lastMenuInput_ = MenuInputNow();
    if (!pads_.empty()) {
        MoveFocus(0);
    }
    if (menuTimer_ == nullptr) {
        menuTimer_ = new QTimer();
        menuTimer_->setInterval(kMenuLookMilliseconds);
        QObject::connect(menuTimer_, &QTimer::timeout, [this] { Navigate(); });
    }
    // The menu's loop waits for the toolkit's events; the timer's turns are what wake it for
    // the pads.
    menuTimer_->start();
}

void Gamepads::Navigate() {
    if (menuWindow_ == 0 || machine_.WindowWidgetOf(menuWindow_) == nullptr) {
        return;
    }
    Pump();
    const PadMenuInput now = MenuInputNow();
    const PadMenuInput before = lastMenuInput_;
    lastMenuInput_ = now;
    if (now.previous && !before.previous) {
        MoveFocus(-1);
    }
    if (now.next && !before.next) {
        MoveFocus(1);
    }
    if (now.press && !before.press) {
        WindowWidget* window = machine_.WindowWidgetOf(menuWindow_);
        auto* button = qobject_cast<QAbstractButton*>(window->focusWidget());
        if (button != nullptr && machine_.WindowNumberOf(button) == menuWindow_ &&
            button->isEnabled()) {
            button->click();
        }
    }
}

void Gamepads::MoveFocus(int step) {
    WindowWidget* window = machine_.WindowWidgetOf(menuWindow_);
    if (window == nullptr) {
        return;
    }
    // The window's push buttons from the top one down, as the player sees them.
    std::vector<QWidget*> buttons;
    for (const auto& [number, entry] : machine_.controls) {
        if (entry.window == menuWindow_ && entry.kind == ControlKind::PushButton &&
            entry.widget != nullptr && entry.widget->isEnabled()) {
            buttons.push_back(entry.widget.data());
        }
    }
    if (buttons.empty()) {
        return;
    }
    std::sort(buttons.begin(), buttons.end(), [](const QWidget* a, const QWidget* b) {
        return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
    });
    const auto focused = std::find(buttons.begin(), buttons.end(), window->focusWidget());
    std::size_t index = 0;
    if (focused != buttons.end()) {
        const auto count = static_cast<std::ptrdiff_t>(buttons.size());
        const std::ptrdiff_t at = (focused - buttons.begin()) + step;
        index = static_cast<std::size_t>(((at % count) + count) % count);
    }
    // A focus moved as by the Tab key, which the style marks on the button.
    window->setAttribute(Qt::WA_KeyboardFocusChange);
    buttons[index]->setFocus(Qt::TabFocusReason);
    buttons[index]->update();
}

// ---------------------------------------------------------------------------------------------
// The machine's and the windows' side

bool Machine::StartGamepads() {
    if (!impl_->screenStarted) {
        return false;
    }
    if (!impl_->gamepads) {
        auto gamepads = std::make_unique<Gamepads>(*impl_);
        if (!gamepads->Start()) {
            return false;
        }
        impl_->gamepads = std::move(gamepads);
    }
    return true;
}

void Windows::EnablePadNavigation(int number) {
    Machine::Impl& m = machine_.Internals();
    if (m.gamepads && m.WindowWidgetOf(number) != nullptr) {
        m.gamepads->NavigateIn(number);
    }
}

}  // namespace tessaron::runtime
