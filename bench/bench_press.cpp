// The program as a player meets it: a separate process on a private X server
// and the audio server named by PULSE_SERVER. Start-up to the about window
// beside a bare Qt window's, a press to the lit picture and to the tone on
// the sink, in quick succession and after silences, idle cost and memory.
//
// Usage: tolvex_bench_press <rows.md> <program> <tone folder> <sink monitor> [starts] [presses] [server]
// A server name, when given, follows every row's measure ("PipeWire").

#include "bench_report.h"
#include "game_process.h"
#include "monitor_recorder.h"
#include "pads.h"
#include "texts.h"
#include "tone_files.h"
#include "tone_analysis.h"
#include "wait_until.h"
#include "wave_decoder.h"
#include "x_session.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

#include <X11/Xlib.h>

#include <array>
#include <filesystem>
#include <map>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <poll.h>
#include <sstream>
#include <thread>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace tolvex;
using namespace tolvex::bench;
using namespace std::chrono_literals;

using testing::kPads;
using testing::waitUntil;

constexpr int kAboutWidth = 284, kAboutHeight = 420;
constexpr int kLoud = 1000; // well above a null sink's exact silence
constexpr int kRate = testing::MonitorRecorder::kRate;

// Lets the game settle between measurements, serving this program's events.
void pump(std::chrono::milliseconds d) { QTest::qWait(static_cast<int>(d.count())); }

bool waitPixel(x11::XSession& x, int px, int py, std::uint32_t colour, std::chrono::milliseconds limit)
{
    return waitUntil([&] { return x.pixel(px, py) == colour; }, limit);
}

// Reports windows as the server maps them: no polling, the time is taken
// when the notice arrives.
class MapWatcher {
public:
    explicit MapWatcher(const std::string& display) : m_dpy(XOpenDisplay(display.c_str()))
    {
        if (!m_dpy) return;
        XSelectInput(m_dpy, DefaultRootWindow(m_dpy), SubstructureNotifyMask);
        XSync(m_dpy, True);
    }
    ~MapWatcher()
    {
        if (m_dpy) XCloseDisplay(m_dpy);
    }
    bool ok() const { return m_dpy != nullptr; }
    void drain()
    {
        XSync(m_dpy, False);
        while (XPending(m_dpy)) {
            XEvent ev;
            XNextEvent(m_dpy, &ev);
        }
    }
    struct Mapped {
        Clock::time_point at;
        Window window;
    };
    // When a window of that size was mapped, and which.
    std::optional<Mapped> waitMapped(int width, int height, std::chrono::milliseconds limit)
    {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            while (XPending(m_dpy)) {
                XEvent ev;
                XNextEvent(m_dpy, &ev);
                const auto at = Clock::now();
                if (ev.type != MapNotify) continue;
                XWindowAttributes a;
                if (XGetWindowAttributes(m_dpy, ev.xmap.window, &a) && a.width == width && a.height == height)
                    return Mapped{at, ev.xmap.window};
            }
            pollfd p{ConnectionNumber(m_dpy), POLLIN, 0};
            ::poll(&p, 1, 5);
        }
        return std::nullopt;
    }

private:
    Display* m_dpy;
};

// A window's picture is on the screen once its point (100, 100), in the logo
// of the about window and of the text-and-JPEG window and in the bare
// window's background, is no longer the black of the screen behind it. Qt
// puts a window's whole picture on the screen at once. Polled every ms.
std::optional<Clock::time_point> waitDrawn(x11::XSession& x, unsigned long window, std::chrono::milliseconds limit)
{
    const x11::Rect r = x.geometry(window);
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        const std::uint32_t p = x.pixel(r.x + 100, r.y + 100);
        const auto at = Clock::now();
        if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 48) return at;
        std::this_thread::sleep_for(1ms);
    }
    return std::nullopt;
}

// Processes that keep one core each busy with a plain loop, at the game's
// own priority, until they go.
class Spinners {
public:
    explicit Spinners(int count)
    {
        for (int i = 0; i < count; ++i) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                volatile unsigned long n = 0;
                for (;;) n = n + 1;
            }
            if (pid > 0) m_pids.push_back(pid);
        }
    }
    ~Spinners()
    {
        for (pid_t pid : m_pids) ::kill(pid, SIGKILL);
        for (pid_t pid : m_pids) ::waitpid(pid, nullptr, 0);
    }
    Spinners(const Spinners&) = delete;
    Spinners& operator=(const Spinners&) = delete;

private:
    std::vector<pid_t> m_pids;
};

