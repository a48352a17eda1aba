#pragma once
// What the game hears from gamepads, with no SDL in sight: the ui reaches
// the gamepad module through this alone.

#include <cstdint>
#include <vector>

namespace tolvex {

// A gamepad's controls that the game uses, under SDL's names (A is the
// bottom face button on every pad, whatever is printed on it).
enum class PadButton : std::uint8_t {
    A,
    B,
    X,
    Y,
    LeftShoulder,
    RightShoulder,
    LeftTrigger,
    RightTrigger,
    Start,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
};

inline constexpr int kPadButtonCount = static_cast<int>(PadButton::DpadRight) + 1;

struct GamepadEvent {
    int device; // stays the same while the pad is connected
    PadButton button;
    int pad; // the board's pad this button plays on this gamepad, or -1
    bool down;
};

class Gamepads {
public:
    virtual ~Gamepads() = default;
    // What the connected gamepads did since the last call, in order; a pad
    // unplugged with buttons down sends their releases first.
    virtual std::vector<GamepadEvent> poll() = 0;
    // How many gamepads are connected now.
    virtual int connected() const = 0;
};

} // namespace tolvex
