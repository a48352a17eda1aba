#pragma once
// The rules the game state keeps between any two handlers, checked against
// what the board shows, so that the headless engine and the real window are
// held to the same ones.

#include "board.h"
#include "game_state.h"

#include <array>
#include <string>

namespace tolvex::testing {

// What the board tells of the game: its running timers and enabled buttons.
struct BoardFacts {
    std::array<bool, kTimerCount> running{};
    bool newGameEnabled = true;
    std::array<bool, 4> levelEnabled{true, true, true, true};

    bool runs(TimerId t) const { return running[timerIndex(t)]; }
    int runningCount() const
    {
        int n = 0;
        for (bool r : running) n += r;
        return n;
    }
};

inline bool isVbBool(VbBool b) { return b == kTrue || b == kFalse; }

// Empty when every invariant holds, otherwise the first broken one.
inline std::string brokenInvariant(const GameState& s, const BoardFacts& b)
{
    for (char c : s.Sequence)
        if (c < '0' || c > '3') return "Sequence holds " + s.Sequence;
    for (VbBool v : {s.PlayerTurn, s.TimeLimitOn, s.GameOver, s.Won, s.Missed, s.InputBlocked})
        if (!isVbBool(v)) return "boolean holds " + std::to_string(v);
    const bool inGame = s.GameOver == kFalse && s.InputBlocked == kFalse;
    if (inGame && (s.Round != static_cast<std::int16_t>(s.Sequence.size()) || s.Round < 1))
        return "Round " + std::to_string(s.Round) + " vs length " + std::to_string(s.Sequence.size());
    if (s.TimeLimitOn && !b.runs(TimerId::Timer3)) return "TimeLimitOn without Timer3";
    if ((s.InputBlocked == kTrue) != b.runs(TimerId::Timer5)) return "InputBlocked differs from Timer5";
    if (s.PlayPos > static_cast<std::int16_t>(s.Sequence.size())) return "PlayPos past the end";
    if (b.runs(TimerId::Timer1) && b.runs(TimerId::Timer2)) return "Timer1 and Timer2 both armed";
    for (bool level : b.levelEnabled)
        if (level != b.newGameEnabled) return "Command1 and levels differ";
    if (b.newGameEnabled && (s.Won || s.Missed)) return "Won/Missed set while Command1 enabled";
    if (inGame && s.PlayerTurn && s.PlayerInput.size() > s.Sequence.size()) return "PlayerInput longer than Sequence";
    return {};
}

// Free play with nothing pending: no timer, the game over, the buttons back.
inline bool idle(const GameState& s, const BoardFacts& b)
{
    for (bool level : b.levelEnabled)
        if (!level) return false;
    return b.runningCount() == 0 && s.GameOver == kTrue && s.PlayerTurn == kTrue && s.InputBlocked == kFalse &&
           b.newGameEnabled;
}

} // namespace tolvex::testing
