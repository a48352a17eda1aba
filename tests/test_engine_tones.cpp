// Tone file names, silence, the refused-tone warning and the one-handler gate.
#include "engine_test_support.h"
#include "tone_files.h"

#include <gtest/gtest.h>

using namespace tolvex;
using namespace tolvex::testing;

// Every set and pad asks for its own file; the stems differ from the captions.
TEST(Tones, FileNameForEverySetAndPad)
{
    const char* expected[4][4] = {{"Beep1.wav", "Beep2.wav", "Beep3.wav", "Beep4.wav"},
                                  {"Campana1.wav", "Campana2.wav", "Campana3.wav", "Campana4.wav"},
                                  {"Ham1.wav", "Ham2.wav", "Ham3.wav", "Ham4.wav"},
                                  {"Ram1.wav", "Ram2.wav", "Ram3.wav", "Ram4.wav"}};
    Rig rig;
    rig.startUp();
    for (int set = 1; set <= 4; ++set) {
        rig.chooseSoundSet(set);
        for (int pad = 0; pad < 4; ++pad) {
            rig.click(pad); // free play sounds the pad
            EXPECT_EQ(rig.player.files.back(), expected[set - 1][pad]);
        }
    }
}

// SoundDir goes in front of every name.
TEST(Tones, SoundDirPrefixesName)
{
    const SoundNaming naming = shippedNaming("tones/");
    EXPECT_EQ(toneFileName(naming, 4, 3), "tones/Ram4.wav");
}

// "Sin sonido" silences playback, presses and both shows, and keeps ToneResult.
TEST(Tones, SilenceInEveryPhase)
{
    Rig rig;
    rig.startUp();
    rig.player.result = 77;
    rig.click(0); // the last answer of a set that sounds
    rig.player.files.clear();
    rig.chooseSoundSet(0);
    rig.player.result = 0; // a call would raise a warning
    rig.click(1);          // free play
    rig.newGameWith(2);
    rig.runToTurn(); // playback
    rig.click(2);    // right press
    rig.runToTurn();
    rig.click(rig.st().Sequence[0] == '0' ? 1 : 0); // wrong press, failure show
    ASSERT_TRUE(rig.settle());
    rig.newGameWith(3);
    Engine::Testing::setRoundsToWin(rig.engine, 1);
    rig.runToTurn();
    rig.click(3); // win show
    ASSERT_TRUE(rig.settle());
    EXPECT_TRUE(rig.player.files.empty());
    EXPECT_TRUE(rig.board.warnings.empty());
    EXPECT_EQ(rig.st().ToneResult, 77);
}

// A change of set mid-playback sounds the very next pad in the new set.
TEST(Tones, SetChangeTakesEffectAtNextTone)
{
    Rig rig;
    rig.startWithSequence("012");
    rig.advance(600);
    rig.chooseSoundSet(4);
    rig.runToTurn();
    EXPECT_EQ(rig.player.files, (std::vector<std::string>{"Beep1.wav", "Ram2.wav", "Ram3.wav"}));
}

// A refused tone raises the exact warning, once per tone, and changes nothing else.
TEST(Tones, RefusedToneWarnsOncePerTone)
{
    Rig rig;
    rig.startUp();
    rig.player.result = 0;
    rig.press(2);
    ASSERT_EQ(rig.board.warnings.size(), 1u);
    EXPECT_EQ(rig.board.warnings[0],
              "No puedo ejecutar el fichero .WAV!\rCierra la aplicación que hayas abierto y pulsa Aceptar.");
    EXPECT_EQ(rig.board.warnings[0].find('\n'), std::string::npos);
    EXPECT_EQ(rig.st().ToneResult, 0);
    EXPECT_TRUE(rig.board.lit[2]);
    rig.release(2);
    rig.newGameWith(1);
    Engine::Testing::setSequence(rig.engine, "1302");
    rig.runToTurn();
    EXPECT_EQ(rig.board.warnings.size(), 1u + 4u);
    rig.player.result = 5;
    rig.press(1);
    EXPECT_EQ(rig.st().ToneResult, 5);
    EXPECT_EQ(rig.board.warnings.size(), 5u);
}

// Ticks delivered while a warning is open are dropped, so no show step or
// timeout runs inside an unfinished handler; periodic timers tick again after.
TEST(HandlerGate, TicksInsideWarningAreDropped)
{
    Rig rig;
    rig.playToTurn("01");
    rig.player.result = 0;
    // The player sits on the warning of the first press for five seconds:
    // far past the allowance, but that press has not been judged yet.
    rig.board.onWarning = [&] {
        EXPECT_TRUE(rig.engine.HandlerRunning());
        rig.advance(5000);
    };
    const std::size_t ticksBefore = rig.ticks.size();
    rig.press(0);
    EXPECT_GE(rig.ticks.size() - ticksBefore, 99u); // Timer3 kept ticking in the box
    EXPECT_EQ(rig.st().InputBlocked, kFalse);       // but judged nothing
    EXPECT_EQ(rig.st().PlayerInput, "0");
    EXPECT_EQ(rig.st().TurnStart, rig.time.Clock());
    rig.board.onWarning = nullptr;
    rig.release(0);
    rig.advance(2900);
    EXPECT_EQ(rig.st().InputBlocked, kFalse);
    rig.advance(200);
    EXPECT_EQ(rig.st().InputBlocked, kTrue); // timed out from the judged press
}

// A failing tone inside a show step: later ticks wait for the step to finish.
TEST(HandlerGate, ShowStepsNeverNest)
{
    Rig rig;
    rig.playToTurn("1");
    rig.click(2); // wrong: failure show on pad 1
    rig.player.result = 0;
    int warnings = 0;
    rig.board.onWarning = [&] {
        ++warnings;
        rig.advance(350); // three ticks of Timer5 arrive inside
    };
    std::vector<std::int16_t> counts;
    while (rig.board.running(TimerId::Timer5)) {
        counts.push_back(rig.st().BlinkCount);
        rig.advance(100);
    }
    EXPECT_EQ(warnings, 8);
    // Every step ran once, in order, however many ticks were dropped.
    EXPECT_EQ(counts.size(), 16u);
    for (std::size_t i = 0; i < counts.size(); ++i) EXPECT_EQ(counts[i], 16 - static_cast<int>(i));
    EXPECT_EQ(rig.st().InputBlocked, kFalse);
    EXPECT_EQ(rig.board.lit, (std::array<bool, 4>{}));
}

// Presses and clicks cannot nest inside a handler either.
TEST(HandlerGate, InputInsideHandlerIsRefused)
{
    Rig rig;
    rig.startUp();
    rig.player.result = 0;
    rig.board.onWarning = [&] {
        rig.engine.OnPadDown(3);
        rig.engine.OnNewGameClick();
        rig.engine.OnGapSetting(999);
    };
    rig.press(1);
    EXPECT_FALSE(rig.board.lit[3]);
    EXPECT_EQ(rig.st().GameOver, kTrue);
    EXPECT_EQ(rig.st().GapTime, 0);
    EXPECT_FALSE(rig.engine.HandlerRunning());
}
