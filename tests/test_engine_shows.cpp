// The win and failure light shows, tick by tick.
#include "engine_test_support.h"

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::testing;

namespace {

// Win on a one-pad game: the release sets the show up at `released`.
std::int64_t winOnePad(Rig& rig)
{
    rig.playToTurn("2");
    Engine::Testing::setRoundsToWin(rig.engine, 1);
    rig.click(2);
    return rig.time.nowMs;
}

} // namespace

// Four rounds of 0, 1, 2, 3, each lit one tick with its tone and dark the next.
TEST(WinShow, RunsTheLightRoundFourTimes)
{
    Rig rig;
    const std::int64_t t0 = winOnePad(rig);
    const std::size_t from = rig.board.log.size();
    const std::size_t tonesBefore = rig.player.files.size();
    rig.advance(3200);
    std::vector<LogEntry> expected;
    for (int k = 1; k <= 32; ++k) {
        const int pad = ((k - 1) / 2) % 4;
        expected.push_back({t0 + 100 * k, (k % 2 ? "lit " : "unlit ") + std::to_string(pad)});
    }
    EXPECT_EQ(rig.padEventsSince(from), expected);
    std::vector<std::string> tones(rig.player.files.begin() + tonesBefore, rig.player.files.end());
    ASSERT_EQ(tones.size(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(tones[i], "Beep" + std::to_string(i % 4 + 1) + ".wav");
    // Ends in idle with every pad dark and the show's own timer stopped.
    EXPECT_EQ(rig.board.lit, (std::array<bool, 4>{}));
    EXPECT_EQ(rig.st().ShowPad, 0);
    EXPECT_EQ(rig.st().BlinkCount, 0);
    EXPECT_EQ(rig.st().Won, kFalse);
    EXPECT_EQ(rig.st().GameOver, kTrue);
    EXPECT_EQ(rig.board.score, "0");
    EXPECT_TRUE(rig.board.newGameEnabled);
    EXPECT_EQ(rig.board.runningCount(), 0);
    EXPECT_EQ(rig.st().CurrentPad, 2); // the show never moves it
}

struct FailCase {
    const char* name;
    int wrongPad; // -1: no press, the time runs out
    int lastLit;  // CurrentPad when the show starts
    int blinkPad; // the pad that was due
};

class FailShow : public ::testing::TestWithParam<FailCase> {};

// First tick darkens CurrentPad, then the due pad blinks eight times with its tone.
TEST_P(FailShow, BlinksTheDuePadEightTimes)
{
    const FailCase& c = GetParam();
    Rig rig;
    rig.playToTurn(std::to_string(c.blinkPad));
    if (c.wrongPad >= 0) {
        rig.click(c.wrongPad);
    } else {
        while (!rig.board.running(TimerId::Timer5)) rig.advance(1);
    }
    ASSERT_EQ(rig.st().CurrentPad, c.lastLit);
    const std::int64_t t0 = rig.time.nowMs;
    const std::size_t from = rig.board.log.size();
    const std::size_t tonesBefore = rig.player.files.size();
    rig.advance(1600);
    std::vector<LogEntry> expected{{t0 + 100, "unlit " + std::to_string(c.lastLit)}};
    for (int k = 1; k <= 16; ++k)
        expected.push_back({t0 + 100 * k, (k % 2 ? "lit " : "unlit ") + std::to_string(c.blinkPad)});
    EXPECT_EQ(rig.padEventsSince(from), expected);
    EXPECT_EQ(rig.player.files.size() - tonesBefore, 8u);
    EXPECT_EQ(rig.player.files.back(), "Beep" + std::to_string(c.blinkPad + 1) + ".wav");
    EXPECT_EQ(rig.st().InputBlocked, kFalse);
    EXPECT_EQ(rig.st().GameOver, kTrue);
    EXPECT_EQ(rig.board.runningCount(), 0);
    EXPECT_EQ(rig.board.lit, (std::array<bool, 4>{}));
}

INSTANTIATE_TEST_SUITE_P(Cases, FailShow,
                         ::testing::Values(FailCase{"WrongPad", 0, 0, 3}, FailCase{"TimeoutOnLastPlayedPad", -1, 1, 1}),
                         [](const auto& info) { return info.param.name; });

// Presses and releases during the failure show change nothing and sound nothing.
TEST(FailShow, InputIgnoredUntilLastTick)
{
    Rig rig;
    rig.playToTurn("1");
    rig.click(0);
    rig.advance(1550);
    const GameState before = rig.st();
    const std::size_t logged = rig.board.log.size(), tones = rig.player.files.size();
    for (int pad = 0; pad < 4; ++pad) rig.click(pad);
    EXPECT_EQ(rig.board.log.size(), logged);
    EXPECT_EQ(rig.player.files.size(), tones);
    EXPECT_EQ(rig.st().BlinkCount, before.BlinkCount);
    rig.advance(50);
    rig.press(2);
    EXPECT_TRUE(rig.board.lit[2]); // free play again
}

// A tick that arrives after the show was stopped changes nothing.
TEST(Shows, TickWithZeroCountDoesNothing)
{
    for (TimerId t : {TimerId::Timer4, TimerId::Timer5}) {
        Rig rig;
        if (t == TimerId::Timer4) {
            winOnePad(rig);
        } else {
            rig.playToTurn("2");
            rig.click(1);
        }
        ASSERT_TRUE(rig.settle());
        const auto logged = rig.board.log.size();
        rig.engine.OnTimer(t);
        EXPECT_EQ(rig.board.log.size(), logged);
        EXPECT_EQ(rig.st().BlinkCount, 0);
    }
}

// With no sound both shows keep their timing and ask for no file.
TEST(Shows, SilentShowsKeepTiming)
{
    Rig rig;
    const std::int64_t t0 = winOnePad(rig);
    rig.chooseSoundSet(0);
    const std::size_t tones = rig.player.files.size();
    rig.advance(3199);
    EXPECT_TRUE(rig.board.running(TimerId::Timer4));
    rig.advance(1);
    EXPECT_EQ(rig.time.nowMs, t0 + 3200);
    EXPECT_EQ(rig.board.runningCount(), 0);
    EXPECT_EQ(rig.player.files.size(), tones);
    EXPECT_TRUE(rig.board.warnings.empty());
}
