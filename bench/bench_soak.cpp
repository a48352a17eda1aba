// Long play: free-play presses and games through the real main window, with
// its real timers and the real tone player, on a private X server. Resident
// memory and open file descriptors are read at round 50 and at round 500.
//
// Usage: tolvex_bench_soak <rows.md> <tone folder> [rounds]
// Appends its rows of the results table to rows.md.

#include "application.h"
#include "bench_report.h"
#include "bench_window.h"
#include "form1.h"
#include "platform.h"
#include "pulse_wave_player.h"
#include "wait_until.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using namespace tolvex;
using namespace tolvex::bench;

constexpr int kWarmUpRounds = 50;
constexpr double kMaxGrowthMiB = 2.0;
// Longer than any show or playback of the soak.
constexpr std::chrono::milliseconds kPatience{10000};

double residentMiB()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

int openDescriptors()
{
    int n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n - 1; // the directory listing's own
}

class Soak {
public:
    Soak(Form1& form, std::uint32_t seed) : m_form(form), m_rng(seed) {}

    // One round: a free-play press while the board is idle, or one
    // answered round of a game. A game is started when none runs and ends
    // lost (a wrong pad after a few rounds) or won (at "Fácil", after ten).
    bool round()
    {
        if (idle() && m_freePlayLeft > 0) {
            --m_freePlayLeft;
            press(pick(4), pick(2) == 0);
            return true;
        }
        if (idle()) {
            QTest::mouseClick(m_form.Command1(), Qt::LeftButton);
            quicken();
            m_roundsToPlay = 1 + pick(12); // more than 10 wins
        }
        if (!testing::waitUntil([&] { return state().TimeLimitOn == kTrue || idle(); }, kPatience)) return false;
        if (!idle()) {
            const std::string sequence = state().Sequence;
            if (static_cast<int>(sequence.size()) > m_roundsToPlay) {
                press((sequence.front() - '0' + 1) % 4, true); // a wrong pad: the failure show
            } else {
                for (char digit : sequence) press(digit - '0', pick(2) == 0);
                return true;
            }
        }
        // The game is over: its show runs to the end, then two free-play presses.
        m_freePlayLeft = 2;
        if (!testing::waitUntil([&] { return idle(); }, kPatience)) return false;
        return round();
    }

private:
    const GameState& state() { return Form1::Testing::state(m_form); }
    bool idle()
    {
        return m_form.Command1()->isEnabled() && !m_form.Timer(TimerId::Timer4)->isActive() &&
               !m_form.Timer(TimerId::Timer5)->isActive();
    }
    // A new game takes its level's timings; the hidden speed settings, moved
    // as a player can move them, make its playbacks take milliseconds.
    void quicken()
    {
        for (QScrollBar* bar : {m_form.HScroll1(), m_form.HScroll2()}) {
            bar->setValue(3);
            bar->setValue(2);
        }
    }
    int pick(int n) { return static_cast<int>(m_rng() % static_cast<std::uint32_t>(n)); }

    // By the keyboard or the mouse, as a player would.
    void press(int pad, bool byKey)
    {
        if (byKey) {
            QTest::keyClick(m_form.windowHandle(), static_cast<Qt::Key>(Qt::Key_1 + pad));
        } else {
            QWidget* picture = m_form.Image1(pad);
            QTest::mouseClick(m_form.windowHandle(), Qt::LeftButton, {},
                              picture->mapTo(&m_form, picture->rect().center()));
        }
        QCoreApplication::processEvents();
    }

    Form1& m_form;
    std::mt19937 m_rng;
    int m_roundsToPlay = 0;
    int m_freePlayLeft = 2;
};

int measure(int argc, char* argv[], const std::string& display)
{
    const std::string rowsPath = argv[1];
    const int rounds = argc > 3 ? std::max(kWarmUpRounds + 1, std::atoi(argv[3])) : 500;
    if (!useDisplayAndTones(display, argv[2])) return 1;

    const std::unique_ptr<QApplication> app = makeApplication(argc, argv);
    SystemPlatform platform;
    PulseWavePlayer player;
    Form1 form(platform, player);
    if (!showPastAbout(form)) return 1;
    Soak soak(form, 20241207);
    double rssWarm = 0.0;
    int fdsWarm = 0;
    const auto started = Clock::now();
    for (int round = 1; round <= rounds; ++round) {
        if (!soak.round()) {
            std::fprintf(stderr, "round %d never finished\n", round);
            return 1;
        }
        if (round % 50 == 0)
            std::fprintf(stderr, "soak: round %d, %.2f MiB, %d descriptors\n", round, residentMiB(), openDescriptors());
        if (round == kWarmUpRounds) {
            QTest::qWait(50);
            rssWarm = residentMiB();
            fdsWarm = openDescriptors();
        }
    }
    QTest::qWait(50);
    const double growth = residentMiB() - rssWarm;
    const int fdGrowth = openDescriptors() - fdsWarm;
    std::printf("soak: %d rounds in %.0f s; resident %.2f -> %.2f MiB; descriptors %d -> %d\n", rounds,
                msBetween(started, Clock::now()) / 1000.0, rssWarm, rssWarm + growth, fdsWarm, fdsWarm + fdGrowth);

    Table table(rowsPath);
    const std::string span = "rounds " + std::to_string(kWarmUpRounds) + " to " + std::to_string(rounds);
    table.single("Soak: resident memory growth, " + span, 1, growth, "MiB", "≤ 2 MiB", growth <= kMaxGrowthMiB);
    table.single("Soak: open file descriptors growth, " + span, 1, fdGrowth, "", "0", fdGrowth == 0, 0);
    form.close();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <rows.md> <tone folder> [rounds]\n", argv[0]);
        return 2;
    }
    return onPrivateDisplay([&](const std::string& display) { return measure(argc, argv, display); });
}
