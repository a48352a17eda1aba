#pragma once
// Starts the game as a separate process on a given X display, and makes sure
// it does not outlive a failed test.

#include "pads.h"
#include "x_session.h"

#include <QProcess>
#include <QString>

#include <optional>
#include <string>

namespace tolvex::testing {

inline bool startGame(QProcess& game, const QString& program, const QString& workingDir, const std::string& display)
{
    game.setWorkingDirectory(workingDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", QString::fromStdString(display));
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("WAYLAND_DISPLAY");
    // With no session bus named, Qt's accessibility layer would fork
    // dbus-launch to start one for this X server; a bus that does not exist
    // is refused at once instead.
    if (!env.contains("DBUS_SESSION_BUS_ADDRESS"))
        env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tolvex-no-session-bus");
    game.setProcessEnvironment(env);
    game.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    game.setStandardOutputFile(QProcess::nullDevice());
    game.start(program, {});
    return game.waitForStarted(5000);
}

// Kills the game when the test leaves early.
struct ProcessReaper {
    QProcess& process;
    ~ProcessReaper()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
};

// The board's client area in root coordinates: the window's bottom part,
// below the menu bar.
inline x11::Rect clientArea(const x11::XSession& x, unsigned long board)
{
    const x11::Rect w = x.geometry(board);
    return {w.x, w.y + w.height - kClientHeight, kClientWidth, kClientHeight};
}

// The about window comes first, on its own; a click on it, or a key typed
// while the pointer rests on it, closes it and the board appears. Returns the
// board's window, or nothing if that went wrong.
enum class CloseAbout { ByClick, ByKey };

inline std::optional<unsigned long> passAboutWindow(x11::XSession& x, CloseAbout how = CloseAbout::ByClick)
{
    using namespace std::chrono_literals;
    const auto about = x.waitForUntitled(284, 420, 15s);
    if (!about || x.findWindow(TOLVEX_CAPTION)) return std::nullopt;
    const x11::Rect a = x.geometry(*about);
    if (how == CloseAbout::ByClick) {
        x.click(a.x + a.width / 2, a.y + 60);
    } else {
        // With no window manager the keys go where the pointer is.
        x.moveTo(a.x + a.width / 2, a.y + 60);
        x.key("space");
    }
    const auto board = x.waitForWindow(TOLVEX_CAPTION, 10s);
    if (!board || !x.waitGone(*about, 5s)) return std::nullopt;
    return board;
}

} // namespace tolvex::testing
