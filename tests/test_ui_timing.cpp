// The game's clock in the window: timers armed inside a tick count from that
// tick's deadline, so a playback keeps its timeline; a modal box in between
// makes the game wait, and the next timer counts from the call.
#include "test_ui_support.h"

#include <QMessageBox>

namespace tolvex::uitest {
namespace {

using namespace std::chrono_literals;
using TimePoint = BoardTimer::Clock::time_point;

// A stand-alone timer ticks on anchor + k × interval exactly, never before.
TEST(BoardTimerTest, TicksFallOnExactDeadlines)
{
    for (auto lead : {0us, 2000us}) {
        BoardTimer timer(lead);
        std::vector<TimePoint> dues;
        bool early = false;
        QObject::connect(&timer, &BoardTimer::timeout, [&](TimePoint due) {
            dues.push_back(due);
            early = early || BoardTimer::Clock::now() < due;
        });
        const TimePoint anchor = BoardTimer::Clock::now();
        timer.start(7, anchor);
        ASSERT_TRUE(QTest::qWaitFor([&] { return dues.size() >= 5; }, 5000));
        timer.stop();
        EXPECT_FALSE(early) << "lead " << lead.count();
        for (std::size_t k = 0; k < 5; ++k) {
            // A stall may skip ticks, never shift them off the grid.
            EXPECT_EQ((dues[k] - anchor) % 7ms, 0ms) << k;
            if (k > 0) {
                EXPECT_GT(dues[k], dues[k - 1]);
            }
        }
        EXPECT_EQ(dues[0], anchor + 7ms);
    }
}

// An anchor in the past makes the first tick due at once.
TEST(BoardTimerTest, OverdueFirstTickComesPromptly)
{
    BoardTimer timer(0us);
    int ticks = 0;
    QObject::connect(&timer, &BoardTimer::timeout, [&](TimePoint) { ++ticks; });
    timer.start(5, BoardTimer::Clock::now() - 1s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 1000));
    timer.stop();
    const int seen = ticks;
    QTest::qWait(30);
    EXPECT_EQ(ticks, seen); // stopped means no tick
}

// What a tick of `timer` left armed of `next`, read as soon as the tick's own
// handling ends (the window connected first, so its handler runs first).
struct ArmedAfterTick {
    BoardTimer* next;
    std::vector<TimePoint> deadlines; // a default one: `next` was not armed

    ArmedAfterTick(BoardTimer* timer, BoardTimer* next, QObject* context) : next(next)
    {
        QObject::connect(timer, &BoardTimer::timeout, context, [this](TimePoint) {
            deadlines.push_back(this->next->isActive() ? this->next->deadline() : TimePoint{});
        });
    }
};

// The playback's steps chain on deadlines: lit 200 ms after the step was due,
// the next step 300 ms after that, however long each step took.
TEST_F(UiTest, PlaybackStepsCountFromTheTickDeadline)
{
    // The second round's playback, of two pads, on the window's timers; the
    // hidden speed settings, moved there and back, undo the round's speed-up.
    startGameAt(1);
    clock.randoms.push_back(FakeClock::forPad(2));
    clickPad(1);
    for (QScrollBar* bar : {form->HScroll1(), form->HScroll2()}) {
        bar->setValue(bar->value() + 1);
        bar->setValue(bar->value() - 1);
    }
    BoardTimer* steps = form->Timer(TimerId::Timer1);
    BoardTimer* lit = form->Timer(TimerId::Timer2);
    const TimePoint first = steps->deadline();
    const ArmedAfterTick afterStep(steps, lit, form.get());
    const ArmedAfterTick afterLit(lit, steps, form.get());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Timer(TimerId::Timer3)->isActive(); }, 3000));
    ASSERT_EQ(afterStep.deadlines.size(), 2u);
    ASSERT_EQ(afterLit.deadlines.size(), 2u);
    EXPECT_EQ(afterStep.deadlines[0], first + 200ms);
    EXPECT_EQ(afterLit.deadlines[0], first + 500ms);
    EXPECT_EQ(afterStep.deadlines[1], first + 700ms);
    EXPECT_EQ(afterLit.deadlines[1], TimePoint{}) << "a step after the last pad";
}

// A refused tone keeps the pad lit until the box is closed; its full lit time
// counts from then, not from the tick.
TEST_F(UiTest, AfterAToneWarningTheLitTimeCountsFromTheCall)
{
    newGameAt(2);
    const TimePoint step = form->Timer(TimerId::Timer1)->deadline();
    player.result = 0;
    TimePoint closed;
    // The box runs its own loop inside the tick, whenever that comes: only a
    // timer ticking in that loop can see it up and close it.
    QTimer answerer;
    answerer.setInterval(1);
    QObject::connect(&answerer, &QTimer::timeout, form.get(), [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) return;
        answerer.stop();
        QTest::qWait(100); // the player reads the box
        closed = BoardTimer::Clock::now();
        box->close();
    });
    answerer.start();
    const ArmedAfterTick afterStep(form->Timer(TimerId::Timer1), form->Timer(TimerId::Timer2), form.get());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !afterStep.deadlines.empty(); }, 3000));
    ASSERT_NE(closed, TimePoint{}) << "no warning box came up";
    EXPECT_GE(afterStep.deadlines[0], closed + 200ms);
    EXPECT_GT(afterStep.deadlines[0], step + 300ms);
}

} // namespace
} // namespace tolvex::uitest
