// The playback schedule and the answer clock, measured in the real main window
// with its real timers, on a private X server and the real tone player.
//
// Usage: tolvex_bench_playback <rows.md> <tone folder> [repeats]
// Appends its rows of the results table to rows.md.

#include "application.h"
#include "bench_report.h"
#include "bench_window.h"
#include "form1.h"
#include "platform.h"
#include "pulse_wave_player.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <random>

namespace {

using namespace tolvex;
using namespace tolvex::bench;

enum class Kind { Lit, Unlit, Arm, Stop };

struct Event {
    Kind kind;
    int what; // the pad, or the timer's number 1..5
    int ms;
    Clock::time_point at;
    Clock::time_point deadline; // an armed timer's first tick is due then
};

// The main window with every light, dark and timer request stamped on entry.
class TimedForm : public Form1 {
public:
    using Form1::Form1;

    std::vector<Event> events;
    std::function<void(const Event&)> watch;

    void ShowLit(std::int16_t pad) override
    {
        note(Kind::Lit, pad, 0);
        Form1::ShowLit(pad);
    }
    void ShowUnlit(std::int16_t pad) override
    {
        note(Kind::Unlit, pad, 0);
        Form1::ShowUnlit(pad);
    }
    void SetTimer(TimerId timer, std::int32_t ms) override
    {
        const auto at = Clock::now();
        Form1::SetTimer(timer, ms);
        note(ms > 0 ? Kind::Arm : Kind::Stop, timerIndex(timer) + 1, ms, at, Timer(timer)->deadline());
    }

private:
    void note(Kind kind, int what, int ms, Clock::time_point at = Clock::now(), Clock::time_point deadline = {})
    {
        const Event e{kind, what, ms, at, deadline};
        events.push_back(e);
        if (watch) watch(e);
    }
};

// The real tone player, its requests timed.
class TimedPlayer : public PulseWavePlayer {
public:
    std::vector<double> requestMs;
    std::int32_t PlayWave(const std::string& fileName) override
    {
        const auto from = Clock::now();
        const std::int32_t result = PulseWavePlayer::PlayWave(fileName);
        requestMs.push_back(msBetween(from, Clock::now()));
        return result;
    }
};

bool isArm(const Event& e, int timer, int ms) { return e.kind == Kind::Arm && e.what == timer && e.ms == ms; }

// Runs the window's event loop until `done` accepts an event, or the limit.
std::optional<Event> runUntil(TimedForm& form, const std::function<bool(const Event&)>& done, int limitMs)
{
    QEventLoop loop;
    std::optional<Event> hit;
    form.watch = [&](const Event& e) {
        if (!hit && done(e)) {
            hit = e;
            loop.quit();
        }
    };
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    loop.exec();
    form.watch = nullptr;
    return hit;
}

struct Timing {
    int lit, gap;
    std::string name;
};

struct PlaybackResult {
    std::vector<double> stepErrors;  // tick minus its deadline, ms
    std::vector<double> stepHandler; // light to the lit time armed: the step's own work
    double drift = std::nan("");     // hand-over minus its ideal time
};

std::mt19937 g_rng(20240607);

std::string randomSequence(int n)
{
    std::string s;
    for (int i = 0; i < n; ++i) s.push_back(static_cast<char>('0' + g_rng() % 4));
    return s;
}

bool isShowEnd(const Event& e) { return e.kind == Kind::Stop && e.what == 5; }

// The window is driven as a player drives it: "Nuevo Juego" clicked, pads
// pressed with the mouse, the hidden speed settings moved. Only the game's
// pads are set through the engine: no player's path reaches a game of n
// pads but n - 1 rounds played first.
void newGame(TimedForm& form, const std::string& pads)
{
    QTest::mouseClick(form.Command1(), Qt::LeftButton);
    Form1::Testing::setSequence(form, pads);
}

// A setting moved to `value`; one that shows it already is moved there and
// back, since a new game takes its own timings whatever the settings show.
void moveTo(QScrollBar* bar, int value)
{
    if (bar->value() == value) bar->setValue(value == bar->maximum() ? value - 1 : value + 1);
    bar->setValue(value);
}

// A wrong first answer, and the failure show it starts run to their end, so
// the next game starts from free play as a player's would.
void loseAtOnce(TimedForm& form, const std::string& pads)
{
    PadPicture* wrong = form.Image1((pads[0] - '0' + 1) % 4);
    const QPoint at = wrong->mapTo(&form, wrong->rect().center());
    QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, at);
    runUntil(form, isShowEnd, 5000);
}