struct Game {
    QProcess process;
    Clock::time_point started;
};

void startGame(Game& g, const QString& program, const QString& tones, const std::string& display)
{
    g.started = Clock::now();
    testing::startGame(g.process, program, tones, display);
}

void endGame(Game& g)
{
    if (g.process.state() == QProcess::NotRunning) return;
    g.process.kill();
    g.process.waitForFinished(3000);
}

std::string procField(qint64 pid, const char* file, const std::string& key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0) return line.substr(key.size());
    return {};
}

// utime + stime of the process, in ms.
double cpuMs(qint64 pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto close = all.rfind(')');
    if (close == std::string::npos) return std::nan("");
    std::istringstream rest(all.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // Fields from the state (3rd) on; utime and stime are the 14th and 15th.
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Clock ticks used by each thread, by "tid name".
std::map<std::string, long long> threadTicks(qint64 pid)
{
    std::map<std::string, long long> out;
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream comm(entry.path() / "comm"), stat(entry.path() / "stat");
        std::string name, all;
        std::getline(comm, name);
        std::getline(stat, all);
        std::istringstream rest(all.substr(all.rfind(')') + 2));
        std::string field;
        long long ticks = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i)
            if (i >= 14) ticks += std::stoll(field);
        out[entry.path().filename().string() + " " + name] = ticks;
    }
    return out;
}

// Samples of a tone file before its first loud one, at the recording's rate.
double fileLeadMs(const std::string& path)
{
    const auto wave = decodeWaveFile(path);
    if (!wave || wave->channels < 1) return 0.0;
    for (std::int64_t i = 0; i < wave->frames(); ++i)
        if (std::abs(wave->samples[static_cast<std::size_t>(i * wave->channels)]) * 32768.0f > kLoud)
            return static_cast<double>(i) * 1000.0 / wave->sampleRate;
    return 0.0;
}

// What the command line asks for.
struct Settings {
    std::string rowsPath;
    QString program, tones, monitor;
    int starts = 7, presses = 40;
    std::string server;
};

Settings readSettings(int argc, char* argv[])
{
    Settings s;
    s.rowsPath = argv[1];
    s.program = QString::fromLocal8Bit(argv[2]);
    s.tones = QString::fromLocal8Bit(argv[3]);
    s.monitor = QString::fromLocal8Bit(argv[4]);
    if (argc > 5) s.starts = std::max(1, std::atoi(argv[5]));
    if (argc > 6) s.presses = std::max(1, std::atoi(argv[6]));
    if (argc > 7) s.server = argv[7];
    return s;
}

// Process start until a window is mapped and until its picture is on the
// screen, over the starts that came to both.
struct StartUps {
    std::vector<double> mapped, drawn, gap;
    void add(Clock::time_point started, const std::optional<MapWatcher::Mapped>& m,
             const std::optional<Clock::time_point>& d)
    {
        if (!m || !d) return;
        mapped.push_back(msBetween(started, m->at));
        drawn.push_back(msBetween(started, *d));
        gap.push_back(msBetween(m->at, *d));
    }
};

// A bare Qt window of the about window's size started, timed and ended.
void startBareWindow(x11::XSession& x, MapWatcher& maps, const char* program, const Settings& s,
                     const std::string& display, StartUps& times)
{
    maps.drain();
    Game bare;
    startGame(bare, QString::fromUtf8(program), s.tones, display);
    const auto mapped = maps.waitMapped(kAboutWidth, kAboutHeight, 15s);
    times.add(bare.started, mapped, mapped ? waitDrawn(x, mapped->window, 5s) : std::nullopt);
    endGame(bare);
    pump(100ms);
}

void reportStartUps(Table& table, const StartUps& gameUp, const StartUps& bareUp, const StartUps& textLogoUp)
{
    const Stats su = summarise(gameUp.drawn);
    const Stats textLogoSu = summarise(textLogoUp.drawn);
    table.row("Start-up: process start to the about window drawn (its picture on the screen)", su, "ms",
              "≤ 1.15 × the text-and-JPEG window's (" + fmt(1.15 * textLogoSu.median, 1) + " ms, median)",
              su.n > 0 && textLogoSu.n > 0 && su.median <= 1.15 * textLogoSu.median, 1);
    table.row("Start-up of a bare Qt window of the same size, drawn, in the same run", summarise(bareUp.drawn), "ms",
              "", true, 1);
    table.row("Start-up of that window with a line of text and the logo JPEG, drawn, in the same run", textLogoSu, "ms",
              "", true, 1);
    const Stats gap = summarise(gameUp.gap);
    table.row("Start-up: the about window mapped, to drawn", gap, "ms", "≤ 17 ms (one screen refresh)",
              gap.n > 0 && gap.median <= 17.0, 1);
    table.row("Start-up: process start to the about window mapped", summarise(gameUp.mapped), "ms", "", true, 1);
    table.row("Start-up: the text-and-JPEG window mapped, to drawn", summarise(textLogoUp.gap), "ms", "", true, 1);
}

