// A player at the real window: watches the pads on the X server, repeats each
// sequence with synthetic clicks until "Fácil" is won, then loses a game on
// purpose. Exercises the whole program: timers, pictures, mouse, engine, sound.
#include "game_process.h"
#include "x_session.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <array>
#include <functional>
#include <string>

using namespace tolvex;
using namespace std::chrono_literals;

namespace {

// Middle of each quarter, in client pixels; the lit picture covers it too.
constexpr std::array<std::pair<int, int>, 4> kPadMiddles = {{{104, 102}, {280, 102}, {280, 278}, {104, 278}}};
constexpr std::array<std::uint32_t, 4> kUnlit = {0x009C00, 0x9C9C00, 0x00629C, 0x9C0000};
constexpr std::array<std::uint32_t, 4> kLit = {0x31FF31, 0xFFFF00, 0x00CDFF, 0xFF1800};

class Player {
public:
    Player(x11::XSession& x, x11::Rect client) : m_x(x), m_client(client) {}

    int litPad() const
    {
        for (int p = 0; p < 4; ++p)
            if (colour(p) == kLit[p]) return p;
        return -1;
    }
    bool allUnlit() const
    {
        for (int p = 0; p < 4; ++p)
            if (colour(p) != kUnlit[p]) return false;
        return true;
    }
    // Waits for the next pad that lights, then for it to go dark.
    int nextFlash(int limitMs) const
    {
        int pad = -1;
        if (!poll([&] { return (pad = litPad()) >= 0; }, limitMs)) return -1;
        if (!poll([&] { return colour(pad) == kUnlit[pad]; }, limitMs)) return -1;
        return pad;
    }
    bool click(int pad)
    {
        const auto [px, py] = kPadMiddles[pad];
        m_x.moveTo(m_client.x + px, m_client.y + py);
        m_x.press(1);
        const bool lit = poll([&] { return colour(pad) == kLit[pad]; }, 1000);
        m_x.release(1);
        return lit && poll([&] { return colour(pad) == kUnlit[pad]; }, 1000);
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

    static bool poll(const std::function<bool()>& done, int limitMs)
    {
        QElapsedTimer t;
        t.start();
        while (!done()) {
            if (t.elapsed() > limitMs) return false;
            QThread::usleep(500);
        }
        return true;
    }

private:
    std::uint32_t colour(int pad) const
    {
        const auto [px, py] = kPadMiddles[pad];
        return m_x.pixel(m_client.x + px, m_client.y + py);
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
    ASSERT_TRUE(tolvex::testing::startGame(game, QStringLiteral(TOLVEX_PROGRAM), QStringLiteral(TOLVEX_TONE_DIR),
                                           xvfb.name()));
    tolvex::testing::ProcessReaper reaper{game};

    const auto board = tolvex::testing::passAboutWindow(x);
    ASSERT_TRUE(board.has_value());
    const x11::Rect w = x.geometry(*board);
    Player player(x, {w.x, w.y + w.height - 390, 504, 390});
    ASSERT_TRUE(Player::poll([&] { return player.allUnlit(); }, 5000));
    const int inkOfZero = player.scoreInk();

    // "Nuevo Juego" with "Fácil" chosen: ten rounds to win.
    player.clickAt(452, 308);
    std::string sequence;
    for (int round = 1; round <= 10; ++round) {
        sequence.clear();
        for (int k = 0; k < round; ++k) {
            const int pad = player.nextFlash(3000);
            ASSERT_GE(pad, 0) << "round " << round << ": no pad " << k + 1 << " was played";
            sequence.push_back(static_cast<char>('0' + pad));
        }
        for (char c : sequence) ASSERT_TRUE(player.click(c - '0')) << "round " << round;
    }
    // The victory lap: pads 0, 1, 2, 3 in turn, with the score at 10.
    for (int expected : {0, 1, 2, 3}) EXPECT_EQ(player.nextFlash(2000), expected);
    EXPECT_GT(player.scoreInk(), inkOfZero * 3 / 2);
    ASSERT_TRUE(Player::poll([&] { return player.scoreInk() == inkOfZero && player.allUnlit(); }, 5000));

    // A new game lost on purpose: the pad that was due blinks.
    player.clickAt(452, 308);
    const int first = player.nextFlash(3000);
    ASSERT_GE(first, 0);
    ASSERT_TRUE(player.click((first + 1) % 4));
    for (int blink = 0; blink < 3; ++blink) EXPECT_EQ(player.nextFlash(1000), first);

    x.closeWindow(*board);
    EXPECT_TRUE(game.waitForFinished(5000));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
