#include "timer_policy.h"

namespace tolvex {

std::chrono::microseconds TimerPolicy::spinLead(TimerId timer)
{
    using namespace std::chrono_literals;
    return timer == TimerId::Timer3 ? 0us : 3000us;
}

TimerPolicy::Scope::Scope(TimerPolicy& policy, std::optional<Clock::time_point> tickDue)
    : m_policy(policy), m_outerInTick(policy.m_inTick), m_outerWaited(policy.m_waited), m_outerDue(policy.m_due)
{
    m_policy.m_inTick = tickDue.has_value();
    m_policy.m_waited = false;
    m_policy.m_due = tickDue.value_or(Clock::time_point{});
}

TimerPolicy::Scope::~Scope()
{
    m_policy.m_inTick = m_outerInTick;
    m_policy.m_waited = m_outerWaited;
    m_policy.m_due = m_outerDue;
}

TimerPolicy::Clock::time_point TimerPolicy::anchor(Clock::time_point now) const
{
    return m_inTick && !m_waited ? m_due : now;
}

} // namespace tolvex
