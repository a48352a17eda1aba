// Gamepads at the real main window, with SDL's virtual pad in this process:
// a button to its lit picture, the idle cost of the poll with a pad
// connected, and how soon a pad switched on is seen.
//
// Usage: tolvex_bench_gamepad <rows.md> <tone folder> [presses]
// Appends its rows of the results table to rows.md.

#include "application.h"
#include "bench_report.h"
#include "bench_window.h"
#include "form1.h"
#include "platform.h"
#include "sdl_gamepads.h"
#include "virtual_pad.h"

#include <QEventLoop>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>

#include <optional>
#include <random>

namespace {

using namespace tolvex;
using namespace tolvex::bench;

// A player that plays nothing and says it did: the light is measured, not
// the tone.
class SilentPlayer final : public WavePlayer {
public:
    std::int32_t PlayWave(const std::string& /*fileName*/) override { return 1; }
};

// The main window with the moment each pad was painted lit.
class LitForm : public Form1 {
public:
    using Form1::Form1;
    std::optional<Clock::time_point> litAt;
    void ShowLit(std::int16_t pad) override
    {
        Form1::ShowLit(pad); // painted before it returns
        litAt = Clock::now();
    }
};

// Runs the event loop, never sleeping the thread, until `done` or `ms`.
bool runUntil(const std::function<bool()>& done, int ms)
{
    QEventLoop loop;
    QTimer check;
    check.callOnTimeout([&] {
        if (done()) loop.quit();
    });
    check.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

double cpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

int measure(int argc, char* argv[], const std::string& display)
{
    const std::string rowsPath = argv[1];
    const int presses = argc > 3 ? std::max(10, std::atoi(argv[3])) : 200;
    if (!useDisplayAndTones(display, argv[2])) return 1;
    const std::unique_ptr<QApplication> app = makeApplication(argc, argv);
    SystemPlatform platform;
    SilentPlayer player;
    LitForm form(platform, player);
    auto made = std::make_unique<SdlGamepads>();
    SdlGamepads* gamepads = made.get();
    form.addGamepads(std::move(made));
    if (!showPastAbout(form)) return 1;
    // A gamepad's presses count only while the game is in front.
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form, 10000)) return 1;
    Table table(rowsPath);
    std::mt19937 random(7);

    // A pad switched on at any moment of the slow poll, to the game's seeing it.
    std::vector<double> seen;
    for (int i = 0; i < 20; ++i) {
        runUntil([] { return false; }, std::uniform_int_distribution<int>(0, 250)(random));
        const Clock::time_point on = Clock::now();
        testing::VirtualPad pad;
        if (!runUntil([&] { return gamepads->connected() == 1; }, 2000)) break;
        seen.push_back(msBetween(on, Clock::now()));
        pad.unplug();
        runUntil([&] { return gamepads->connected() == 0; }, 2000);
    }
    const Stats s = summarise(seen);
    table.row("Gamepad switched on with none connected, to seen by the game", s, "ms", "≤ 500 ms",
              s.n == 20 && s.max <= 500.0, 1);

    testing::VirtualPad pad;
    runUntil([&] { return gamepads->connected() == 1; }, 2000);
    // A button at a random moment of the poll, to its pad painted lit: in
    // quick succession, and after the buttons rested long enough for the
    // poll to slow down.
    const auto pressA = [&](int restMs, std::vector<double>& into) {
        runUntil([] { return false; }, restMs);
        form.litAt.reset();
        const Clock::time_point down = Clock::now();
        pad.set(SDL_CONTROLLER_BUTTON_A, true);
        if (!runUntil([&] { return form.litAt.has_value(); }, 1000)) return false;
        into.push_back(msBetween(down, *form.litAt));
        pad.set(SDL_CONTROLLER_BUTTON_A, false);
        return runUntil([&] { return !form.Image1(0)->shownLit(); }, 1000);
    };
    std::vector<double> lit;
    for (int i = 0; i < presses && pressA(std::uniform_int_distribution<int>(5, 25)(random), lit); ++i) {}
    const Stats l = summarise(lit);
    table.row("Gamepad button (SDL's virtual pad) to its pad painted lit", l, "ms", "median ≤ 8, p99 ≤ 16 ms",
              l.n == static_cast<std::size_t>(presses) && l.median <= 8.0 && l.p99 <= 16.0, 2);
    std::vector<double> rested;
    for (int i = 0; i < 8 && pressA(3200 + std::uniform_int_distribution<int>(0, 16)(random), rested); ++i) {}
    const Stats r = summarise(rested);
    table.row("Gamepad button after 3.2 s of rest to its pad painted lit", r, "ms", "≤ 17 ms (one frame)",
              r.n == 8 && r.max <= 17.0, 2);

    // Idle free play with the pad connected, once its buttons have rested
    // (the poll slows down after 3 s): the poll's own cost.
    runUntil([] { return false; }, 4000);
    const double cpu0 = cpuMs();
    QEventLoop idle;
    QTimer::singleShot(10000, &idle, &QEventLoop::quit);
    idle.exec();
    const double cpu = cpuMs() - cpu0;
    table.single("Idle free play with a gamepad connected: CPU time over 10 s", 1, cpu, "ms", "≤ 100 ms", cpu <= 100.0,
                 0);
    form.close();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <rows.md> <tone folder> [presses]\n", argv[0]);
        return 2;
    }
    return onPrivateDisplay([&](const std::string& display) { return measure(argc, argv, display); });
}
