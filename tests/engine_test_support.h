#pragma once
// A recording board whose armed timers fire in time order on the fake clock,
// and a scripted WAVE player: the engine runs headless and to the millisecond.

#include "engine.h"
#include "fake_clock.h"

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tolvex {

// Every field by name, so that a failed comparison of whole states says which differ.
inline void PrintTo(const GameEvent& e, std::ostream* os)
{
    *os << "{kind " << static_cast<int>(e.kind) << " score " << e.score << " duePad " << e.duePad << " level "
        << e.level << " rounds " << e.rounds << "}";
}

inline void PrintTo(const GameState& s, std::ostream* os)
{
    *os << "{Sequence \"" << s.Sequence << "\" CurrentPad " << s.CurrentPad << " LitTime " << s.LitTime << " GapTime "
        << s.GapTime << " Round " << s.Round << " PlayPos " << s.PlayPos << " PlayerTurn " << s.PlayerTurn
        << " PlayerInput \"" << s.PlayerInput << "\" TurnStart " << s.TurnStart << " TimeLimitOn " << s.TimeLimitOn
        << " GameOver " << s.GameOver << " RoundsToWin " << s.RoundsToWin << " SpeedUpPercent " << s.SpeedUpPercent
        << " TimeLimitSecs " << s.TimeLimitSecs << " BlinkCount " << s.BlinkCount << " Won " << s.Won << " Missed "
        << s.Missed << " ToneResult " << s.ToneResult << " ShowPad " << s.ShowPad << " InputBlocked " << s.InputBlocked
        << "}";
}

} // namespace tolvex

namespace tolvex::testing {

struct TimerSlot {
    std::int32_t interval = 0; // 0: stopped
    std::int64_t due = 0;      // virtual ms of the next tick
    std::uint64_t order = 0;   // ties fire in arming order
};

class FakePlayer : public WavePlayer {
public:
    std::vector<std::string> files;
    std::int32_t result = 1;
    std::function<void()> onRequest; // called as each tone is asked for
    std::int32_t PlayWave(const std::string& fileName) override
    {
        files.push_back(fileName);
        if (onRequest) onRequest();
        return result;
    }
};

struct LogEntry {
    std::int64_t ms;
    std::string what;
    bool operator==(const LogEntry&) const = default;
    friend void PrintTo(const LogEntry& e, std::ostream* os) { *os << e.ms << "ms " << e.what; }
};

class FakeBoard : public Board {
public:
    explicit FakeBoard(FakeClock& time) : m_time(time) {}

    std::vector<LogEntry> log;
    std::array<bool, 4> lit{};
    std::array<TimerSlot, kTimerCount> timers{};
    float timeBar = 0.0f;
    std::string score = "999", gapText = "Label1", litText = "Label2";
    bool newGameEnabled = true, levelsEnabled = true;
    int abouts = 0;
    std::vector<std::string> warnings;
    std::vector<GameEvent> events;   // announced, in order
    std::function<void()> onWarning; // runs inside the modal box
    std::function<void()> onAbout;
    bool logTimeBar = false;

    void ShowLit(std::int16_t pad) override
    {
        lit.at(pad) = true;
        note("lit " + std::to_string(pad));
    }
    void ShowUnlit(std::int16_t pad) override
    {
        lit.at(pad) = false;
        note("unlit " + std::to_string(pad));
    }
    void SetTimeBar(float twips) override
    {
        timeBar = twips;
        if (logTimeBar) note("bar " + std::to_string(twips));
    }
    void SetScoreText(const std::string& t) override { score = t; }
    void SetGapText(const std::string& t) override { gapText = t; }
    void SetLitText(const std::string& t) override { litText = t; }
    void EnableNewGame(bool on) override { newGameEnabled = on; }
    void EnableLevels(bool on) override { levelsEnabled = on; }
    void SetTimer(TimerId t, std::int32_t ms) override
    {
        TimerSlot& slot = timers[timerIndex(t)];
        slot.interval = ms;
        slot.due = m_time.nowMs + ms;
        slot.order = ++m_armings;
    }
    void ShowAbout() override
    {
        ++abouts;
        if (onAbout) onAbout();
    }
    void ShowToneWarning(const std::string& prompt) override
    {
        warnings.push_back(prompt);
        note("warning");
        if (onWarning) onWarning();
    }

    void Announce(const GameEvent& e) override { events.push_back(e); }