// Start-up: process start until the about window is mapped and until its
// picture is on the screen, and the same for a bare Qt window of its size,
// bare and with text and the logo, taken in turns. The game's last start is
// left running in `game`, for the measurements after it.
void measureStartUps(Table& table, x11::XSession& x, MapWatcher& maps, const Settings& s, const std::string& display,
                     Game& game)
{
    StartUps gameUp, bareUp, textLogoUp;
    for (int run = 0; run < s.starts; ++run) {
        startBareWindow(x, maps, TOLVEX_BARE_WINDOW, s, display, bareUp);
        startBareWindow(x, maps, TOLVEX_BARE_TEXT_LOGO, s, display, textLogoUp);
        maps.drain();
        auto* g = run + 1 < s.starts ? new Game : &game;
        startGame(*g, s.program, s.tones, display);
        const auto mapped = maps.waitMapped(kAboutWidth, kAboutHeight, 15s);
        const auto drawn = mapped ? waitDrawn(x, mapped->window, 5s) : std::nullopt;
        if (!drawn) std::fprintf(stderr, "start %d: the about window never came\n", run);
        gameUp.add(g->started, mapped, drawn);
        if (g != &game) {
            endGame(*g);
            delete g;
            pump(100ms);
        }
    }
    reportStartUps(table, gameUp, bareUp, textLogoUp);
}

// Into free play: the about window closes with a click. The main window,
// settled; nothing if either window never came.
std::optional<unsigned long> enterFreePlay(x11::XSession& x)
{
    const std::optional<unsigned long> about = x.waitForUntitled(kAboutWidth, kAboutHeight, 5s);
    if (!about) return std::nullopt;
    pump(300ms);
    const x11::Rect a = x.geometry(*about);
    x.click(a.x + a.width / 2, a.y + 60);
    const auto board = x.waitForWindow(TOLVEX_CAPTION, 10s);
    if (!board) {
        std::fprintf(stderr, "the main window never came\n");
        return std::nullopt;
    }
    pump(500ms);
    return board;
}

// What one press took: to the lit picture, and to the tone's onset with the
// recorder's latency left in; nothing where it never came.
struct Press {
    std::optional<double> picture, sound;
};

// A delivery of the recording: when it arrived here, and the samples recorded by then.
using Arrival = std::pair<Clock::time_point, std::size_t>;

// Presses on the board's pads, heard on the sink.
struct Presser {
    x11::XSession& x;
    testing::MonitorRecorder& recorder;
    int left, top;              // the board's client area on the screen
    std::array<double, 4> lead; // ms of each pad's tone file before its first loud sample
};

// Where each delivery of the recording lies in time, until `until`; the
// earliest one for its sample count is the least delayed.
std::vector<Arrival> listenUntil(testing::MonitorRecorder& recorder, Clock::time_point until)
{
    std::vector<Arrival> arrivals;
    while (Clock::now() < until) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const std::size_t n = recorder.mark();
        arrivals.emplace_back(Clock::now(), n);
        std::this_thread::sleep_for(500us);
    }
    return arrivals;
}

// One press on pad i % 4 and its release.
Press pressOnce(Presser& r, int i)
{
    Press out;
    const testing::PadFacts& p = kPads[static_cast<std::size_t>(i % 4)];
    const int px = r.left + p.middleX, py = r.top + p.middleY;
    r.x.moveTo(px, py);
    if (!waitPixel(r.x, px, py, p.unlit, 2s)) {
        std::fprintf(stderr, "press %d: pad not unlit (0x%06x)\n", i, r.x.pixel(px, py));
        return out;
    }
    pump(30ms);
    const std::size_t before = r.recorder.mark();
    const auto pressed = Clock::now();
    r.x.press(1);
    const auto giveUp = pressed + 2s;
    while (Clock::now() < giveUp) {
        if (r.x.pixel(px, py) == p.lit) {
            out.picture = msBetween(pressed, Clock::now());
            break;
        }
    }
    if (!out.picture) std::fprintf(stderr, "press %d: the pad never showed lit\n", i);
    const std::vector<Arrival> arrivals = listenUntil(r.recorder, pressed + 450ms);
    r.x.release(1);
    waitPixel(r.x, px, py, p.unlit, 2s);

    const long onset = testing::firstLoudSample(r.recorder.samples(), before, kLoud);
    if (onset < 0) {
        std::fprintf(stderr, "press %d: no tone heard\n", i);
        return out;
    }
    // The first delivery that holds the onset: its last sample left the
    // sink `latency` before it arrived here, the onset that much earlier.
    for (const auto& [at, n] : arrivals) {
        if (n > static_cast<std::size_t>(onset)) {
            out.sound = msBetween(pressed, at) -
                        static_cast<double>(n - static_cast<std::size_t>(onset)) * 1000.0 / kRate -
                        r.lead[static_cast<std::size_t>(i % 4)];
            break;
        }
    }
    return out;
}

