#pragma once
// A gamepad that SDL's game-controller layer takes for a real one, made in
// the test's own process: no device and no uinput needed.

#include <SDL.h>

namespace tolvex::testing {

class VirtualPad {
public:
    // Vendor and product 0: SDL gives it the standard layout, so each
    // button and axis is numbered as SDL's own names.
    VirtualPad()
    {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1"); // Ctrl+C still ends the test
        SDL_InitSubSystem(SDL_INIT_JOYSTICK);          // outlives the game's, whatever is destroyed first
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Tolvex test pad";
        m_joystick = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
    }
    ~VirtualPad()
    {
        unplug();
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
    }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void set(SDL_GameControllerButton button, bool down)
    {
        SDL_JoystickSetVirtualButton(m_joystick, button, down ? 1 : 0);
    }
    // What SDL last read of the button: the game has polled since it moved.
    bool reads(SDL_GameControllerButton button) const { return SDL_JoystickGetButton(m_joystick, button) != 0; }
    void setTrigger(SDL_GameControllerAxis axis, Sint16 value) { SDL_JoystickSetVirtualAxis(m_joystick, axis, value); }
    void unplug()
    {
        if (m_joystick == nullptr) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(m_joystick);
        SDL_JoystickClose(m_joystick);
        m_joystick = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        }
    }

private:
    SDL_Joystick* m_joystick = nullptr;
};

} // namespace tolvex::testing
