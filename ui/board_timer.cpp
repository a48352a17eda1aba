#include "board_timer.h"

#include <algorithm>

namespace tolvex {

using namespace std::chrono;

BoardTimer::BoardTimer(microseconds spinLead, QObject* parent) : QObject(parent), m_spinLead(spinLead)
{
    m_wake.setSingleShot(true);
    // A coarse timer may fire up to 5 % early.
    m_wake.setTimerType(Qt::PreciseTimer);
    connect(&m_wake, &QTimer::timeout, this, &BoardTimer::wake);
}

void BoardTimer::start(int intervalMs, Clock::time_point anchor)
{
    m_interval = intervalMs;
    m_active = true;
    m_deadline = anchor + milliseconds(intervalMs);
    arm();
}

void BoardTimer::stop()
{
    m_active = false;
    m_interval = 0;
    m_wake.stop();
}

void BoardTimer::arm()
{
    const auto wakeAt = m_deadline - m_spinLead;
    const auto ms = duration_cast<milliseconds>(wakeAt - Clock::now()).count();
    m_wake.start(static_cast<int>(std::max<decltype(ms)>(ms, 0)));
}

void BoardTimer::wake()
{
    if (!m_active) return;
    if (Clock::now() < m_deadline - m_spinLead - milliseconds(1)) {
        arm(); // woken early: sleep again
        return;
    }
    while (Clock::now() < m_deadline) {}
    const Clock::time_point due = m_deadline;
    const milliseconds step(m_interval);
    m_deadline += step;
    // Ticks missed in a stall are not made up for, as with any system timer,
    // but the next one stays on the timer's grid.
    const auto now = Clock::now();
    if (m_deadline <= now) m_deadline += step * ((now - m_deadline) / step + 1);
    arm();
    emit timeout(due);
}

} // namespace tolvex
