// The windows as a Wayland client of a private headless weston, started and
// stopped here: the about window first, then the board at its fixed size,
// a pad played, a new game begun, and the window closed; and the board and
// the tone warning box through a maximise asked for by Qt's title bar.
// Wayland has no XTest, so the input comes from QTest through the windows
// themselves.
#include "application.h"
#include "test_ui_support.h"
#include "wait_until.h"

#include <QDir>
#include <QKeyEvent>
#include <QMenuBar>
#include <qpa/qplatformnativeinterface.h>

#include <wayland-client.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tolvex::uitest {
namespace {

constexpr const char* kSocketName = "tolvex-test";

// A headless weston with its own runtime folder; nothing of a user's session
// (display, bus, weston.ini) reaches it.
class Compositor {
public:
    ~Compositor() { stop(); }

    // Empty on success, else what went wrong.
    std::string start()
    {
        std::string dirTemplate = QDir::tempPath().toStdString() + "/tolvex-wayland-XXXXXX";
        if (!mkdtemp(dirTemplate.data())) return std::string("mkdtemp: ") + std::strerror(errno);
        m_runtimeDir = dirTemplate; // mkdtemp makes it 0700, as Wayland wants
        const std::string log = m_runtimeDir + "/weston.log";
        m_pid = fork();
        if (m_pid < 0) return std::string("fork: ") + std::strerror(errno);
        if (m_pid == 0) {
            // A crashed test must not leave the compositor behind.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd >= 0) {
                dup2(fd, STDOUT_FILENO);
                dup2(fd, STDERR_FILENO);
            }
            setenv("XDG_RUNTIME_DIR", m_runtimeDir.c_str(), 1);
            unsetenv("DISPLAY");
            unsetenv("WAYLAND_DISPLAY");
            const std::string socket = std::string("--socket=") + kSocketName;
            // --idle-time=0: never blank the output, which would hide the windows.
            execlp("weston", "weston", "--backend=headless-backend.so", socket.c_str(), "--idle-time=0", "--no-config",
                   "--width=1024", "--height=768", static_cast<char*>(nullptr));
            std::fprintf(stderr, "cannot run weston: %s\n", std::strerror(errno));
            _exit(127);
        }
        const std::string path = m_runtimeDir + "/" + kSocketName;
        for (int waited = 0; waited < 15000; waited += 20) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return "weston ended before it listened (is the weston package installed?):\n" + logText();
            }
            if (listening(path)) return {};
            usleep(20 * 1000);
        }
        return "weston did not listen within 15 s:\n" + logText();
    }

    void stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            int status = 0;
            for (int waited = 0; waited < 5000 && waitpid(m_pid, &status, WNOHANG) != m_pid; waited += 10)
                usleep(10 * 1000);
            if (kill(m_pid, 0) == 0) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, &status, 0);
            }
            m_pid = -1;
        }
        if (!m_runtimeDir.empty()) {
            QDir(QString::fromStdString(m_runtimeDir)).removeRecursively();
            m_runtimeDir.clear();
        }
    }

    const std::string& runtimeDir() const { return m_runtimeDir; }

private:
    static bool listening(const std::string& path)
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) return false;
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
        const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        close(fd);
        return ok;
    }
    std::string logText() const
    {
        QFile f(QString::fromStdString(m_runtimeDir + "/weston.log"));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    pid_t m_pid = -1;
    std::string m_runtimeDir;
};

constexpr int kWaitMs = 10000;

// Returns once the compositor has handled every request sent so far and its
// answers have been read, or false if it has closed the connection. The
// round trip runs on a queue of its own, leaving Qt's events to Qt.
bool roundTrip()
{
    auto* display = static_cast<wl_display*>(
        QGuiApplication::platformNativeInterface()->nativeResourceForIntegration("wl_display"));
    if (!display) return false;
    wl_event_queue* queue = wl_display_create_queue(display);
    const int result = wl_display_roundtrip_queue(display, queue);
    wl_event_queue_destroy(queue);
    return result >= 0 && wl_display_get_error(display) == 0;
}

// Asks for `window` maximised, as a click on the maximise button of Qt 6.4's
// title bar does, and waits for the whole exchange: the request out, the
// compositor's answer in, Qt applying and acknowledging it, and the
// compositor judging the result. False if the connection broke meanwhile.
bool pressMaximise(QWindow* window)
{
    window->setWindowStates(window->windowStates() ^ Qt::WindowMaximized);
    int trips = 0;
    bool connected = true;
    tolvex::testing::waitUntil(
        [&] {
            connected = roundTrip();
            return !connected || ++trips == 3;
        },
        std::chrono::milliseconds(kWaitMs));
    return connected && trips == 3;
}

