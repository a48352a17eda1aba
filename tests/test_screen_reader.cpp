// The game as a screen reader meets it: the real program on a private X
// server, with a private session bus and accessibility bus, read through
// AT-SPI by a probe (tests/accessibility/atspi_probe.py) and played with
// synthetic keys.
#include "game_process.h"
#include "x_session.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <iostream>

using namespace tolvex;
using namespace std::chrono_literals;

namespace {

const QStringList kPadNames = {QStringLiteral("Pulsador verde, tecla 1"), QStringLiteral("Pulsador amarillo, tecla 2"),
                               QStringLiteral("Pulsador azul, tecla 3"), QStringLiteral("Pulsador rojo, tecla 4")};

// Ends a helper process: politely first, so that it takes its own children
// (the accessibility bus's daemon) along.
void stop(QProcess& p)
{
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(2000);
    }
}

// A session bus of the test's own, and the accessibility bus launcher on it.
class AccessibilityBus {
public:
    AccessibilityBus(const QString& display, const QString& runtimeDir)
    {
        m_session.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_session.start(QStringLiteral("dbus-daemon"),
                        {"--session", "--nofork", "--nopidfile", "--nosyslog", "--print-address=1"});
        if (!m_session.waitForStarted(5000)) return;
        QElapsedTimer t;
        t.start();
        while (!m_session.canReadLine() && t.elapsed() < 10000) m_session.waitForReadyRead(500);
        if (!m_session.canReadLine()) return;
        const QString address = QString::fromUtf8(m_session.readLine()).trimmed();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", display);
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        env.insert("XDG_RUNTIME_DIR", runtimeDir);
        env.remove("AT_SPI_BUS_ADDRESS");
        m_launcher.setProcessEnvironment(env);
        m_launcher.setProcessChannelMode(QProcess::ForwardedChannels);
        m_launcher.start(QStringLiteral(TOLVEX_ATSPI_LAUNCHER), {"--launch-immediately"});
        if (m_launcher.waitForStarted(5000)) m_env = env;
    }
    ~AccessibilityBus()
    {
        stop(m_launcher);
        stop(m_session);
    }
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    // Empty when either could not start.
    const QProcessEnvironment& environment() const { return m_env; }

private:
    QProcess m_session;
    QProcess m_launcher;
    QProcessEnvironment m_env;
};

// The screen reader's side, one command at a time.
class Probe {
public:
    explicit Probe(const QProcessEnvironment& env)
    {
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(TOLVEX_SYSTEM_PYTHON), {QStringLiteral(TOLVEX_ATSPI_PROBE)});
        m_process.waitForStarted(5000);
    }
    ~Probe()
    {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.write("quit\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000)) stop(m_process);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;

    // "ready" once the probe is up and has found the accessibility bus.
    QString greeting() { return readLine(20000); }

    // The answer's lines; the last one is "error ..." when the command failed.
    QStringList ask(const QString& command, int limitMs = 15000)
    {
        m_process.write((command + '\n').toUtf8());
        QStringList lines;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < limitMs) {
            const QString line = readLine(static_cast<int>(limitMs - t.elapsed()));
            if (line == QLatin1String("end")) return lines;
            lines << line;
            if (line.startsWith(QLatin1String("error"))) return lines;
        }
        lines << QStringLiteral("error the probe did not answer \"%1\" in time").arg(command);
        return lines;
    }
    // One line of answer, or "error ..." when the command failed.
    QString one(const QString& command, int limitMs = 15000)
    {
        const QStringList lines = ask(command, limitMs);
        return lines.isEmpty() ? QString() : lines.last();
    }

private:
    QString readLine(int limitMs)
    {
        QElapsedTimer t;
        t.start();
        while (!m_process.canReadLine() && t.elapsed() < limitMs && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(100);
        if (!m_process.canReadLine())
            return QStringLiteral("error the probe said nothing (it %1)")
                .arg(m_process.state() == QProcess::Running ? "hangs" : "ended");
        return QString::fromUtf8(m_process.readLine()).chopped(1);
    }

    QProcess m_process;
};

// One object of the main window as the probe lists it.
struct Node {
    int depth = 0;
    QString role, name;
    QStringList states;
};

std::vector<Node> parseTree(const QStringList& lines)
{
    std::vector<Node> nodes;
    for (const QString& line : lines) {
        const QStringList f = line.split('\t');
        if (f.size() != 4) continue;
        nodes.push_back({f[0].toInt(), f[1], f[2], f[3].split(',', Qt::SkipEmptyParts)});
    }
    return nodes;
}

} // namespace