PlaybackResult playback(TimedForm& form, int n, const Timing& timing)
{
    PlaybackResult r;
    form.events.clear();
    form.events.reserve(16 * n + 64);
    const std::string pads = randomSequence(n);
    newGame(form, pads);
    moveTo(form.HScroll2(), timing.lit);
    moveTo(form.HScroll1(), timing.gap);
    const auto handOver = runUntil(
        form, [](const Event& e) { return isArm(e, 3, Engine::kAnswerTickMs); }, 60000);
    if (!handOver) {
        std::fprintf(stderr, "playback of %d pads never handed over\n", n);
        return r;
    }

    std::map<int, Event> lastArm;
    std::optional<Clock::time_point> t0; // Timer1 armed with the lead-in
    Clock::time_point litAt{};
    bool lit = false;
    for (const Event& e : form.events) {
        if (e.kind == Kind::Arm) {
            if (!t0 && isArm(e, 1, Engine::kLeadInMs)) t0 = e.deadline - std::chrono::milliseconds(Engine::kLeadInMs);
            if (e.what == 2 && lit) {
                r.stepHandler.push_back(msBetween(litAt, e.at));
                lit = false;
            }
            lastArm[e.what] = e;
        } else if (e.kind == Kind::Lit || e.kind == Kind::Unlit) {
            const int timer = e.kind == Kind::Lit ? 1 : 2;
            auto it = lastArm.find(timer);
            if (it == lastArm.end()) continue;
            r.stepErrors.push_back(msBetween(it->second.deadline, e.at));
            lastArm.erase(it);
            if (e.kind == Kind::Lit) {
                litAt = e.at;
                lit = true;
            }
        }
        if (isArm(e, 3, Engine::kAnswerTickMs) && t0) {
            const double ideal = Engine::kLeadInMs + n * timing.lit + (n - 1) * timing.gap;
            r.drift = msBetween(*t0, e.at) - ideal;
        }
    }
    loseAtOnce(form, pads);
    return r;
}

// Hand-over to the tick that ends the turn by timeout.
std::optional<double> answerClock(TimedForm& form)
{
    form.events.clear();
    newGame(form, randomSequence(1));
    const auto handOver = runUntil(
        form, [](const Event& e) { return isArm(e, 3, Engine::kAnswerTickMs); }, 10000);
    if (!handOver) return std::nullopt;
    const auto timeout = runUntil(
        form, [](const Event& e) { return isArm(e, 5, Engine::kShowTickMs); }, 10000);
    if (!timeout) return std::nullopt;
    runUntil(form, isShowEnd, 5000);
    return msBetween(handOver->at, timeout->at);
}

} // namespace

namespace {

int measure(int argc, char* argv[], const std::string& display)
{
    const std::string rowsPath = argv[1];
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    if (!useDisplayAndTones(display, argv[2])) return 1;

    const std::unique_ptr<QApplication> app = makeApplication(argc, argv);
    SystemPlatform platform;
    TimedPlayer player;
    TimedForm form(platform, player);
    if (!showPastAbout(form)) return 1;
    QTest::qWait(200);

    Table table(rowsPath);
    const std::vector<Timing> timings = {{200, 300, "200/300 ms"}, {2, 2, "2/2 ms"}};
    const std::vector<int> lengths = {1, 5, 20};
    std::map<std::string, std::vector<double>> errors, handlers;
    std::map<std::pair<std::string, int>, std::vector<double>> drifts;
    for (int rep = 0; rep < repeats; ++rep) {
        for (const Timing& t : timings) {
            for (int n : lengths) {
                const PlaybackResult r = playback(form, n, t);
                errors[t.name].insert(errors[t.name].end(), r.stepErrors.begin(), r.stepErrors.end());
                handlers[t.name].insert(handlers[t.name].end(), r.stepHandler.begin(), r.stepHandler.end());
                drifts[{t.name, n}].push_back(r.drift);
                QTest::qWait(50);
            }
        }
    }

    for (const Timing& t : timings) {
        const Stats e = summarise(errors[t.name]);
        table.row("Playback " + t.name + ": step error (tick − (armed moment + interval))", e, "ms", "p99 ≤ 1 ms",
                  e.p99 <= 1.0, 3);
        table.row("Playback " + t.name + ": a step's own work (light, tone request, re-arm)",
                  summarise(handlers[t.name]), "ms", "", true, 3);
        for (int n : lengths) {
            const Stats d = summarise(drifts[{t.name, n}]);
            const bool targeted = t.lit == 200 && n == 20;
            table.row("Playback " + t.name + ", " + std::to_string(n) + " pad" + (n > 1 ? "s" : "") +
                          ": hand-over drift from the timeline",
                      d, "ms", targeted ? "≤ 5 ms" : "", d.max <= 5.0, 2);
        }
    }

    table.row("Playback: a tone request alone (PulseWavePlayer::PlayWave), both timings", summarise(player.requestMs),
              "ms", "", true, 3);

    std::vector<double> answers;
    for (int run = 0; run < std::max(3, repeats + 2); ++run) {
        if (const auto ms = answerClock(form)) answers.push_back(*ms);
        QTest::qWait(50);
    }
    const Stats a = summarise(answers);
    table.row("Answer clock: hand-over to the timeout tick", a, "ms", "> 3000, ≤ 3055 ms",
              a.n > 0 && a.min > 3000.0 && a.max <= 3055.0, 1);

    form.close();
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <rows.md> <tone folder> [repeats]\n", argv[0]);
        return 2;
    }
    return onPrivateDisplay([&](const std::string& display) { return measure(argc, argv, display); });
}
