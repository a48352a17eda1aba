#include "application.h"
#include "form1.h"
#include "form_zandrell.h"
#include "platform.h"
#include "modules.h"

#include <QFontDatabase>
#include <QImageReader>
#include <QPointer>

#include <thread>

int main(int argc, char* argv[])
{
    const std::unique_ptr<QApplication> app = tolvex::makeApplication(argc, argv);
    // While the windows are built, a thread of its own reads the fonts'
    // configuration, which the about window's first text waits for, and
    // loads the image plugins, which the main window's menu bar asks for.
    // Both are thread-safe; Qt hands the plugins to the main thread.
    const std::jthread warmUp([] {
        QFontDatabase::families();
        QImageReader(QString::fromLatin1(tolvex::kIconResource)).format();
    });

    // The about window, the first the player sees, is drawn before the main
    // window is built behind it; the start-up's showing of it is this one.
    const QPointer<tolvex::FormZandrell> about = tolvex::Form1::makeAbout();
    about->present();

    tolvex::SystemPlatform platform;
    const std::unique_ptr<tolvex::WavePlayer> player = tolvex::openSoundModule();
    tolvex::Form1 form(platform, *player);
    form.addGamepads(tolvex::openGamepadModule());
    form.load(about); // returns once the about window has been closed
    if (form.closing()) return 0;
    form.showCentred();
    return QApplication::exec();
}