    bool running(TimerId t) const { return timers[timerIndex(t)].interval > 0; }
    int runningCount() const
    {
        int n = 0;
        for (const auto& s : timers) n += s.interval > 0;
        return n;
    }
    void note(const std::string& what)
    {
        if (keepLog) log.push_back({m_time.nowMs, what});
    }
    bool keepLog = true;

private:
    FakeClock& m_time;
    std::uint64_t m_armings = 0;
};

// Engine, board, clock and player wired together.
class Rig {
public:
    FakeClock time;
    FakeBoard board{time};
    FakePlayer player;
    Engine engine{board, time, player};
    std::vector<TimerId> ticks; // every tick delivered, dropped or not
    std::function<void()> afterTick;

    // As the window starts: "Fácil", "Beep", the bar's 1095 twips.
    Rig()
    {
        chooseLevel(0);
        chooseSoundSet(1);
        engine.OnTimeBarSpan(1095.0f);
    }

    const GameState& st() const { return engine.State(); }
    // The option buttons: the one at `index` chosen, the others not; -1 for none.
    void chooseLevel(int index)
    {
        for (std::int16_t i = 0; i < 4; ++i) engine.OnLevelChoice(i, i == index);
    }
    void chooseSoundSet(int index)
    {
        for (std::int16_t i = 0; i < 5; ++i) engine.OnSoundSetChoice(i, i == index);
    }

    void startUp() { engine.OnLoad(); }

    // Fire every tick due up to now + ms, in time order, then stop at now + ms.
    void advance(std::int64_t ms) { advanceTo(time.nowMs + ms); }
    void advanceTo(std::int64_t target)
    {
        for (;;) {
            int next = -1;
            for (int i = 0; i < kTimerCount; ++i) {
                const TimerSlot& s = board.timers[i];
                if (s.interval <= 0 || s.due > target) continue;
                if (next < 0 || s.due < board.timers[next].due ||
                    (s.due == board.timers[next].due && s.order < board.timers[next].order))
                    next = i;
            }
            if (next < 0) break;
            TimerSlot& s = board.timers[next];
            time.nowMs = s.due;
            s.due += s.interval;
            const auto id = static_cast<TimerId>(next + 1);
            ticks.push_back(id);
            engine.OnTimer(id);
            if (afterTick) afterTick();
        }
        if (time.nowMs < target) time.nowMs = target;
    }
    // Run until the engine is idle with no timer armed; false if it takes longer than limitMs.
    bool settle(std::int64_t limitMs = 600000)
    {
        const std::int64_t end = time.nowMs + limitMs;
        while (time.nowMs < end) {
            if (board.runningCount() == 0) return true;
            advance(10);
        }
        return board.runningCount() == 0;
    }
    void press(int pad) { engine.OnPadDown(static_cast<std::int16_t>(pad)); }
    void release(int pad) { engine.OnPadUp(static_cast<std::int16_t>(pad)); }
    void click(int pad)
    {
        press(pad);
        release(pad);
    }
    // Start a game whose first pad is the given one and run to the hand-over.
    void newGameWith(int firstPad)
    {
        time.randoms.push_back(FakeClock::forPad(firstPad));
        engine.OnNewGameClick();
    }
    // Start a game and replace its sequence (the playback reads Sequence
    // afresh at every step, and Round follows its length).
    void startWithSequence(const std::string& seq, int level = 0)
    {
        startUp();
        chooseLevel(level);
        newGameWith(seq[0] - '0');
        Engine::Testing::setSequence(engine, seq);
    }
    void runToTurn(std::int64_t limitMs = 100000)
    {
        const std::int64_t end = time.nowMs + limitMs;
        while (!(st().PlayerTurn && !st().GameOver && st().TimeLimitOn) && time.nowMs < end) advance(1);
    }
    // startWithSequence, then on to the player's turn.
    void playToTurn(const std::string& seq, int level = 0)
    {
        startWithSequence(seq, level);
        runToTurn();
    }
    // The pads lit and darkened from now until the player's turn.
    std::vector<LogEntry> padEventsToTurn(std::int64_t limitMs = 100000)
    {
        const std::size_t from = board.log.size();
        runToTurn(limitMs);
        return padEventsSince(from);
    }
    // Repeat the whole sequence correctly (press and release each pad).
    void answer()
    {
        for (char c : std::string(st().Sequence)) click(c - '0');
    }
    std::vector<LogEntry> padEventsSince(std::size_t from) const
    {
        std::vector<LogEntry> out;
        for (std::size_t i = from; i < board.log.size(); ++i) {
            const auto& w = board.log[i].what;
            if (w.rfind("lit", 0) == 0 || w.rfind("unlit", 0) == 0) out.push_back(board.log[i]);
        }
        return out;
    }
};

} // namespace tolvex::testing
