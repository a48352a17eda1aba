#pragma once
// One of the game's five timers. Ticks fall on exact deadlines, anchor + k ×
// interval, so a playback keeps its rhythm however long each step's own work
// takes. The system's wake-ups come up to a couple of milliseconds late, so a
// timer that keeps a visible rhythm wakes a little early and waits out the
// rest on the spot.

#include <QObject>
#include <QTimer>

#include <chrono>

namespace tolvex {

class BoardTimer : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    // `spinLead`: how long before each deadline to wake and wait actively; 0
    // for a timer whose ticks may come a little late.
    explicit BoardTimer(std::chrono::microseconds spinLead, QObject* parent = nullptr);

    // The first tick comes one interval after `anchor`, then every interval.
    void start(int intervalMs, Clock::time_point anchor);
    void stop();
    bool isActive() const { return m_active; }
    int interval() const { return m_interval; }
    Clock::time_point deadline() const { return m_deadline; }

signals:
    // `due`: the deadline this tick was meant for.
    void timeout(std::chrono::steady_clock::time_point due);

private:
    void arm();
    void wake();

    QTimer m_wake;
    std::chrono::microseconds m_spinLead;
    int m_interval = 0;
    bool m_active = false;
    Clock::time_point m_deadline;
};

} // namespace tolvex
