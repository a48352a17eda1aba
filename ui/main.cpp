#include "classic_fonts.h"
#include "exit_now.h"
#include "form1.h"
#include "platform.h"
#include "pulse_wave_player.h"

#include <QApplication>

namespace {

int play(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvex"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVEX_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tolvex-32.png")));
    // Closing the main window ends the program, even from inside a modal box.
    QApplication::setQuitOnLastWindowClosed(false);
    tolvex::installFontSubstitutes();

    tolvex::SystemPlatform platform;
    tolvex::PulseWavePlayer player;
    tolvex::Form1 form(platform, player);
    form.load();  // start-up; returns when the about window has been closed
    if (form.closing()) return 0;
    form.showCentred();
    return QApplication::exec();
}

} // namespace

int main(int argc, char* argv[])
{
    // Qt's audio teardown at process exit can crash; leave without it.
    tolvex::exitWithoutAudioTeardown(play(argc, argv));
}
