// Presses, judging, round completion, speed-up and the answer clock.
#include "engine_test_support.h"

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::testing;

namespace {

// A game at the chosen level, its sequence replaced, at the start of the player's turn
// with Clock() reading exactly 1000 s.
void turnWith(Rig& rig, const std::string& seq, int level = 0)
{
    rig.playToTurn(seq, level);
    rig.time.readNow(1000.0);
    Engine::Testing::setTurnStart(rig.engine, 1000.0f);
}

} // namespace

// A right press that does not complete lights, sounds, records and restarts the allowance.
TEST(Judging, RightPressContinuesTurn)
{
    Rig rig;
    turnWith(rig, "2013");
    rig.board.timeBar = 99.0f;
    rig.advance(20);
    rig.press(2);
    EXPECT_TRUE(rig.board.lit[2]);
    EXPECT_EQ(rig.player.files.back(), "Beep3.wav");
    EXPECT_EQ(rig.st().PlayerInput, "2");
    EXPECT_EQ(rig.st().PlayerTurn, kTrue);
    EXPECT_EQ(rig.board.timeBar, 0.0f);
    EXPECT_EQ(rig.st().TurnStart, rig.time.Clock());
    rig.release(2);
    EXPECT_FALSE(rig.board.lit[2]);
    EXPECT_TRUE(rig.board.running(TimerId::Timer3));
    EXPECT_FALSE(rig.board.running(TimerId::Timer1));
}

struct WrongCase {
    const char* name;
    std::string sequence;
    std::string presses;
    int blinkPad;
    const char* score;
};

class WrongPress : public ::testing::TestWithParam<WrongCase> {};

// A wrong pad still sounds, ends the turn, and its release blinks the pad that was due.
TEST_P(WrongPress, SetsUpFailureShowOnRelease)
{
    const WrongCase& c = GetParam();
    Rig rig;
    turnWith(rig, c.sequence, 1);
    const auto gap = rig.st().GapTime, lit = rig.st().LitTime;
    for (std::size_t i = 0; i + 1 < c.presses.size(); ++i) rig.click(c.presses[i] - '0');
    const int wrong = c.presses.back() - '0';
    rig.press(wrong);
    EXPECT_TRUE(rig.board.lit[wrong]);
    EXPECT_EQ(rig.player.files.back(), "Beep" + std::to_string(wrong + 1) + ".wav");
    EXPECT_EQ(rig.st().PlayerTurn, kFalse);
    EXPECT_EQ(rig.st().TimeLimitOn, kFalse);
    EXPECT_EQ(rig.st().Missed, kTrue);
    // Nothing is completed, even on the last press of the round.
    EXPECT_EQ(rig.st().Sequence, c.sequence);
    EXPECT_EQ(rig.st().GapTime, gap);
    EXPECT_EQ(rig.st().LitTime, lit);
    EXPECT_EQ(rig.st().Won, kFalse);
    // The answer clock runs on but can no longer end the turn.
    rig.advance(5000);
    EXPECT_TRUE(rig.board.running(TimerId::Timer3));
    EXPECT_EQ(rig.st().InputBlocked, kFalse);
    // Told once, when the show starts: the game, then the pad that was due.
    ASSERT_EQ(rig.board.events.size(), 1u);
    EXPECT_EQ(rig.board.events[0], (GameEvent{.kind = GameEvent::Kind::Started, .level = 1, .rounds = 15}));
    rig.release(wrong);
    ASSERT_EQ(rig.board.events.size(), 2u);
    EXPECT_EQ(rig.board.events[1], (GameEvent{.kind = GameEvent::Kind::WrongPad,
                                              .score = static_cast<std::int16_t>(std::stoi(c.score)),
                                              .duePad = static_cast<std::int16_t>(c.blinkPad)}));
    EXPECT_EQ(rig.board.score, std::string(c.score));
    EXPECT_EQ(rig.st().Round, c.blinkPad);
    EXPECT_EQ(rig.st().BlinkCount, 16);
    EXPECT_EQ(rig.st().InputBlocked, kTrue);
    EXPECT_EQ(rig.st().Missed, kFalse);
    EXPECT_FALSE(rig.board.running(TimerId::Timer3));
    EXPECT_TRUE(rig.board.running(TimerId::Timer5));
    EXPECT_FALSE(rig.board.running(TimerId::Timer1));
}

