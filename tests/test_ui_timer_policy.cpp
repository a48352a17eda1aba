// When a timer armed by a handler starts counting, and how the timers wake:
// the rules alone, with no window and no event loop.

#include "timer_policy.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;
using tolvex::TimerId;
using tolvex::TimerPolicy;
using Clock = TimerPolicy::Clock;

const Clock::time_point kDue = Clock::time_point{} + 10s;
const Clock::time_point kNow = kDue + 7ms;

// Outside any event, and in an event that is no tick, a timer counts from now.
TEST(TimerPolicyTest, TimerArmedOutsideATickCountsFromNow)
{
    TimerPolicy policy;
    EXPECT_EQ(policy.anchor(kNow), kNow);
    const TimerPolicy::Scope press(policy, std::nullopt);
    EXPECT_EQ(policy.anchor(kNow), kNow);
}

// A step's own work takes no time on the game's clock.
TEST(TimerPolicyTest, TimerArmedInATickCountsFromItsDeadline)
{
    TimerPolicy policy;
    const TimerPolicy::Scope tick(policy, kDue);
    EXPECT_EQ(policy.anchor(kNow), kDue);
}

// A box that kept the player waiting is time the game really spent.
TEST(TimerPolicyTest, ModalWaitInATickMakesTheTimerCountFromNow)
{
    TimerPolicy policy;
    const TimerPolicy::Scope tick(policy, kDue);
    policy.modalWait();
    EXPECT_EQ(policy.anchor(kNow), kNow);
}

// A tick handled inside a box's own loop has its own deadline; once it is
// done, the outer tick's context, wait included, holds again.
TEST(TimerPolicyTest, NestedEventsRestoreTheOuterContext)
{
    struct Case {
        const char* name;
        bool outerWaited;
        std::optional<Clock::time_point> innerDue;
        bool innerWaits;
        Clock::time_point expectedInner;
        Clock::time_point expectedOuterAfter;
    };
    const Clock::time_point innerDue = kDue + 3ms;
    const Case cases[] = {
        {"tick in a warning opened by a tick", true, innerDue, false, innerDue, kNow},
        {"tick that waits, in a tick", false, innerDue, true, kNow, kDue},
        {"press in a tick", false, std::nullopt, false, kNow, kDue},
        {"press in a warning", true, std::nullopt, false, kNow, kNow},
    };
    for (const Case& c : cases) {
        TimerPolicy policy;
        const TimerPolicy::Scope outer(policy, kDue);
        if (c.outerWaited) policy.modalWait();
        {
            const TimerPolicy::Scope inner(policy, c.innerDue);
            if (c.innerWaits) policy.modalWait();
            EXPECT_EQ(policy.anchor(kNow), c.expectedInner) << c.name;
        }
        EXPECT_EQ(policy.anchor(kNow), c.expectedOuterAfter) << c.name;
    }
}

// Leaving the outermost event leaves no tick context behind.
TEST(TimerPolicyTest, NoContextSurvivesTheEvent)
{
    TimerPolicy policy;
    {
        const TimerPolicy::Scope tick(policy, kDue);
    }
    EXPECT_EQ(policy.anchor(kNow), kNow);
}

// Rhythmic timers finish the wait actively; the answer clock need not.
TEST(TimerPolicyTest, OnlyTheAnswerClockSkipsTheActiveWait)
{
    for (TimerId t : {TimerId::Timer1, TimerId::Timer2, TimerId::Timer4, TimerId::Timer5})
        EXPECT_GT(TimerPolicy::spinLead(t), 0us) << static_cast<int>(t);
    EXPECT_EQ(TimerPolicy::spinLead(TimerId::Timer3), 0us);
}

TEST(TimerPolicyTest, TicksAreCountedPerTimer)
{
    TimerPolicy policy;
    policy.countTick(TimerId::Timer3);
    policy.countTick(TimerId::Timer3);
    policy.countTick(TimerId::Timer5);
    EXPECT_EQ(policy.ticksDelivered(TimerId::Timer1), 0);
    EXPECT_EQ(policy.ticksDelivered(TimerId::Timer3), 2);
    EXPECT_EQ(policy.ticksDelivered(TimerId::Timer5), 1);
}

} // namespace
