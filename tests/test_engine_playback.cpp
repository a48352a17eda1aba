// Sequence playback: the timeline to the millisecond and the hand-over.
#include "engine_test_support.h"

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::testing;

struct TimelineCase {
    const char* name;
    std::string sequence;
    std::vector<LogEntry> expected; // pad events from the new game on
    std::int64_t handOver;
};

class PlaybackTimeline : public ::testing::TestWithParam<TimelineCase> {};

// Pad k lights at 500 + (k-1)(L+G), goes dark L later; the turn begins as the last goes dark.
TEST_P(PlaybackTimeline, LightsAndDarkensOnSchedule)
{
    const TimelineCase& c = GetParam();
    Rig rig;
    rig.startWithSequence(c.sequence);
    const auto pads = rig.padEventsToTurn();
    EXPECT_EQ(rig.time.nowMs, c.handOver);
    EXPECT_EQ(pads, c.expected);
    EXPECT_EQ(rig.st().TurnStart, rig.time.Clock());
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, PlaybackTimeline,
    ::testing::Values(
        TimelineCase{"OnePad", "2", {{500, "lit 2"}, {700, "unlit 2"}}, 700},
        TimelineCase{
            "ThreePads",
            "031",
            {{500, "lit 0"}, {700, "unlit 0"}, {1000, "lit 3"}, {1200, "unlit 3"}, {1500, "lit 1"}, {1700, "unlit 1"}},
            1700},
        TimelineCase{
            "SamePadTwice", "22", {{500, "lit 2"}, {700, "unlit 2"}, {1000, "lit 2"}, {1200, "unlit 2"}}, 1200}),
    [](const auto& info) { return info.param.name; });

// Each lit step sounds its pad, so the same pad twice sounds twice.
TEST(Playback, EveryStepSoundsItsPad)
{
    Rig rig;
    rig.playToTurn("2203");
    EXPECT_EQ(rig.player.files, (std::vector<std::string>{"Beep3.wav", "Beep3.wav", "Beep1.wav", "Beep4.wav"}));
}

// After the hand-over only the answer clock runs and the turn is fresh.
TEST(Playback, HandOverState)
{
    Rig rig;
    rig.playToTurn("130");
    const GameState& s = rig.st();
    EXPECT_EQ(s.CurrentPad, 0);
    EXPECT_EQ(s.PlayPos, 3);
    EXPECT_EQ(s.PlayerInput, "");
    EXPECT_EQ(s.PlayerTurn, kTrue);
    EXPECT_EQ(s.TimeLimitOn, kTrue);
    EXPECT_TRUE(rig.board.running(TimerId::Timer3));
    EXPECT_EQ(rig.board.runningCount(), 1);
}

// A press during playback neither lights nor sounds nor judges.
TEST(Playback, PressDuringPlaybackDoesNothing)
{
    Rig rig;
    rig.startWithSequence("01");
    rig.advance(800); // in the gap after pad 0
    const auto before = rig.st();
    const std::size_t logged = rig.board.log.size();
    rig.press(3);
    EXPECT_EQ(rig.board.log.size(), logged);
    EXPECT_TRUE(rig.player.files.size() == 1);
    EXPECT_EQ(rig.st().PlayerInput, before.PlayerInput);
    rig.release(3); // only shows the pad unlit
    EXPECT_EQ(rig.board.log.back().what, "unlit 3");
    EXPECT_FALSE(rig.board.running(TimerId::Timer1) && rig.board.running(TimerId::Timer2));
    rig.runToTurn();
    EXPECT_EQ(rig.time.nowMs, 1200);
}

// A setting changed mid-playback applies to the next timer armed, not the running one.
TEST(Playback, SpeedSettingTakesEffectWithNextTimer)
{
    Rig rig;
    rig.startWithSequence("012");
    rig.advance(600); // pad 0 lit since 500, Timer2 armed with 200
    rig.engine.OnLitSetting(50);
    rig.engine.OnGapSetting(100);
    EXPECT_EQ(
        rig.padEventsToTurn(),
        (std::vector<LogEntry>{{700, "unlit 0"}, {800, "lit 1"}, {850, "unlit 1"}, {950, "lit 2"}, {1000, "unlit 2"}}));
}

// A setting of 0 still moves the playback on, 1 ms at a time.
TEST(Playback, ZeroSettingNeverStalls)
{
    Rig rig;
    rig.startWithSequence("01");
    rig.advance(100);
    rig.engine.OnLitSetting(0);
    rig.engine.OnGapSetting(0);
    EXPECT_EQ(rig.board.litText, "0");
    EXPECT_EQ(rig.padEventsToTurn(5000),
              (std::vector<LogEntry>{{500, "lit 0"}, {501, "unlit 0"}, {502, "lit 1"}, {503, "unlit 1"}}));
    EXPECT_EQ(rig.st().LitTime, 0);
}

// A step that finds the playback already complete only stops its timer.
TEST(Playback, StepPastTheEndLightsNothing)
{
    Rig rig;
    rig.playToTurn("3");
    const auto before = rig.st();
    rig.board.SetTimer(TimerId::Timer1, 10);
    const std::size_t logged = rig.board.log.size();
    rig.advance(10);
    EXPECT_EQ(rig.board.log.size(), logged);
    EXPECT_FALSE(rig.board.running(TimerId::Timer1));
    EXPECT_FALSE(rig.board.running(TimerId::Timer2));
    EXPECT_EQ(rig.st().PlayPos, before.PlayPos);
}

// A refused tone keeps the pad lit through the warning, then a full LitTime follows.
TEST(Playback, ToneWarningPausesWithPadLit)
{
    Rig rig;
    rig.startWithSequence("10");
    rig.player.result = 0;
    bool litDuringWarning = false;
    rig.board.onWarning = [&] {
        litDuringWarning = rig.board.lit[rig.st().CurrentPad];
        rig.advance(2000); // the player reads the box for two seconds
    };
    const auto pads = rig.padEventsToTurn(20000);
    EXPECT_TRUE(litDuringWarning);
    EXPECT_EQ(rig.board.warnings.size(), 2u);
    EXPECT_EQ(pads, (std::vector<LogEntry>{{500, "lit 1"}, {2700, "unlit 1"}, {3000, "lit 0"}, {5200, "unlit 0"}}));
    EXPECT_EQ(rig.time.nowMs, 5200);
}

// Timer1 and Timer2 are never armed together during a playback.
TEST(Playback, OneTimerAtATime)
{
    Rig rig;
    rig.startWithSequence("0123012301");
    while (!rig.st().PlayerTurn) {
        rig.advance(1);
        ASSERT_FALSE(rig.board.running(TimerId::Timer1) && rig.board.running(TimerId::Timer2)) << rig.time.nowMs;
    }
}
