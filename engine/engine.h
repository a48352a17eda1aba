#pragma once

#include "board.h"
#include "game_state.h"
#include "platform.h"
#include "wave_player.h"
#include "tone_files.h"

#include <array>
#include <cstdint>
#include <string>

namespace tolvex {

// The game's rules. The window owns one Engine and forwards its events to the
// On* entry points; the handlers below carry the names the game's design uses.
class Engine {
public:
    Engine(Board& board, Platform& platform, WavePlayer& player);

    // --- Entry points for window events. One handler runs at a time: a tick
    // that arrives while a handler is still running (inside a modal box's own
    // event loop) is dropped; periodic timers simply tick again afterwards.
    void OnLoad();
    void OnNewGameClick();
    void OnTimer(TimerId timer);
    void OnPadDown(std::int16_t pad);
    void OnPadUp(std::int16_t pad);
    void OnGapSetting(std::int32_t value); // HScroll1 moved
    void OnLitSetting(std::int32_t value); // HScroll2 moved
    // What the player has chosen, told by the window whenever it changes:
    // the choice in force at each new game and each tone is the one used.
    // Kept even while a handler runs, unlike the events above: a choice is
    // state, and dropping one would leave the engine with another choice
    // than the window shows.
    void OnLevelChoice(std::int16_t index, bool chosen);    // Option1(index)
    void OnSoundSetChoice(std::int16_t index, bool chosen); // Option2(index)
    void OnTimeBarSpan(float twips);                        // Label4's width
    bool HandlerRunning() const { return m_inHandler; }

    const GameState& State() const { return m_state; }
    const SoundNaming& Naming() const { return m_naming; }

    // Tests start from a chosen point of a game instead of replaying every
    // round that leads there; these are the only ways in besides the On* ones.
    struct Testing {
        // The pads of the game so far; the round follows their number.
        static void setSequence(Engine& e, const std::string& pads);
        static void setRoundsToWin(Engine& e, std::int16_t rounds);
        static void setTurnStart(Engine& e, float seconds);
        static void setInputBlocked(Engine& e, bool blocked);
    };

    // x - x / 100 * percent in double precision, rounded half to even.
    static std::int32_t SpeedUp(std::int32_t x, std::int16_t percent);

    // How long the player may take over each press of a turn.
    static constexpr std::int16_t kTimeLimitSecs = 3;
    static constexpr std::int32_t kLeadInMs = 500;
    static constexpr std::int32_t kAnswerTickMs = 50;
    static constexpr std::int32_t kShowTickMs = 100;
    static constexpr float kBarMarginTwips = 60.0f;
    static constexpr std::int16_t kFailBlinks = 16;
    static constexpr std::int16_t kWinBlinks = 32;

private:
    // --- Handlers, reached through the entry points above.
    void StartUp();
    void NewGame();
    void EnterIdle();
    void StepTick();
    void LitTick();
    void PadDown(std::int16_t pad);
    void PadUp(std::int16_t pad);
    void AnswerTick();
    void WinShowTick();
    void FailShowTick();
    void PlayPadTone();
    void PlayTone(std::int16_t pad);

    template <typename F> void runHandler(F&& f);
    void judge(std::int16_t pad);
    void completeRound();
    void endTurn();
    void startFailureShow(std::int16_t duePad);
    std::int16_t drawPad();
    float elapsedSince(float start);
    void armPlayback(TimerId timer, std::int32_t ms);

    Board& m_board;
    Platform& m_platform;
    WavePlayer& m_player;
    GameState m_state;
    SoundNaming m_naming;
    bool m_inHandler = false;
    std::array<bool, 4> m_levelChosen{};
    std::array<bool, 5> m_soundSetChosen{};
    float m_timeBarSpan = 0.0f;
    // The pad whose press ended the turn; only its release may end the turn,
    // so a stray release during playback or the win show cannot.
    std::int16_t m_turnEndingPad = -1;
};

} // namespace tolvex
