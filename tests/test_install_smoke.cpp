// The installed game, end to end: its launcher started from an unrelated
// folder on a private X server and audio server; the about window closed with
// a click, a pad pressed in free play and its tone heard on the sink's
// monitor; then the window closed and the process gone.
#include "game_process.h"
#include "monitor_recorder.h"
#include "pads.h"
#include "tone_analysis.h"
#include "wait_until.h"
#include "x_session.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QTemporaryDir>

using namespace tolvex;
using namespace std::chrono_literals;
using tolvex::testing::waitUntil;

namespace {

const QString kLauncher = QStringLiteral(TOLVEX_INSTALLED_ROOT "/usr/bin/tolvex");

} // namespace

TEST(InstalledGame, LauncherPlaysATonePressedInFreePlayAndCloses)
{
    x11::XvfbServer xvfb;
    ASSERT_FALSE(xvfb.name().empty()) << "Xvfb did not start";
    x11::XSession x(xvfb.name());
    ASSERT_TRUE(x.ok());

    tolvex::testing::MonitorRecorder recorder(QStringLiteral(TOLVEX_TEST_SINK ".monitor"));
    ASSERT_TRUE(recorder.start()) << recorder.diagnostics().toStdString();

    QTemporaryDir elsewhere;
    QProcess game;
    ASSERT_TRUE(tolvex::testing::startGame(game, kLauncher, elsewhere.path(), xvfb.name()));
    tolvex::testing::ProcessReaper reaper{game};

    const auto board = tolvex::testing::passAboutWindow(x);
    ASSERT_TRUE(board.has_value()) << "the about window did not come first, or did not close";

    // Pad 0, green, in the middle of its quarter of the ring.
    const tolvex::testing::PadFacts& pad = tolvex::testing::kPads[0];
    const x11::Rect client = tolvex::testing::clientArea(x, *board);
    const int padX = client.x + pad.middleX, padY = client.y + pad.middleY;
    ASSERT_TRUE(waitUntil([&] { return x.pixel(padX, padY) == pad.unlit; }, 5s)) << std::hex << x.pixel(padX, padY);
    const std::size_t before = recorder.mark();
    x.moveTo(padX, padY);
    x.press(1);
    EXPECT_TRUE(waitUntil([&] { return x.pixel(padX, padY) == pad.lit; }, 2s)) << "the pad did not light";
    ASSERT_TRUE(waitUntil([&] { return recorder.mark() >= before + 44100 * 6 / 10; }, 5s));
    x.release(1);
    EXPECT_TRUE(waitUntil([&] { return x.pixel(padX, padY) == pad.unlit; }, 2s)) << "the pad stayed lit";
    // A refused tone would have raised the warning box instead.
    EXPECT_FALSE(x.findWindow("Tolvex").has_value());

    const auto& s = recorder.samples();
    const long onset = tolvex::testing::firstLoudSample(s, before, 1000);
    ASSERT_GE(onset, 0) << "no tone on the sink";
    const double hz = tolvex::testing::dominantFrequency(s, static_cast<std::size_t>(onset), 44100 / 5, 44100);
    EXPECT_NEAR(hz, 415.0, 415.0 * 0.02);

    // Closing the window ends the program.
    x.closeWindow(*board);
    EXPECT_TRUE(game.waitForFinished(5000));
    EXPECT_EQ(game.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(game.exitCode(), 0);
    recorder.stop();
}

// The close button ends the program even while the about window, opened from
// the menu, blocks the main window.
TEST(InstalledGame, ClosingWhileAboutWindowIsOpenEndsProgram)
{
    x11::XvfbServer xvfb;
    ASSERT_FALSE(xvfb.name().empty()) << "Xvfb did not start";
    x11::XSession x(xvfb.name());
    ASSERT_TRUE(x.ok());
    QTemporaryDir elsewhere;
    QProcess game;
    ASSERT_TRUE(tolvex::testing::startGame(game, kLauncher, elsewhere.path(), xvfb.name()));
    tolvex::testing::ProcessReaper reaper{game};

    const auto board = tolvex::testing::passAboutWindow(x);
    ASSERT_TRUE(board.has_value());
    std::optional<unsigned long> menu;

    // "Ayuda", then its second item, "Acerca de...".
    const x11::Rect w = x.geometry(*board);
    x.click(w.x + 20, w.y + 8);
    ASSERT_TRUE(waitUntil([&] { return (menu = x.findPopupBelow(w.x, w.y + 8)).has_value(); }, 5s));
    const x11::Rect m = x.geometry(*menu);
    x.click(m.x + m.width / 2, m.y + m.height * 3 / 4);
    ASSERT_TRUE(x.waitForUntitled(284, 420, 5s).has_value());

    x.closeWindow(*board);
    EXPECT_TRUE(game.waitForFinished(5000)) << "the program went on with the about window open";
    EXPECT_EQ(game.exitCode(), 0);
}
