// A player at the real window: watches the pads on the X server, repeats each
// sequence with synthetic clicks until "Fácil" is won, then loses a game on
// purpose. Exercises the whole program: timers, pictures, mouse, engine, sound.
#include "game_process.h"
#include "pads.h"
#include "wait_until.h"
#include "x_session.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <string>

using namespace tolvex;
using namespace std::chrono_literals;
using tolvex::testing::kPads;
using tolvex::testing::waitUntil;

namespace {

class Player {
public:
    Player(x11::XSession& x, x11::Rect client) : m_x(x), m_client(client) {}

    int litPad() const
    {
        for (int p = 0; p < 4; ++p)
            if (colour(p) == kPads[p].lit) return p;
        return -1;
    }
    bool allUnlit() const
    {
        for (int p = 0; p < 4; ++p)
            if (colour(p) != kPads[p].unlit) return false;
        return true;
    }
    // Waits for the next pad that lights, then for it to go dark.
    int nextFlash(std::chrono::milliseconds limit) const
    {
        int pad = -1;
        if (!waitUntil([&] { return (pad = litPad()) >= 0; }, limit)) return -1;
        if (!waitUntil([&] { return colour(pad) == kPads[pad].unlit; }, limit)) return -1;
        return pad;
    }
    bool click(int pad)
    {
        m_x.moveTo(m_client.x + kPads[pad].middleX, m_client.y + kPads[pad].middleY);
        m_x.press(1);
        const bool lit = waitUntil([&] { return colour(pad) == kPads[pad].lit; }, 1s);
        m_x.release(1);
        return lit && waitUntil([&] { return colour(pad) == kPads[pad].unlit; }, 1s);
    }
    void clickAt(int clientX, int clientY) { m_x.click(m_client.x + clientX, m_client.y + clientY); }
    // Green pixels of the score label, a measure of how many digits it shows.
    int scoreInk() const
    {
        int n = 0;
        for (int y = 329; y < 348; ++y)
            for (int x = 457; x < 495; ++x) n += m_x.pixel(m_client.x + x, m_client.y + y) == 0x00FF00;
        return n;
    }

private:
    std::uint32_t colour(int pad) const
    {
        return m_x.pixel(m_client.x + kPads[pad].middleX, m_client.y + kPads[pad].middleY);
    }

    x11::XSession& m_x;
    x11::Rect m_client;
};

} // namespace

TEST(PlayByHand, WinFacilThenLoseOnAWrongPad)
{
    x11::XvfbServer xvfb;
    ASSERT_FALSE(xvfb.name().empty());
    x11::XSession x(xvfb.name());
    ASSERT_TRUE(x.ok());

    QProcess game;
    ASSERT_TRUE(
        tolvex::testing::startGame(game, QStringLiteral(TOLVEX_PROGRAM), QStringLiteral(TOLVEX_TONE_DIR), xvfb.name()));
    tolvex::testing::ProcessReaper reaper{game};

    const auto board = tolvex::testing::passAboutWindow(x);
    ASSERT_TRUE(board.has_value());
    Player player(x, tolvex::testing::clientArea(x, *board));
    ASSERT_TRUE(waitUntil([&] { return player.allUnlit(); }, 5s));
    const int inkOfZero = player.scoreInk();

    // "Nuevo Juego" with "Fácil" chosen: ten rounds to win.
    player.clickAt(452, 308);
    std::string sequence;
    for (int round = 1; round <= 10; ++round) {
        sequence.clear();
        for (int k = 0; k < round; ++k) {
            const int pad = player.nextFlash(3s);
            ASSERT_GE(pad, 0) << "round " << round << ": no pad " << k + 1 << " was played";
            sequence.push_back(static_cast<char>('0' + pad));
        }
        for (char c : sequence) ASSERT_TRUE(player.click(c - '0')) << "round " << round;
    }
    // The victory lap: pads 0, 1, 2, 3 in turn, with the score at 10.
    for (int expected : {0, 1, 2, 3}) EXPECT_EQ(player.nextFlash(2s), expected);
    EXPECT_GT(player.scoreInk(), inkOfZero * 3 / 2);
    ASSERT_TRUE(waitUntil([&] { return player.scoreInk() == inkOfZero && player.allUnlit(); }, 5s));

    // A new game lost on purpose: the pad that was due blinks.
    player.clickAt(452, 308);
    const int first = player.nextFlash(3s);
    ASSERT_GE(first, 0);
    ASSERT_TRUE(player.click((first + 1) % 4));
    for (int blink = 0; blink < 3; ++blink) EXPECT_EQ(player.nextFlash(1s), first);

    x.closeWindow(*board);
    EXPECT_TRUE(game.waitForFinished(5000));
}
