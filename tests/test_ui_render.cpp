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
};

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

TEST_F(RenderTest, APlaybackStepShowsThePadLit)
{
    for (int pad = 0; pad < 4; ++pad) {
        newGameAt(pad);
        form->fireTimer(TimerId::Timer1); // the step lights the pad
        const QImage lit = board();
        EXPECT_TRUE(near(lit.pixel(quarterMiddle(pad)), kPads[pad].lit)) << pad;
        for (int other = 0; other < 4; ++other) {
            if (other != pad) {
                EXPECT_TRUE(near(lit.pixel(quarterMiddle(other)), kPads[other].unlit)) << other;
            }
        }
        form->fireTimer(TimerId::Timer2);
        EXPECT_TRUE(near(board().pixel(quarterMiddle(pad)), kPads[pad].unlit)) << pad;
        // Lose at once so the next game can start.
        pressPad((pad + 1) % 4);
        releasePad((pad + 1) % 4);
        for (int i = 0; i < 16; ++i) form->fireTimer(TimerId::Timer5);
        ASSERT_TRUE(form->Command1()->isEnabled());
    }
}

// What the screen holds as a pad's tone is asked for, pressed in free play
// and in the player's turn, and played back: a sound server slow to answer
// must not hold back the light under the finger, nor eat into a step's.
TEST_F(RenderTest, APadIsLitOnScreenBeforeItsToneIsAskedFor)
{
    const QPoint client = form->centralWidget()->mapTo(form.get(), QPoint(0, 0));
    int pad = 0;
    std::vector<QRgb> seen;
    player.onRequest = [&] {
        const QImage shown = form->screen()->grabWindow(form->winId()).toImage();
        seen.push_back(shown.pixel(client + quarterMiddle(pad)));
    };
    for (pad = 0; pad < 4; ++pad) {
        for (const std::string way : {"free play", "in a game", "playback step"}) {
            SCOPED_TRACE(way);
            const bool playback = way == "playback step";
            if (way == "in a game") startGameAt((pad + 1) % 4); // the press below is wrong and ends it
            if (playback) newGameAt(pad);
            seen.clear();
            if (playback)
                form->fireTimer(TimerId::Timer1);
            else
                clickPad(pad);
            ASSERT_EQ(seen.size(), 1U) << pad;
            EXPECT_TRUE(near(seen[0], kPads[pad].lit)) << pad;
            if (playback) {
                form->fireTimer(TimerId::Timer2);
                clickPad((pad + 1) % 4);
            }
            if (way != "free play") {
                for (int i = 0; i < 16; ++i) form->fireTimer(TimerId::Timer5);
                ASSERT_TRUE(form->Command1()->isEnabled());
            }
        }
    }
    player.onRequest = nullptr;
}

TEST_F(RenderTest, TheTimeBarFillsGreenFromTheLeft)
{
    form->SetTimeBar(517.5f);
    const QImage img = board();
    const QRect fill = form->Label(3)->geometry();
    EXPECT_TRUE(near(img.pixel(fill.left(), fill.center().y()), 0x00FF00, 2));
    EXPECT_TRUE(near(img.pixel(fill.right(), fill.center().y()), 0x00FF00, 2));
    EXPECT_TRUE(near(img.pixel(fill.right() + 3, fill.center().y()), 0x000000, 2));
}

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
