#pragma once

#include <cstdint>
#include <string>

namespace tolvex {

// Booleans of the game state are 16-bit with True as -1, never anything else.
using VbBool = std::int16_t;
inline constexpr VbBool kTrue = -1;
inline constexpr VbBool kFalse = 0;
inline constexpr VbBool vb(bool b) { return b ? kTrue : kFalse; }

// The one record of game variables, in its documented order.
struct GameState {
    std::string Sequence;        // pad digits "0".."3", in playing order
    std::int16_t CurrentPad = 0; // last pad lit by playback or by a press
    std::int32_t LitTime = 0;    // ms a pad stays lit during playback
    std::int32_t GapTime = 0;    // ms between two pads of a playback
    std::int16_t Round = 0;      // round in play; pad to blink in the failure show
    std::int16_t PlayPos = 0;    // 1-based position of the pad being played back
    VbBool PlayerTurn = kFalse;
    std::string PlayerInput; // digits pressed in this turn
    float TurnStart = 0.0f;  // seconds since midnight
    VbBool TimeLimitOn = kFalse;
    VbBool GameOver = kFalse;
    std::int16_t RoundsToWin = 0;
    std::int16_t SpeedUpPercent = 0;
    std::int16_t TimeLimitSecs = 0;
    std::int16_t BlinkCount = 0;
    VbBool Won = kFalse;
    VbBool Missed = kFalse;
    std::int32_t ToneResult = 0;
    std::int16_t ShowPad = 0;
    VbBool InputBlocked = kFalse;

    bool operator==(const GameState&) const = default;
};

} // namespace tolvex
