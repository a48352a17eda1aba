#include "classic_fonts.h"
#include "form1.h"
#include "form_zandrell.h"
#include "platform.h"
#include "pulse_wave_player.h"
#include "scaled_pixmap.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFontDatabase>
#include <QImageReader>
#include <QPointer>
#include <QTimer>
#include <QWindow>

#include <thread>

namespace {

// Until the window system has shown the window (Qt draws it then), for a
// moment at most; the player's input waits for the window's own loop.
void waitDrawn(QWidget& window)
{
    const QDeadlineTimer deadline(200);
    QTimer wake; // the wait below sleeps no longer than this
    wake.start(5);
    const QPointer<QWidget> alive = &window;
    while (alive && alive->windowHandle() != nullptr && !alive->windowHandle()->isExposed() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

int play(int argc, char* argv[])
{
    // The menu bar stays in the window on desktops that offer a global one:
    // the window's fixed size is drawn around it, and Qt then skips asking the
    // session bus for that desktop's menu service.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    // Two slow things done on a thread of their own while the windows are
    // built: reading the fonts' configuration (5 to 10 ms, which the about
    // window's first text waits for), and loading every image plugin, which
    // Qt does the first time it is asked the format of a PNG by name (the main
    // window's menu bar asks, for its own icon). Both are thread-safe, and Qt
    // hands the plugins to the main thread.
    const std::jthread warmUp([] {
        QFontDatabase::families();
        QImageReader(QStringLiteral(":/icons/tolvex-32.png")).format();
    });
    QApplication::setApplicationName(QStringLiteral("Tolvex"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVEX_VERSION));
    QApplication::setWindowIcon(tolvex::scaledIcon(QStringLiteral(":/icons/tolvex-32.png")));
    // Wayland has no window icons: the compositor takes the icon from the
    // desktop entry that this names (the app id), not from the line above.
    QApplication::setDesktopFileName(QStringLiteral(TOLVEX_APP_ID));
    // Closing the main window ends the program, even from inside a modal box.
    QApplication::setQuitOnLastWindowClosed(false);
    tolvex::installFontSubstitutes();

    // The about window, the first the player sees, is up and drawn before the
    // main window is built behind it: building that takes longer than the
    // rest of the start-up. The start-up's showing of it is this one.
    const QPointer<tolvex::FormZandrell> about =
        new tolvex::FormZandrell(QString::fromUtf8(tolvex::Form1::kCaption), QApplication::windowIcon());
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->present();
    waitDrawn(*about);

    tolvex::SystemPlatform platform;
    tolvex::PulseWavePlayer player;
    tolvex::Form1 form(platform, player);
    form.load(about); // start-up; returns when the about window has been closed
    if (form.closing()) return 0;
    form.showCentred();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) { return play(argc, argv); }
