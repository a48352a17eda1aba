#pragma once
// Every gamepad SDL's game-controller layer knows, read with no window and
// no video subsystem: only SDL's own mapping database, which desktop
// players' pads are already set up for.

#include "gamepads.h"

#include <SDL.h>

#include <bitset>
#include <map>
#include <optional>

namespace tolvex {

// The board's pad that `button` plays on a gamepad of `type`, or -1: the
// face buttons by the colour printed on them, the shoulders by their place.
int padForButton(SDL_GameControllerType type, PadButton button);

// The game's name for an SDL button, if the game uses it.
std::optional<PadButton> padButtonFor(SDL_GameControllerButton button);

class SdlGamepads final : public Gamepads {
public:
    // False from started() when SDL could not start; the game then plays
    // without gamepads.
    SdlGamepads();
    ~SdlGamepads() override;
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    bool started() const { return m_started; }
    std::vector<GamepadEvent> poll() override;
    int connected() const override { return static_cast<int>(m_pads.size()); }

private:
    struct Pad {
        SDL_GameController* controller;
        SDL_GameControllerType type;
        std::bitset<kPadButtonCount> down;
    };
    void add(int deviceIndex);
    void remove(SDL_JoystickID device, std::vector<GamepadEvent>& out);
    void button(SDL_JoystickID device, PadButton button, bool down, std::vector<GamepadEvent>& out);
    void trigger(SDL_JoystickID device, PadButton button, int value, std::vector<GamepadEvent>& out);

    bool m_started = false;
    std::map<SDL_JoystickID, Pad> m_pads;
};

} // namespace tolvex