INSTANTIATE_TEST_SUITE_P(Cases, WrongPress,
                         ::testing::Values(WrongCase{"ThirdOfFour", "2013", "203", 1, "3"},
                                           WrongCase{"First", "2013", "0", 2, "3"},
                                           WrongCase{"LastOfRound", "2013", "2012", 3, "3"},
                                           WrongCase{"OnePad", "1", "3", 1, "0"}),
                         [](const auto& info) { return info.param.name; });

// A completed round grows the sequence, speeds up, and plays again 500 ms after the release.
TEST(Judging, CompletedRoundStartsNextPlaybackAfterRelease)
{
    Rig rig;
    turnWith(rig, "12");
    rig.time.randoms.push_back(FakeClock::forPad(3));
    rig.click(1);
    rig.press(2);
    EXPECT_EQ(rig.st().Sequence, "123");
    EXPECT_EQ(rig.st().Round, 3);
    EXPECT_EQ(rig.st().PlayPos, 0);
    EXPECT_EQ(rig.st().PlayerTurn, kFalse);
    EXPECT_EQ(rig.st().TimeLimitOn, kFalse);
    EXPECT_FALSE(rig.board.running(TimerId::Timer3));
    EXPECT_EQ(rig.st().GapTime, 285);
    EXPECT_EQ(rig.st().LitTime, 190);
    // Held for a long while: the next playback still waits for the release.
    rig.advance(4000);
    EXPECT_FALSE(rig.board.running(TimerId::Timer1));
    EXPECT_EQ(rig.st().InputBlocked, kFalse);
    EXPECT_EQ(rig.board.events.size(), 1u);
    rig.release(2);
    EXPECT_EQ(rig.board.score, "2");
    EXPECT_EQ(rig.board.events.back(), (GameEvent{.kind = GameEvent::Kind::RoundCompleted, .score = 2}));
    const std::int64_t released = rig.time.nowMs;
    const auto pads = rig.padEventsToTurn();
    ASSERT_EQ(pads.size(), 6u);
    EXPECT_EQ(pads[0], (LogEntry{released + 500, "lit 1"}));
    EXPECT_EQ(pads[1], (LogEntry{released + 690, "unlit 1"}));
    EXPECT_EQ(pads[2], (LogEntry{released + 975, "lit 2"}));
}

// The speed-up compounds per round and rounds half to even; it never reaches 0.
TEST(SpeedUp, TablesForFiveAndTwentyFivePercent)
{
    struct Row {
        std::int16_t percent;
        std::int32_t start;
        std::vector<std::int32_t> expected;
    };
    const Row rows[] = {
        {5, 200, {200, 190, 180, 171, 162}},
        {5, 300, {300, 285, 271, 257, 244}},
        {25, 200, {200, 150, 112, 84, 63, 47, 35, 26, 20, 15, 11, 8, 6, 4, 3, 2, 2, 2}},
        {25, 300, {300, 225, 169, 127, 95, 71, 53, 40, 30, 22, 16, 12, 9, 7, 5, 4, 3, 2, 2, 2}},
    };
    for (const Row& row : rows) {
        std::vector<std::int32_t> got{row.start};
        while (got.size() < row.expected.size()) got.push_back(Engine::SpeedUp(got.back(), row.percent));
        EXPECT_EQ(got, row.expected) << row.percent << "% from " << row.start;
    }
}

// The same tables come out of real play on "Buff!!".
TEST(SpeedUp, AppliedByEachCompletedRound)
{
    Rig rig;
    rig.startWithSequence("0", 3);
    std::vector<std::int32_t> lits{rig.st().LitTime}, gaps{rig.st().GapTime};
    for (int round = 0; round < 4; ++round) {
        rig.runToTurn();
        rig.answer();
        lits.push_back(rig.st().LitTime);
        gaps.push_back(rig.st().GapTime);
    }
    EXPECT_EQ(lits, (std::vector<std::int32_t>{200, 150, 112, 84, 63}));
    EXPECT_EQ(gaps, (std::vector<std::int32_t>{300, 225, 169, 127, 95}));
}