// Names and answers in gtest's messages, readable.
static std::ostream& operator<<(std::ostream& os, const QString& s) { return os << s.toStdString(); }
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

TEST(ScreenReader, ReadsThePadsAndTheScoreAndHearsHowEachGameGoes)
{
    QElapsedTimer clock;
    clock.start();
    const auto stage = [&](const char* what) { std::cout << "[" << clock.elapsed() << " ms] " << what << std::endl; };

    x11::XvfbServer xvfb;
    ASSERT_FALSE(xvfb.name().empty()) << "Xvfb did not start";
    x11::XSession x(xvfb.name());
    ASSERT_TRUE(x.ok());
    QTemporaryDir runtimeDir;
    ASSERT_TRUE(runtimeDir.isValid());

    const AccessibilityBus bus(QString::fromStdString(xvfb.name()), runtimeDir.path());
    ASSERT_FALSE(bus.environment().isEmpty()) << "the session bus or the accessibility bus launcher did not start";
    Probe probe(bus.environment());
    ASSERT_EQ(probe.greeting(), QStringLiteral("ready")) << "the AT-SPI probe could not reach the accessibility bus";
    stage("accessibility bus up");

    // The game inherits the test's environment.
    for (const char* name : {"DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"})
        qputenv(name, bus.environment().value(name).toUtf8());
    qunsetenv("AT_SPI_BUS_ADDRESS");
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QProcess game;
    ASSERT_TRUE(
        tolvex::testing::startGame(game, QStringLiteral(TOLVEX_PROGRAM), QStringLiteral(TOLVEX_TONE_DIR), xvfb.name()));
    tolvex::testing::ProcessReaper reaper{game};
    const auto board = tolvex::testing::passAboutWindow(x, tolvex::testing::CloseAbout::ByKey);
    ASSERT_TRUE(board.has_value()) << "a key did not close the about window";
    stage("board shown");

    const QStringList treeLines = probe.ask(QStringLiteral("tree"));
    ASSERT_FALSE(treeLines.isEmpty());
    ASSERT_FALSE(treeLines.last().startsWith(QLatin1String("error"))) << treeLines.last();
    std::cout << "The main window through AT-SPI (depth, role, name, states):\n";
    for (const QString& line : treeLines) std::cout << "  " << line << '\n';
    stage("tree read");

    // Four pad buttons and nothing else of the pads: the lit pictures are
    // parts of their pads.
    const std::vector<Node> tree = parseTree(treeLines);
    QStringList pads, padLike;
    const Node* score = nullptr;
    const Node* timeBar = nullptr;
    for (const Node& n : tree) {
        if (n.name.startsWith(QLatin1String("Pulsador"))) padLike << n.name;
        if (n.role == QLatin1String("push button") && n.name.startsWith(QLatin1String("Pulsador"))) pads << n.name;
        if (n.name.startsWith(QStringLiteral("Puntuación"))) score = &n;
        if (n.role == QLatin1String("progress bar")) timeBar = &n;
    }
    // Sorted: a reader walks them in the order the board made them.
    const auto sorted = [](QStringList l) {
        l.sort();
        return l;
    };
    EXPECT_EQ(sorted(pads), sorted(kPadNames));
    EXPECT_EQ(sorted(padLike), sorted(kPadNames));
    for (const Node& n : tree) {
        if (!kPadNames.contains(n.name)) continue;
        EXPECT_FALSE(n.states.contains(QLatin1String("pressed"))) << n.name;
        EXPECT_FALSE(n.states.contains(QLatin1String("checked"))) << n.name;
    }
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(score->name, QStringLiteral("Puntuación: 0"));
    EXPECT_NE(timeBar, nullptr);

    // Space on "Nuevo Juego", which has the focus as the board appears,
    // starts a game and hands the focus to the board; the probe sees the pad
    // that plays back, and the pad's key repeats it.
    const x11::Rect w = x.geometry(*board);
    x.moveTo(w.x + w.width / 2, w.y + w.height / 2);
    x.focus(*board);
    const auto focusOn = [&](const QString& name, int limitMs) {
        EXPECT_EQ(probe.one(QStringLiteral("focus %1 ").arg(limitMs) + name, limitMs + 5000), "focus " + name);
    };
    const QString newGame = QStringLiteral("Nuevo Juego");
    focusOn(newGame, 5000);
    x.key("space");
    focusOn(QStringLiteral("Tablero, teclas 1 a 4"), 5000);
    const QString flash = probe.one(QStringLiteral("next-flash 5000"), 12000);
    ASSERT_TRUE(flash.startsWith(QLatin1String("flash "))) << flash;
    const QString pad = flash.mid(6);
    ASSERT_TRUE(kPadNames.contains(pad)) << pad;
    stage("first pad played back");
    x.key(std::string(1, static_cast<char>('1' + kPadNames.indexOf(pad))));
    EXPECT_EQ(probe.one(QStringLiteral("wait-name 3000 Puntuación: 1"), 8000), QStringLiteral("found Puntuación: 1"));
    stage("score read");

    // The pad's light was announced as it came and went. Qt's bridge tells
    // tools of the checked state only; pressed changes go unannounced.
    const QStringList heard = probe.ask(QStringLiteral("events"));
    std::cout << "State changes heard:\n";
    for (const QString& line : heard) std::cout << "  " << line << '\n';
    ASSERT_GE(heard.size(), 2);
    EXPECT_EQ(heard[0], "object:state-changed:checked 1 " + pad);
    EXPECT_EQ(heard[1], "object:state-changed:checked 0 " + pad);

    // The rest of that game, a game lost on time and a game won, followed by
    // ear: every message in order, the focus back on "Nuevo Juego" after
    // each. The keys go by their place, as a player's fingers do.
    const QStringList colours = {"verde", "amarillo", "azul", "rojo"};
    const auto hear = [&](const QString& expected, int limitMs) {
        EXPECT_EQ(probe.one(QStringLiteral("said %1").arg(limitMs), limitMs + 5000), "said " + expected);
    };
    const auto playBack = [&](int pads) {
        std::vector<int> sequence;
        for (const QString& line : probe.ask(QStringLiteral("flashes %1 20000").arg(pads), 25000)) {
            EXPECT_TRUE(line.startsWith(QLatin1String("flash "))) << line;
            sequence.push_back(static_cast<int>(kPadNames.indexOf(line.mid(6))));
        }
        return sequence;
    };
    // Each key's press seen lit and dark before the next: a release and a
    // press of one key that arrive together are taken for its auto-repeat.
    const auto tap = [&](int pad) {
        x.keyCode(10 + pad, true);
        x.keyCode(10 + pad, false);
        EXPECT_EQ(playBack(1), std::vector<int>{pad});
    };
    const QString easy = QStringLiteral("Nuevo juego, nivel Fácil: 10 rondas");
    hear(easy, 3000);
    hear(QStringLiteral("Puntuación: 1"), 3000);

    // Shift goes down while the first pad's key is held and up after it: the
    // key's release still lets the pad go, so the wrong key then counts.
    std::vector<int> sequence = playBack(2);
    ASSERT_EQ(sequence.size(), 2u);
    constexpr unsigned kShift = 50;
    x.keyCode(10 + sequence[0], true);
    x.keyCode(kShift, true);
    x.keyCode(10 + sequence[0], false);
    x.keyCode(kShift, false);
    EXPECT_EQ(playBack(1), std::vector<int>{sequence[0]}) << "the pad stays lit";
    tap((sequence[1] + 1) % 4);
    hear("Fallaste: tocaba el " + colours[sequence[1]] + ". Puntuación: 1", 5000);
    focusOn(newGame, 5000);

    x.key("space");
    hear(easy, 3000);
    sequence = playBack(1);
    ASSERT_EQ(sequence.size(), 1u);
    hear("Se acabó el tiempo: tocaba el " + colours[sequence[0]] + ". Puntuación: 0", 8000);
    focusOn(newGame, 5000);

    // On the French layout the main row prints & é " ': it plays the pads all the same.
    QProcess layout;
    layout.start(QStringLiteral("setxkbmap"),
                 {QStringLiteral("-display"), QString::fromStdString(xvfb.name()), QStringLiteral("fr")});
    ASSERT_TRUE(layout.waitForFinished(10000) && layout.exitCode() == 0) << "setxkbmap fr failed";
    x.key("space");
    hear(easy, 3000);
    for (int round = 1; round <= 10; ++round) {
        sequence = playBack(round);
        ASSERT_EQ(static_cast<int>(sequence.size()), round);
        for (int p : sequence) tap(p);
        hear(round < 10 ? QStringLiteral("Puntuación: %1").arg(round) : QStringLiteral("¡Has ganado! Puntuación: 10"),
             5000);
    }
    focusOn(newGame, 8000);
    stage("three games followed by ear");

    x.closeWindow(*board);
    EXPECT_TRUE(game.waitForFinished(5000));
    stage("game closed");
}