struct FreePlayPresses {
    std::vector<double> toPicture, toSound, toSoundRaw, coldToSound, longToSound;
};

// Presses in free play: to the lit picture, and to the tone; in quick
// succession, then each after a silence shorter than a turn's answer time,
// then each after a longer one.
FreePlayPresses pressInFreePlay(Presser& r, int presses)
{
    FreePlayPresses out;
    const int coldPresses = std::max(4, presses * 2 / 5);
    const int longPresses = std::max(2, presses / 7);
    for (int i = 0; i < presses + coldPresses + longPresses; ++i) {
        const bool cold = i >= presses;
        const bool past = i >= presses + coldPresses;
        if (cold) pump(past ? 4500ms : 2200ms);
        const Press press = pressOnce(r, i);
        if (press.picture && !cold) out.toPicture.push_back(*press.picture);
        if (!press.sound) continue;
        if (cold) {
            (past ? out.longToSound : out.coldToSound).push_back(*press.sound);
            continue;
        }
        out.toSoundRaw.push_back(*press.sound);
        out.toSound.push_back(*press.sound - r.recorder.reportedLatencyMs());
        if (std::getenv("TOLVEX_BENCH_VERBOSE"))
            std::fprintf(stderr, "press %2d pad %d: picture %6.2f ms, sound %6.2f ms (latency %.1f ms)\n", i, i % 4,
                         press.picture.value_or(-1.0), *press.sound, r.recorder.reportedLatencyMs());
        pump(150ms);
    }
    return out;
}

struct BusyPresses {
    std::vector<double> toSound;
    int silent = 0, warnings = 0;
};

// The same quick presses with every core kept busy by plain loops, as on a
// machine compiling behind the game: no warning box may come, no press may
// go silent.
BusyPresses pressWithEveryCoreBusy(Presser& r, int presses)
{
    BusyPresses out;
    const Spinners busy(static_cast<int>(std::thread::hardware_concurrency()));
    for (int i = 0; i < presses; ++i) {
        const Press press = pressOnce(r, i);
        if (press.sound)
            out.toSound.push_back(*press.sound);
        else
            ++out.silent;
        // A refused tone's warning box holds the game until it is closed.
        if (const auto box = r.x.findWindow(texts::kToneWarningTitle)) {
            ++out.warnings;
            r.x.closeWindow(*box);
            r.x.waitGone(*box, 2s);
        }
        pump(150ms);
    }
    return out;
}

