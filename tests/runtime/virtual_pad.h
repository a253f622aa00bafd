// A pad for tests, plugged in through SDL's virtual joysticks: no real pad is needed.
#pragma once

#include <SDL.h>

namespace tessaron::runtime::test {

// A pad plugged in through SDL's virtual joysticks, with every button and axis of the common
// layout, so that SDL gives it the standard mapping: joystick button n is controller button n.
class VirtualPad {
  public:
    VirtualPad() {
#if SDL_VERSION_ATLEAST(2, 24, 0)
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.button_mask = (1u << (SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1)) - 1;
        desc.name = "Tessaron test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        if (index >= 0) {
            joystick_ = SDL_JoystickOpen(index);
        }
#endif
    }
    ~VirtualPad() {
        if (joystick_ != nullptr) {
            const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
            SDL_JoystickClose(joystick_);
            for (int index = 0; index < SDL_NumJoysticks(); ++index) {
                if (SDL_JoystickGetDeviceInstanceID(index) == id) {
                    SDL_JoystickDetachVirtual(index);
                }
            }
        }
    }
    bool Attached() const {
        return joystick_ != nullptr;
    }
    void Button(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
    }
    void Axis(SDL_GameControllerAxis axis, Sint16 value) {
        SDL_JoystickSetVirtualAxis(joystick_, axis, value);
    }

  private:
    SDL_Joystick* joystick_ = nullptr;
};

}  // namespace tessaron::runtime::test
