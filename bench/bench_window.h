#pragma once
// The real main window for a measurement: on the private X server, in the
// tone folder, shown past its about window as a player sees it.

#include "about_watch.h"
#include "form1.h"

#include <QDir>
#include <QTest>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace tolvex::bench {

// Points the program at `display` (never a Wayland one) and at the tones,
// which are looked up in the working directory. False if there are none.
inline bool useDisplayAndTones(const std::string& display, const char* toneDir)
{
    setenv("DISPLAY", display.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    if (QDir::setCurrent(QString::fromLocal8Bit(toneDir))) return true;
    std::fprintf(stderr, "no tone folder %s\n", toneDir);
    return false;
}

// Start-up, the about window closed at once, the board shown.
inline bool showPastAbout(Form1& form)
{
    tolvex::testing::onAbout(testing::closeAtOnce);
    form.load();
    form.showCentred();
    if (QTest::qWaitForWindowExposed(&form, 10000)) return true;
    std::fprintf(stderr, "the main window was never shown\n");
    return false;
}

} // namespace tolvex::bench