// The board on a fake clock, its about window closed at once, shown.
struct BoardPastAbout {
    FakeClock clock;
    RecordingPlayer player;
    Form1 form{clock, player};

    bool shown()
    {
        tolvex::testing::onAbout(closeAtOnce);
        form.load();
        form.showCentred();
        return QTest::qWaitForWindowExposed(&form, kWaitMs);
    }
};

TEST(WaylandTest, RunsAsAWaylandClient) { EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland")); }

TEST(WaylandTest, AboutFirstThenTheBoardPlaysAndClosing)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
    FakeClock clock;
    RecordingPlayer player;
    Form1 form(clock, player);

    // The about window, seen from inside its own modal loop.
    bool aboutRan = false, exposed = false, modal = false, frameless = false, boardHidden = false, closed = false;
    QPointer<FormZandrell> about;
    tolvex::testing::onAbout([&](FormZandrell& a) {
        about = &a;
        QTimer::singleShot(0, &a, [&] {
            aboutRan = true;
            exposed = QTest::qWaitForWindowExposed(about.data(), kWaitMs);
            if (!about) return;
            modal = QGuiApplication::modalWindow() == about->windowHandle() && about->isModal();
            frameless = about->windowFlags().testFlag(Qt::FramelessWindowHint);
            boardHidden = !form.isVisible();
            // Any character key closes it.
            QTest::keyClick(about->windowHandle(), Qt::Key_X);
            closed = !about || !about->isVisible();
            if (about) about->close(); // so that a failure does not hang here
        });
    });
    form.load(); // returns when the about window has been closed
    ASSERT_TRUE(aboutRan) << "the about window's loop never ran";
    EXPECT_TRUE(exposed) << "the compositor never showed the about window";
    EXPECT_TRUE(modal);
    EXPECT_TRUE(frameless);
    EXPECT_TRUE(boardHidden) << "the board showed before the about window was closed";
    EXPECT_TRUE(closed) << "a key did not close the about window";
    ASSERT_FALSE(form.closing());

    form.showCentred();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form, kWaitMs)) << "the compositor never showed the board";
    QWindow* window = form.windowHandle();
    // Client area of fixed size under the menu bar, and the compositor is
    // told so: the smallest and the largest size are the same.
    EXPECT_EQ(form.centralWidget()->size(), QSize(504, 390));
    EXPECT_EQ(form.width(), 504);
    EXPECT_EQ(form.height(), 390 + form.menuBar()->height());
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->size(), form.size());
    RecordProperty("frame_margins", QStringLiteral("%1,%2,%3,%4")
                                        .arg(window->frameMargins().left())
                                        .arg(window->frameMargins().top())
                                        .arg(window->frameMargins().right())
                                        .arg(window->frameMargins().bottom())
                                        .toStdString());

    // Free play: a press lights its pad and sounds its tone, the release
    // puts it out.
    PadPicture* pad = form.Image1(2);
    const QPoint middle = pad->mapTo(&form, pad->rect().center());
    auto lit = [&](int p) { return litOnBoard(form, p); };
    const std::size_t soundsBefore = player.files.size();
    QTest::mousePress(window, Qt::LeftButton, {}, middle);
    EXPECT_TRUE(tolvex::testing::waitUntil([&] { return lit(2); }, std::chrono::milliseconds(kWaitMs)))
        << "the pressed pad did not light";
    EXPECT_EQ(player.files.size(), soundsBefore + 1) << "the pressed pad made no sound";
    QTest::mouseRelease(window, Qt::LeftButton, {}, middle);
    EXPECT_TRUE(tolvex::testing::waitUntil([&] { return !lit(2); }, std::chrono::milliseconds(kWaitMs)))
        << "the released pad stayed lit";
    // A key by its place: the main row's 1 plays pad 0, whatever it prints.
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_Ampersand, {}, 10, 0, 0);
        QCoreApplication::sendEvent(&form, &key);
        EXPECT_EQ(lit(0), type == QEvent::KeyPress) << "the main row's first key, by its place";
    }

    // "Nuevo Juego": the game's first pad lights on its own timers.
    clock.randoms.push_back(FakeClock::forPad(1));
    QPushButton* newGame = form.Command1();
    ASSERT_EQ(newGame->text(), QStringLiteral("Nuevo Juego"));
    QTest::mouseClick(window, Qt::LeftButton, {}, newGame->mapTo(&form, newGame->rect().center()));
    EXPECT_TRUE(tolvex::testing::waitUntil([&] { return lit(1); }, std::chrono::milliseconds(kWaitMs)))
        << "the game's first pad never lit";

    // Closing the window ends the program's event loop.
    QTimer::singleShot(0, &form, [&form] { form.close(); });
    EXPECT_EQ(runUntilClosed(kWaitMs), 0) << "the event loop went on after the window was closed";
    EXPECT_TRUE(form.closing());
    EXPECT_FALSE(form.isVisible());
}

