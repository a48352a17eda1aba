// Start-up, new game and the return to idle.
#include "engine_test_support.h"

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::testing;

// Start-up leaves the engine idle with every documented value in place.
TEST(StartUp, LeavesEngineIdleInFreePlay)
{
    Rig rig;
    bool mainStillHidden = false;
    rig.board.onAbout = [&] { mainStillHidden = rig.board.score == "0"; };
    // Not what start-up shows, as the board's score "999" is not, so that each check below can fail.
    rig.board.newGameEnabled = rig.board.levelsEnabled = false;
    rig.board.timeBar = -1.0f;
    rig.startUp();
    const GameState& s = rig.st();
    EXPECT_EQ(s.GameOver, kTrue);
    EXPECT_EQ(s.PlayerTurn, kTrue);
    EXPECT_EQ(s.TimeLimitOn, kFalse);
    EXPECT_EQ(s.InputBlocked, kFalse);
    EXPECT_EQ(s.TimeLimitSecs, 3);
    EXPECT_EQ(s.Sequence, "");
    EXPECT_EQ(s.LitTime, 0);
    EXPECT_EQ(s.GapTime, 0);
    EXPECT_EQ(rig.board.score, "0");
    EXPECT_EQ(rig.board.gapText, "0");
    EXPECT_EQ(rig.board.litText, "0");
    EXPECT_TRUE(rig.board.newGameEnabled);
    EXPECT_TRUE(rig.board.levelsEnabled);
    EXPECT_EQ(rig.board.timeBar, 0.0f);
    EXPECT_EQ(rig.board.runningCount(), 0);
    EXPECT_EQ(rig.time.seeds, 1);
    // The about window is the last step: everything else is done before it.
    EXPECT_EQ(rig.board.abouts, 1);
    EXPECT_TRUE(mainStillHidden);
    const auto& n = rig.engine.Naming();
    EXPECT_EQ(n.SoundDir, "");
    EXPECT_EQ(n.SoundNames, (std::array<std::string, 4>{"Beep", "Campana", "Ham", "Ram"}));
}

struct LevelCase {
    int chosen; // -1: none chosen
    std::int16_t rounds, percent;
};

std::string levelName(int chosen)
{
    static const char* const names[] = {"None", "Facil", "Medio", "Dificil", "Buff"};
    return names[chosen + 1];
}

class NewGameLevel : public ::testing::TestWithParam<LevelCase> {};

// The level is read at each new game; with none chosen the last values stay.
TEST_P(NewGameLevel, SetsRoundsAndSpeedUpFromLevel)
{
    const LevelCase c = GetParam();
    Rig rig;
    rig.startWithSequence("2", c.chosen);
    EXPECT_EQ(rig.st().RoundsToWin, c.rounds);
    EXPECT_EQ(rig.st().SpeedUpPercent, c.percent);
}

INSTANTIATE_TEST_SUITE_P(Levels, NewGameLevel,
                         ::testing::Values(LevelCase{0, 10, 5}, LevelCase{1, 15, 10}, LevelCase{2, 20, 15},
                                           LevelCase{3, 30, 25}, LevelCase{-1, 0, 0}),
                         [](const auto& info) { return levelName(info.param.chosen); });

// When more than one button answers, the highest index counts.
TEST(NewGame, LastChosenLevelWins)
{
    Rig rig;
    rig.chooseLevel(1);
    rig.engine.OnLevelChoice(2, true);
    rig.startUp();
    rig.engine.OnNewGameClick();
    EXPECT_EQ(rig.st().RoundsToWin, 20);
    EXPECT_EQ(rig.st().SpeedUpPercent, 15);
}

// A lookup that finds nothing keeps the previous game's level.
TEST(NewGame, NoLevelChosenKeepsPreviousValues)
{
    Rig rig;
    rig.playToTurn("0", 3);
    rig.click(1); // wrong
    ASSERT_TRUE(rig.settle());
    rig.chooseLevel(-1);
    rig.newGameWith(0);
    EXPECT_EQ(rig.st().RoundsToWin, 30);
    EXPECT_EQ(rig.st().SpeedUpPercent, 25);
}

// A new game draws one pad, resets the timings and disables the choices.
TEST(NewGame, StartsFreshGameAndDisablesChoices)
{
    Rig rig;
    rig.startUp();
    rig.engine.OnGapSetting(800);
    rig.engine.OnLitSetting(900);
    rig.newGameWith(3);
    const GameState& s = rig.st();
    EXPECT_EQ(s.Sequence, "3");
    EXPECT_EQ(s.Round, 1);
    EXPECT_EQ(s.PlayPos, 0);
    EXPECT_EQ(s.PlayerTurn, kFalse);
    EXPECT_EQ(s.GameOver, kFalse);
    EXPECT_EQ(s.LitTime, 200);
    EXPECT_EQ(s.GapTime, 300);
    // The hidden labels keep showing what the settings last wrote.
    EXPECT_EQ(rig.board.gapText, "800");
    EXPECT_EQ(rig.board.litText, "900");
    EXPECT_FALSE(rig.board.newGameEnabled);
    EXPECT_FALSE(rig.board.levelsEnabled);
    EXPECT_EQ(rig.board.score, "0");
    EXPECT_TRUE(rig.board.running(TimerId::Timer1));
    EXPECT_EQ(rig.board.runningCount(), 1);
}

// Random draws map to pads by floor(r * 4); 1.0 from a faulty generator stays a pad.
TEST(NewGame, RandomDrawMapsToPads)
{
    const std::pair<float, const char*> cases[] = {{0.0f, "0"},  {0.2499f, "0"},  {0.25f, "1"}, {0.5f, "2"},
                                                   {0.75f, "3"}, {0.99999f, "3"}, {1.0f, "3"}};
    for (const auto& [r, digit] : cases) {
        Rig rig;
        rig.startUp();
        rig.time.randoms.push_back(r);
        rig.engine.OnNewGameClick();
        EXPECT_EQ(rig.st().Sequence, digit) << "random " << r;
    }
}

// Idle, entered at the end of a show, stops only the answer clock and leaves
// the blocking flag alone.
TEST(EnterIdle, StopsOnlyAnswerClock)
{
    Rig rig;
    rig.playToTurn("2");
    Engine::Testing::setRoundsToWin(rig.engine, 1);
    rig.click(2); // the win show starts
    for (auto t : {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3, TimerId::Timer5})
        rig.board.SetTimer(t, 1000000); // running, and not due before the show ends
    Engine::Testing::setInputBlocked(rig.engine, true);
    ASSERT_EQ(rig.st().Won, kTrue);
    for (int tick = 0; tick < 40 && rig.board.running(TimerId::Timer4); ++tick) rig.advance(100);
    ASSERT_FALSE(rig.board.running(TimerId::Timer4));
    EXPECT_FALSE(rig.board.running(TimerId::Timer3));
    EXPECT_EQ(rig.board.runningCount(), 3);
    EXPECT_EQ(rig.st().InputBlocked, kTrue);
    EXPECT_EQ(rig.st().Won, kFalse);
    EXPECT_EQ(rig.st().Missed, kFalse);
}

// The hidden settings store and show their value; a new game overrides only the value.
TEST(SpeedSettings, StoreAndShowValue)
{
    Rig rig;
    rig.startUp();
    rig.engine.OnGapSetting(0);
    rig.engine.OnLitSetting(1000);
    EXPECT_EQ(rig.st().GapTime, 0);
    EXPECT_EQ(rig.st().LitTime, 1000);
    EXPECT_EQ(rig.board.gapText, "0");
    EXPECT_EQ(rig.board.litText, "1000");
}
