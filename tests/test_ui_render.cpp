// What the windows look like: pixels of the grabbed main and about windows.
#include "pads.h"
#include "test_ui_support.h"

#include <QImage>

namespace tolvex::uitest {
namespace {

using testing::kPads;

// The middle of each quarter of the ring: half way between the inner and
// outer radius, on the diagonal from the board's centre near (192, 190).
QPoint quarterMiddle(int pad) { return {kPads[pad].middleX, kPads[pad].middleY}; }

::testing::AssertionResult near(QRgb seen, QRgb wanted, int slack = 24)
{
    if (std::abs(qRed(seen) - qRed(wanted)) <= slack && std::abs(qGreen(seen) - qGreen(wanted)) <= slack &&
        std::abs(qBlue(seen) - qBlue(wanted)) <= slack)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << QColor(seen).name().toStdString() << " is not near "
                                         << QColor(wanted).name().toStdString();
}

class RenderTest : public UiTest {
protected:
    QImage board() { return form->centralWidget()->grab().toImage(); }
    // What the screen holds of a pad, rather than what the window would paint now.
    QRgb onScreen(int pad)
    {
        const QPoint client = form->centralWidget()->mapTo(form.get(), QPoint(0, 0));
        return form->screen()->grabWindow(form->winId()).toImage().pixel(client + quarterMiddle(pad));
    }
};

// Idle: the pads dark on a black ground, the panel grey, the score a green 0, nothing of the hidden settings.
TEST_F(RenderTest, IdleBoardPanelAndScore)
{
    const QImage img = board();
    ASSERT_EQ(img.size(), QSize(504, 390));
    for (int pad = 0; pad < 4; ++pad) EXPECT_TRUE(near(img.pixel(quarterMiddle(pad)), kPads[pad].unlit)) << pad;
    // The hole in the middle and the ground are black.
    EXPECT_TRUE(near(img.pixel(192, 190), 0x000000));
    EXPECT_TRUE(near(img.pixel(2, 385), 0x000000));
    // The panel's grey, between the frames and along its edge.
    const QRgb face = QApplication::palette().color(QPalette::Button).rgb();
    EXPECT_TRUE(near(img.pixel(396, 200), face, 2));
    EXPECT_TRUE(near(img.pixel(500, 5), face, 2));
    // Some of the score's "0" is green.
    int green = 0;
    const QRect score = form->Label(6)->geometry();
    for (int y = score.top(); y <= score.bottom(); ++y)
        for (int x = score.left(); x <= score.right(); ++x)
            if (near(img.pixel(x, y), 0x00FF00, 10)) ++green;
    EXPECT_GT(green, 5);
    // Nothing of the hidden settings shows.
    EXPECT_TRUE(near(img.pixel(503, 30), face, 2));
}

// A playback step lights its pad, on screen before its tone is asked for, and only it; the step's end darkens it.
TEST_F(RenderTest, APlaybackStepShowsThePadLit)
{
    int pad = 0;
    std::vector<QRgb> seen; // on screen as each tone is asked for
    player.onRequest = [&] { seen.push_back(onScreen(pad)); };
    for (pad = 0; pad < 4; ++pad) {
        newGameAt(pad);
        seen.clear();
        Form1::Testing::fireTimer(*form, TimerId::Timer1); // the step lights the pad
        ASSERT_EQ(seen.size(), 1U) << pad;
        EXPECT_TRUE(near(seen[0], kPads[pad].lit)) << pad << ": lit only after its tone was asked for";
        const QImage lit = board();
        EXPECT_TRUE(near(lit.pixel(quarterMiddle(pad)), kPads[pad].lit)) << pad;
        for (const int other : {(pad + 1) % 4, (pad + 2) % 4, (pad + 3) % 4})
            EXPECT_TRUE(near(lit.pixel(quarterMiddle(other)), kPads[other].unlit)) << other;
        Form1::Testing::fireTimer(*form, TimerId::Timer2);
        EXPECT_TRUE(near(board().pixel(quarterMiddle(pad)), kPads[pad].unlit)) << pad;
        // Lose at once so the next game can start.
        clickPad((pad + 1) % 4);
        for (int i = 0; i < 16; ++i) Form1::Testing::fireTimer(*form, TimerId::Timer5);
        ASSERT_TRUE(form->Command1()->isEnabled());
    }
    player.onRequest = nullptr;
}

// What the screen holds as a press's tone is asked for, in free play and in
// the player's turn: a sound server slow to answer must not hold back the
// light under the finger.
TEST_F(RenderTest, APressedPadIsLitOnScreenBeforeItsToneIsAskedFor)
{
    int pad = 0;
    std::vector<QRgb> seen;
    player.onRequest = [&] { seen.push_back(onScreen(pad)); };
    for (pad = 0; pad < 4; ++pad) {
        for (const bool inGame : {false, true}) {
            SCOPED_TRACE(inGame ? "in a game" : "in free play");
            if (inGame) startGameAt((pad + 1) % 4); // the press below is wrong and ends it
            seen.clear();
            clickPad(pad);
            ASSERT_EQ(seen.size(), 1U) << pad;
            EXPECT_TRUE(near(seen[0], kPads[pad].lit)) << pad;
            if (inGame) {
                for (int i = 0; i < 16; ++i) Form1::Testing::fireTimer(*form, TimerId::Timer5);
                ASSERT_TRUE(form->Command1()->isEnabled());
            }
        }
    }
    player.onRequest = nullptr;
}

// The time bar's fill is green from the bar's left end to its width, black past it.
TEST_F(RenderTest, TheTimeBarFillsGreenFromTheLeft)
{
    form->SetTimeBar(517.5f);
    const QImage img = board();
    const QRect fill = form->Label(3)->geometry();
    EXPECT_TRUE(near(img.pixel(fill.left(), fill.center().y()), 0x00FF00, 2));
    EXPECT_TRUE(near(img.pixel(fill.right(), fill.center().y()), 0x00FF00, 2));
    EXPECT_TRUE(near(img.pixel(fill.right() + 3, fill.center().y()), 0x000000, 2));
}

// The about window is a white outline round a black ground.
TEST_F(UiTest, AboutWindowLooks)
{
    FormZandrell about(form->windowTitle(), form->windowIcon());
    about.show();
    const QImage img = about.grab().toImage();
    EXPECT_TRUE(near(img.pixel(0, 0), 0xFFFFFF, 2)); // the outline
    EXPECT_TRUE(near(img.pixel(283, 419), 0xFFFFFF, 2));
    EXPECT_TRUE(near(img.pixel(3, 100), 0x000000, 2)); // black ground
}

} // namespace
} // namespace tolvex::uitest
