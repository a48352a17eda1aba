#include "classic_fonts.h"
#include "form1.h"
#include "platform.h"
#include "pulse_wave_player.h"
#include "scaled_pixmap.h"

#include <QApplication>
#include <QFontDatabase>
#include <QImageReader>

#include <thread>

namespace {

int play(int argc, char* argv[])
{
    QApplication app(argc, argv);
    // The fonts' configuration takes the first text widget 5 to 7 ms to read;
    // read here on a thread of its own, it overlaps the rest of start-up. The
    // font database is thread-safe.
    const std::jthread fonts([] {
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

    tolvex::SystemPlatform platform;
    tolvex::PulseWavePlayer player;
    tolvex::Form1 form(platform, player);
    form.load(); // start-up; returns when the about window has been closed
    if (form.closing()) return 0;
    form.showCentred();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[]) { return play(argc, argv); }