void reportPresses(Table& table, const FreePlayPresses& quick, const BusyPresses& busy, double latency, int presses)
{
    const Stats pic = summarise(quick.toPicture);
    table.row("Press to picture: XTest press to the lit colour read back", pic, "ms", "median ≤ 8, p99 ≤ 16 ms",
              pic.n > 0 && pic.median <= 8.0 && pic.p99 <= 16.0, 2);
    const Stats snd = summarise(quick.toSound);
    table.row("Press to sound: XTest press to the tone's onset on the sink (recorder latency " + fmt(latency, 1) +
                  " ms taken off)",
              snd, "ms", "median ≤ 20, p99 ≤ 30 ms", snd.n > 0 && snd.median <= 20.0 && snd.p99 <= 30.0, 1);
    const Stats raw = summarise(quick.toSoundRaw);
    table.row("Press to sound, recorder latency left in", raw, "ms", "", true, 1);
    // Against the quick presses as measured the same way: the recorder's
    // latency is read at the moment, and on PipeWire it swings with the graph
    // cycle, which taking it off would add to both sides.
    const Stats coldSnd = summarise(quick.coldToSound);
    table.row("Press to sound after 2.2 s of silence, recorder latency left in", coldSnd, "ms",
              "median within 1 ms of the quick presses' (" + fmt(raw.median, 2) + " ms)",
              coldSnd.n > 0 && raw.n > 0 && coldSnd.median <= raw.median + 1.0, 2);
    table.row("Press to sound after 4.5 s of silence, the stream paused, recorder latency left in",
              summarise(quick.longToSound), "ms", "", true, 2);
    const std::string busyCores = std::to_string(std::thread::hardware_concurrency());
    const Stats busySnd = summarise(busy.toSound);
    table.row("Press to sound with " + busyCores + " busy loops on " + busyCores +
                  " cores, recorder latency left in (quick presses: median " + fmt(raw.median, 2) + ", p99 " +
                  fmt(raw.p99, 2) + " ms)",
              busySnd, "ms", "", true, 2);
    table.single("Warning boxes during " + std::to_string(presses) + " presses with every core busy", 1, busy.warnings,
                 "", "0", busy.warnings == 0, 0);
    table.single("Silent presses among " + std::to_string(presses) + " with every core busy", 1, busy.silent, "", "0",
                 busy.silent == 0, 0);
}

// Idle free play, then memory after the play before it.
void measureIdleAndMemory(Table& table, qint64 pid, int presses)
{
    pump(1s);
    const auto threadsBefore = threadTicks(pid);
    const double cpu0 = cpuMs(pid);
    pump(10s);
    const double cpu1 = cpuMs(pid);
    if (std::getenv("TOLVEX_BENCH_VERBOSE")) {
        for (const auto& [task, ticks] : threadTicks(pid))
            std::fprintf(stderr, "idle: thread %s used %lld ticks\n", task.c_str(),
                         ticks - (threadsBefore.count(task) ? threadsBefore.at(task) : 0));
    }
    table.single("Idle free play: CPU time (utime + stime) over 10 s", 1, cpu1 - cpu0, "ms",
                 "≈ 0 (≤ 10 ms, one clock tick)", cpu1 - cpu0 <= 10.0, 0);
    const double hwmMiB = std::atof(procField(pid, "status", "VmHWM:").c_str()) / 1024.0;
    table.single("Peak resident memory (VmHWM) after " + std::to_string(presses) + " presses", 1, hwmMiB, "MiB",
                 "≤ 60 MiB", hwmMiB <= 60.0, 1);
}

int measure(int argc, char* argv[], const std::string& display)
{
    QCoreApplication app(argc, argv);
    const Settings s = readSettings(argc, argv);
    Table table(s.rowsPath, s.server.empty() ? std::string() : ", on " + s.server);

    x11::XSession x(display);
    MapWatcher maps(display);
    if (!x.ok() || !maps.ok()) {
        std::fprintf(stderr, "no X connection\n");
        return 1;
    }

    Game game;
    measureStartUps(table, x, maps, s, display, game);
    struct Ender {
        Game& g;
        ~Ender() { endGame(g); }
    } ender{game};
    const auto board = enterFreePlay(x);
    if (!board) return 1;
    const x11::Rect client = testing::clientArea(x, *board);

    testing::MonitorRecorder recorder(s.monitor);
    if (!recorder.start()) {
        std::fprintf(stderr, "no recording: %s\n", recorder.diagnostics().toStdString().c_str());
        return 1;
    }
    pump(300ms);

    Presser presser{x, recorder, client.x, client.y, {}};
    const SoundNaming naming = shippedNaming(s.tones.toStdString() + "/");
    for (int pad = 0; pad < 4; ++pad)
        presser.lead[static_cast<std::size_t>(pad)] = fileLeadMs(toneFileName(naming, 1, pad));
    const FreePlayPresses quick = pressInFreePlay(presser, s.presses);
    const BusyPresses busy = pressWithEveryCoreBusy(presser, s.presses);
    const double latency = recorder.reportedLatencyMs();
    recorder.stop();
    reportPresses(table, quick, busy, latency, s.presses);

    measureIdleAndMemory(table, game.process.processId(), s.presses);

    x.closeWindow(*board);
    game.process.waitForFinished(5000);
    return 0;
}
} // namespace

int main(int argc, char* argv[])
{
    if (argc < 5) {
        std::fprintf(stderr, "usage: %s <rows.md> <program> <tone folder> <sink monitor> [starts] [presses] [server]\n",
                     argv[0]);
        return 2;
    }
    return onPrivateDisplay([&](const std::string& display) { return measure(argc, argv, display); });
}
