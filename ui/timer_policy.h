#pragma once
// When the game's timers tick and from when a timer armed by a handler
// counts. Kept apart from the window so the rules can be tested alone.

#include "board.h"

#include <array>
#include <chrono>
#include <optional>

namespace tolvex {

class TimerPolicy {
public:
    using Clock = std::chrono::steady_clock;

    // How long before each deadline a timer wakes and waits out the rest
    // actively. The playback and the shows keep a rhythm the player sees and
    // hears; the answer clock's bar and limit are fine a millisecond late.
    static std::chrono::microseconds spinLead(TimerId timer);

    // The context of one window event handed to the engine. Events nest when
    // a modal box runs its own loop; each restores the outer one's context.
    class Scope {
    public:
        Scope(TimerPolicy& policy, std::optional<Clock::time_point> tickDue);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        TimerPolicy& m_policy;
        bool m_outerInTick;
        bool m_outerWaited;
        Clock::time_point m_outerDue;
    };

    // Counts a tick of `timer` handed to the engine; the engine drops one
    // that comes while another handler runs.
    void countTick(TimerId timer) { ++m_ticks[timerIndex(timer)]; }
    int ticksDelivered(TimerId timer) const { return m_ticks[timerIndex(timer)]; }

    // A modal box kept the player waiting inside the current event.
    void modalWait() { m_waited = true; }

    // Where a timer armed now starts counting: a step's own work takes no
    // time on the game's clock, so a timer armed in a tick counts from that
    // tick's deadline and a playback keeps its timeline; a box that kept the
    // player waiting does take time, and so does any other event.
    Clock::time_point anchor(Clock::time_point now) const;

private:
    bool m_inTick = false;
    bool m_waited = false;
    Clock::time_point m_due;
    std::array<int, kTimerCount> m_ticks{};
};

} // namespace tolvex
