#pragma once

#include <cstdint>
#include <string>

namespace tolvex {

enum class TimerId { Timer1 = 1, Timer2, Timer3, Timer4, Timer5 };
inline constexpr int kTimerCount = 5;
inline constexpr int timerIndex(TimerId t) { return static_cast<int>(t) - 1; }

// How a game goes, told as it happens, for a player who follows it by ear.
struct GameEvent {
    enum class Kind {
        Started,        // at the new game
        RoundCompleted, // at the release that completes a round short of the win
        Won,            // at the release that completes the last round
        WrongPad,       // at the release of the wrong press
        TimeUp,         // at the answer-clock tick that finds the time up
    };
    Kind kind = Kind::Started;
    std::int16_t score = 0;  // rounds completed
    std::int16_t duePad = 0; // the pad that should have been pressed (WrongPad, TimeUp)
    std::int16_t level = 0;  // Option1 index, -1 when none was chosen (Started)
    std::int16_t rounds = 0; // rounds to win (Started)
    bool operator==(const GameEvent&) const = default;
};

// What the engine has the main window do; it asks the window nothing (the
// window tells the engine what the player chose). The window carries it out
// on its controls; tests use a recorder.
class Board {
public:
    virtual ~Board() = default;

    virtual void ShowLit(std::int16_t pad) = 0;
    virtual void ShowUnlit(std::int16_t pad) = 0;
    virtual void SetTimeBar(float twips) = 0;
    virtual void SetScoreText(const std::string& text) = 0;
    virtual void SetGapText(const std::string& text) = 0;
    virtual void SetLitText(const std::string& text) = 0;
    virtual void EnableNewGame(bool on) = 0;
    virtual void EnableLevels(bool on) = 0;
    // A positive interval (re)starts the timer: its first tick comes one
    // interval after the moment it counts from (now, or, when armed inside a
    // tick, that tick's deadline), then every interval. 0 stops it, and no
    // later tick of it reaches the engine.
    virtual void SetTimer(TimerId timer, std::int32_t ms) = 0;
    // Modal: returns once the about window has been closed.
    virtual void ShowAbout() = 0;
    // Modal warning box with a single OK button; returns once it is closed.
    virtual void ShowToneWarning(const std::string& prompt) = 0;
    // Tells assistive tools what just happened; nothing on screen changes.
    virtual void Announce(const GameEvent& event) = 0;
};

} // namespace tolvex