// Qt's own title bar shows a maximise button on the board too. Weston
// answers a maximise with the output's size, which the board cannot take,
// and it drops a client that acknowledges it at another size.
TEST(WaylandTest, MaximiseButtonLeavesTheBoardAsItIs)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
    BoardPastAbout board;
    ASSERT_TRUE(board.shown()) << "the compositor never showed the board";
    Form1& form = board.form;
    RecordingPlayer& player = board.player;
    QWindow* window = form.windowHandle();
    const QSize size = window->size();
    ASSERT_EQ(size, form.size());

    // Twice: a second press must find the board as the first left it.
    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        ASSERT_TRUE(pressMaximise(window)) << "the compositor closed the connection";
        EXPECT_FALSE(window->windowStates().testFlag(Qt::WindowMaximized));
        EXPECT_FALSE(form.isMaximized());
        EXPECT_EQ(window->size(), size);
        EXPECT_EQ(form.size(), size);
        EXPECT_EQ(form.centralWidget()->size(), QSize(504, 390));
    }

    // Still playing: a press sounds its pad.
    PadPicture* pad = form.Image1(0);
    const QPoint middle = pad->mapTo(&form, pad->rect().center());
    QTest::mousePress(window, Qt::LeftButton, {}, middle);
    QTest::mouseRelease(window, Qt::LeftButton, {}, middle);
    EXPECT_EQ(player.files.size(), 1u) << "the pressed pad made no sound";
    EXPECT_TRUE(roundTrip()) << "the compositor closed the connection";
}

// The tone warning box has the same title bar, over the board, and its size
// is fixed too.
TEST(WaylandTest, MaximiseButtonLeavesTheToneWarningAsItIs)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("wayland"));
    BoardPastAbout board;
    ASSERT_TRUE(board.shown()) << "the compositor never showed the board";
    Form1& form = board.form;

    // Seen from inside the box's own modal loop.
    bool ran = false, found = false, exposed = false, connected = false, maximised = true;
    QSize before, after;
    QTimer::singleShot(0, &form, [&] {
        ran = true;
        QPointer<QWidget> box = QApplication::activeModalWidget();
        found = box != nullptr;
        if (!box) return;
        exposed = QTest::qWaitForWindowExposed(box.data(), kWaitMs);
        QWindow* window = box->windowHandle();
        before = window->size();
        connected = pressMaximise(window);
        if (!box) return;
        maximised = window->windowStates().testFlag(Qt::WindowMaximized) || box->isMaximized();
        after = window->size();
        box->close();
    });
    form.ShowToneWarning("No puedo ejecutar el fichero .WAV!");
    ASSERT_TRUE(ran) << "the warning box's loop never ran";
    ASSERT_TRUE(found) << "no modal warning box";
    EXPECT_TRUE(exposed) << "the compositor never showed the warning box";
    ASSERT_TRUE(connected) << "the compositor closed the connection";
    EXPECT_FALSE(maximised);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(QApplication::activeModalWidget()) << "the warning box stayed open";
    EXPECT_TRUE(roundTrip()) << "the compositor closed the connection";
}

} // namespace
} // namespace tolvex::uitest

int main(int argc, char* argv[])
{
    // Here the compositor is the one this program starts, never a session's.
    tolvex::uitest::Compositor compositor;
    const std::string failure = compositor.start();
    if (!failure.empty()) {
        std::fprintf(stderr, "FAILED: no headless weston: %s\n", failure.c_str());
        return 1;
    }
    setenv("XDG_RUNTIME_DIR", compositor.runtimeDir().c_str(), 1);
    setenv("WAYLAND_DISPLAY", tolvex::uitest::kSocketName, 1);
    setenv("QT_QPA_PLATFORM", "wayland", 1); // no fallback: a missing plugin fails
    // Shared-memory buffers only, which is all the game's raster-painted
    // windows use. Otherwise Qt loads its EGL client buffer integration, and
    // with it Mesa's driver, which leaves a once-per-process allocation
    // behind after it is unloaded: the sanitizer build's leak checker can
    // name no module to suppress it by, and a wider rule would hide leaks of
    // our own. Qt logs that it found no integration called "none".
    setenv("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "none", 1);
    unsetenv("DISPLAY");
    int result = 1;
    {
        const std::unique_ptr<QApplication> app = tolvex::makeApplication(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    compositor.stop();
    return result;
}