// Completing round RoundsToWin wins: score 10 through the win show, no further playback.
TEST(Judging, WinAtRoundsToWin)
{
    Rig rig;
    rig.startWithSequence("1");
    for (int round = 1; round < 10; ++round) {
        rig.runToTurn();
        rig.answer();
        ASSERT_EQ(rig.st().Won, kFalse) << round;
    }
    rig.runToTurn();
    ASSERT_EQ(rig.st().Sequence.size(), 10u);
    const std::string seq = rig.st().Sequence;
    for (std::size_t i = 0; i + 1 < seq.size(); ++i) rig.click(seq[i] - '0');
    rig.press(seq.back() - '0');
    EXPECT_EQ(rig.st().Won, kTrue);
    EXPECT_EQ(rig.st().Sequence.size(), 11u); // drawn but never played
    EXPECT_EQ(rig.st().Round, 11);
    rig.release(seq.back() - '0');
    EXPECT_EQ(rig.board.score, "10");
    // The game, each of the nine rounds short of the win, then the win.
    std::vector<GameEvent> told = {{.kind = GameEvent::Kind::Started, .level = 0, .rounds = 10}};
    for (std::int16_t round = 1; round < 10; ++round)
        told.push_back({.kind = GameEvent::Kind::RoundCompleted, .score = round});
    told.push_back({.kind = GameEvent::Kind::Won, .score = 10});
    EXPECT_EQ(rig.board.events, told);
    EXPECT_EQ(rig.st().GameOver, kTrue);
    EXPECT_EQ(rig.st().Round, 0);
    EXPECT_EQ(rig.st().ShowPad, 0);
    EXPECT_EQ(rig.st().BlinkCount, 32);
    EXPECT_TRUE(rig.board.running(TimerId::Timer4));
    EXPECT_FALSE(rig.board.running(TimerId::Timer1));
    EXPECT_FALSE(rig.board.running(TimerId::Timer3));
    rig.advance(1500);
    EXPECT_EQ(rig.board.score, "10");
    EXPECT_EQ(rig.st().Won, kTrue);
}

// The bar grows linearly to the frame width less 60 twips over the allowance.
TEST(AnswerClock, TimeBarWidth)
{
    Rig rig;
    turnWith(rig, "0");
    Engine::Testing::setTurnStart(rig.engine, rig.time.Clock());
    const std::pair<std::int64_t, float> samples[] = {{500, 172.5f}, {1500, 517.5f}, {3000, 1035.0f}};
    std::int64_t at = 0;
    for (const auto& [ms, width] : samples) {
        rig.advance(ms - at);
        at = ms;
        EXPECT_FLOAT_EQ(rig.board.timeBar, width) << ms;
    }
    // The frame is read afresh at every tick.
    Engine::Testing::setTurnStart(rig.engine, rig.time.Clock() - 1.5f);
    rig.engine.OnTimeBarSpan(660.0f);
    rig.advance(50);
    EXPECT_NEAR(rig.board.timeBar, 600.0f / 3 * 1.55f, 0.01f);
}

struct TimeoutCase {
    const char* name;
    std::int64_t pressAt; // ms after the hand-over, -1 for no press
    std::int64_t timeoutAt;
};

class Timeout : public ::testing::TestWithParam<TimeoutCase> {};

// Exactly the allowance is no timeout; the first tick past it is.
TEST_P(Timeout, FirstTickPastAllowanceEndsTurn)
{
    const TimeoutCase& c = GetParam();
    Rig rig;
    turnWith(rig, "2013");
    const std::int64_t start = rig.time.nowMs;
    if (c.pressAt >= 0) {
        rig.advance(c.pressAt);
        rig.click(2);
    }
    while (rig.st().InputBlocked == kFalse && rig.time.nowMs - start < 10000) rig.advance(1);
    EXPECT_EQ(rig.time.nowMs - start, c.timeoutAt);
    EXPECT_EQ(rig.st().Round, c.pressAt >= 0 ? 0 : 2); // the pad that was due
    EXPECT_EQ(rig.st().TimeLimitOn, kFalse);
    EXPECT_FALSE(rig.board.running(TimerId::Timer3));
    EXPECT_TRUE(rig.board.running(TimerId::Timer5));
    EXPECT_EQ(rig.board.score, "0");       // rounds completed before this turn
    EXPECT_GT(rig.board.timeBar, 1000.0f); // kept until the show ends
    const std::int16_t due = c.pressAt >= 0 ? 0 : 2;
    EXPECT_EQ(rig.board.events.back(), (GameEvent{.kind = GameEvent::Kind::TimeUp, .score = 3, .duePad = due}));
}

INSTANTIATE_TEST_SUITE_P(Cases, Timeout,
                         ::testing::Values(TimeoutCase{"NoPressExactlyThreeIsNotOver", -1, 3050},
                                           TimeoutCase{"PressOnTickBoundary", 50, 3100},
                                           TimeoutCase{"PressJustBefore", 49, 3050},
                                           TimeoutCase{"PressJustAfter", 51, 3100}),
                         [](const auto& info) { return info.param.name; });

