#include "sdl_gamepads.h"

#include <cstdio>

namespace tolvex {

namespace {

// A trigger is pressed past half its travel and let go below a quarter, so
// that a finger resting half-way does not chatter.
constexpr int kTriggerDown = SDL_JOYSTICK_AXIS_MAX / 2;
constexpr int kTriggerUp = SDL_JOYSTICK_AXIS_MAX / 4;

bool isPlayStation(SDL_GameControllerType type)
{
    return type == SDL_CONTROLLER_TYPE_PS3 || type == SDL_CONTROLLER_TYPE_PS4 || type == SDL_CONTROLLER_TYPE_PS5;
}

} // namespace

int padForButton(SDL_GameControllerType type, PadButton button)
{
    // Xbox: A green, Y yellow, X blue, B red. PlayStation, by SDL's
    // positional names: the top (triangle) green, the left (square, pink)
    // on yellow, the bottom (cross) blue, the right (circle) red. Nintendo
    // pads carry no colours and follow the Xbox names.
    const bool ps = isPlayStation(type);
    switch (button) {
    case PadButton::A: return ps ? 2 : 0;
    case PadButton::Y: return ps ? 0 : 1;
    case PadButton::X: return ps ? 1 : 2;
    case PadButton::B: return 3;
    case PadButton::LeftShoulder: return 0;
    case PadButton::RightShoulder: return 1;
    case PadButton::RightTrigger: return 2;
    case PadButton::LeftTrigger: return 3;
    default: return -1;
    }
}

std::optional<PadButton> padButtonFor(SDL_GameControllerButton button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PadButton::A;
    case SDL_CONTROLLER_BUTTON_B: return PadButton::B;
    case SDL_CONTROLLER_BUTTON_X: return PadButton::X;
    case SDL_CONTROLLER_BUTTON_Y: return PadButton::Y;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PadButton::LeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PadButton::RightShoulder;
    case SDL_CONTROLLER_BUTTON_START: return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadButton::DpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadButton::DpadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadButton::DpadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadButton::DpadRight;
    default: return std::nullopt;
    }
}

SdlGamepads::SdlGamepads()
{
    // Otherwise SDL turns SIGINT and SIGTERM into an event nobody reads, and
    // the program no longer ends on them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // With no window SDL cannot tell whether the game is in front; the ui
    // asks Qt instead.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    m_started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!m_started) std::fprintf(stderr, "tolvex: no gamepads: %s\n", SDL_GetError());
    // The pads already connected come as added devices with the first poll.
}

SdlGamepads::~SdlGamepads()
{
    if (!m_started) return;
    for (auto& [device, pad] : m_pads) SDL_GameControllerClose(pad.controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    // The hints and SDL's other state go only with SDL_Quit.
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

std::vector<GamepadEvent> SdlGamepads::poll()
{
    std::vector<GamepadEvent> out;
    if (!m_started) return out;
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) {
        switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED: add(e.cdevice.which); break;
        case SDL_CONTROLLERDEVICEREMOVED: remove(e.cdevice.which, out); break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            if (auto b = padButtonFor(static_cast<SDL_GameControllerButton>(e.cbutton.button)))
                button(e.cbutton.which, *b, e.type == SDL_CONTROLLERBUTTONDOWN, out);
            break;
        case SDL_CONTROLLERAXISMOTION:
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT)
                trigger(e.caxis.which, PadButton::LeftTrigger, e.caxis.value, out);
            if (e.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT)
                trigger(e.caxis.which, PadButton::RightTrigger, e.caxis.value, out);
            break;
        default: break;
        }
    }
    return out;
}

void SdlGamepads::add(int deviceIndex)
{
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    const SDL_JoystickID device = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    // Each pad comes once, also when it was there before SDL started.
    if (m_pads.count(device) != 0) {
        SDL_GameControllerClose(controller);
        return;
    }
    m_pads[device] = Pad{controller, SDL_GameControllerGetType(controller), {}};
}

void SdlGamepads::remove(SDL_JoystickID device, std::vector<GamepadEvent>& out)
{
    const auto it = m_pads.find(device);
    if (it == m_pads.end()) return;
    for (int b = 0; b < kPadButtonCount; ++b) {
        if (it->second.down.test(static_cast<std::size_t>(b))) button(device, static_cast<PadButton>(b), false, out);
    }
    SDL_GameControllerClose(it->second.controller);
    m_pads.erase(it);
}

void SdlGamepads::button(SDL_JoystickID device, PadButton b, bool down, std::vector<GamepadEvent>& out)
{
    const auto it = m_pads.find(device);
    if (it == m_pads.end()) return;
    const auto bit = static_cast<std::size_t>(b);
    if (it->second.down.test(bit) == down) return;
    it->second.down.set(bit, down);
    out.push_back({device, b, padForButton(it->second.type, b), down});
}

void SdlGamepads::trigger(SDL_JoystickID device, PadButton b, int value, std::vector<GamepadEvent>& out)
{
    if (value > kTriggerDown) button(device, b, true, out);
    if (value < kTriggerUp) button(device, b, false, out);
}

} // namespace tolvex
