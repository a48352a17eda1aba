#include "application.h"

#include "classic_fonts.h"
#include "scaled_pixmap.h"

namespace tolvex {

std::unique_ptr<QApplication> makeApplication(int& argc, char** argv)
{
    // The menu bar stays in the window on desktops that offer a global one:
    // the window's fixed size is drawn around it, and Qt then skips asking the
    // session bus for that desktop's menu service.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvex"));
    QApplication::setApplicationVersion(QStringLiteral(TOLVEX_VERSION));
    QApplication::setWindowIcon(scaledIcon(QString::fromLatin1(kIconResource)));
    // Wayland has no window icons: the compositor takes the icon from the
    // desktop entry that this names (the app id), not from the line above.
    QApplication::setDesktopFileName(QStringLiteral(TOLVEX_APP_ID));
    // Closing the main window ends the program, even from inside a modal box.
    QApplication::setQuitOnLastWindowClosed(false);
    installFontSubstitutes();
    return app;
}

} // namespace tolvex