// A right pad held past the allowance times out while held; its release is ignored.
TEST(AnswerClock, HeldRightPadTimesOut)
{
    Rig rig;
    turnWith(rig, "2013");
    rig.press(2);
    rig.advance(3050);
    EXPECT_EQ(rig.st().InputBlocked, kTrue);
    EXPECT_EQ(rig.st().Round, 0);
    rig.advance(100); // first show tick unlights the held pad, lights pad 0
    EXPECT_FALSE(rig.board.lit[2]);
    EXPECT_TRUE(rig.board.lit[0]);
    const auto before = rig.board.log.size();
    rig.release(2);
    EXPECT_EQ(rig.board.log.size(), before);
}

// A wrong pad held past the allowance times nothing out; the show starts at its release.
TEST(AnswerClock, HeldWrongPadDoesNotTimeOut)
{
    Rig rig;
    turnWith(rig, "2013");
    rig.press(1);
    rig.advance(6000);
    EXPECT_EQ(rig.st().InputBlocked, kFalse);
    rig.release(1);
    EXPECT_EQ(rig.st().InputBlocked, kTrue);
    EXPECT_EQ(rig.st().Round, 2);
}

// An allowance that spans midnight is timed by the day's wrap, not as negative time.
TEST(AnswerClock, MidnightWrap)
{
    Rig rig;
    turnWith(rig, "0");
    rig.time.readNow(86399.0);
    Engine::Testing::setTurnStart(rig.engine, 86399.0f);
    rig.advance(1500); // Clock reads about 0.5 now
    EXPECT_NEAR(rig.board.timeBar, 517.5f, 2.0f);
    EXPECT_EQ(rig.st().InputBlocked, kFalse);
    rig.advance(1600);
    EXPECT_EQ(rig.st().InputBlocked, kTrue);
}

// In free play a press lights and sounds only; nothing is judged or timed.
TEST(FreePlay, PressLightsAndSoundsOnly)
{
    Rig rig;
    rig.startUp();
    const GameState before = rig.st();
    for (int pad = 0; pad < 4; ++pad) {
        rig.press(pad);
        EXPECT_TRUE(rig.board.lit[pad]);
        rig.release(pad);
        EXPECT_FALSE(rig.board.lit[pad]);
    }
    EXPECT_EQ(rig.player.files, (std::vector<std::string>{"Beep1.wav", "Beep2.wav", "Beep3.wav", "Beep4.wav"}));
    GameState expected = before;
    expected.CurrentPad = 3;
    expected.ToneResult = rig.player.result;
    EXPECT_EQ(rig.st(), expected);
    EXPECT_EQ(rig.board.runningCount(), 0);
    EXPECT_EQ(rig.board.score, "0");
}

// A release during the win show only darkens its pad: no playback, no score, no new show.
TEST(Release, DuringWinShowOnlyShowsUnlit)
{
    Rig rig;
    turnWith(rig, "3");
    Engine::Testing::setRoundsToWin(rig.engine, 1);
    rig.click(3);
    ASSERT_TRUE(rig.board.running(TimerId::Timer4));
    rig.advance(250);
    const GameState mid = rig.st();
    rig.press(1);
    EXPECT_FALSE(rig.board.lit[1]); // presses do nothing during the show
    rig.release(1);
    EXPECT_EQ(rig.board.log.back().what, "unlit 1");
    EXPECT_FALSE(rig.board.running(TimerId::Timer1));
    EXPECT_EQ(rig.board.score, "1");
    EXPECT_EQ(rig.st().BlinkCount, mid.BlinkCount);
    EXPECT_EQ(rig.st().ShowPad, mid.ShowPad);
}

// A game lost on time ends, after its failure show, idle: "Nuevo Juego" back, score 0, bar empty.
TEST(Judging, FullGameLostByTimeoutEndsInIdle)
{
    Rig rig;
    rig.playToTurn("2");
    rig.answer();
    rig.runToTurn();
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(rig.st().GameOver, kTrue);
    EXPECT_EQ(rig.st().PlayerTurn, kTrue);
    EXPECT_EQ(rig.st().InputBlocked, kFalse);
    EXPECT_TRUE(rig.board.newGameEnabled);
    EXPECT_EQ(rig.board.score, "0");
    EXPECT_EQ(rig.board.timeBar, 0.0f);
}
