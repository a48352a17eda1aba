// A desktop with nothing to open documents or links with: "Como Jugar" and
// the about window's links then show nothing and change nothing. Run on a
// private X display, where Qt really looks for a handler.
#include "application.h"
#include "test_ui_support.h"
#include "x_session.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>
#include <filesystem>
#include <set>

using namespace tolvex;
using namespace tolvex::uitest;

namespace {

std::set<QWidget*> visibleWindows()
{
    std::set<QWidget*> shown;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) shown.insert(w);
    return shown;
}

// What the player sees and hears of the game.
struct Snapshot {
    std::vector<bool> timers, lit;
    QString score, said;
    bool newGameEnabled = false;
    int timeBar = 0;
    std::size_t tones = 0;

    bool operator==(const Snapshot&) const = default;
};

class NoHandlerTest : public UiTest {
protected:
    Snapshot snapshot()
    {
        Snapshot s{{},
                   {},
                   form->Label(6)->text(),
                   said(),
                   form->Command1()->isEnabled(),
                   form->Label(3)->width(),
                   player.files.size()};
        for (TimerId t : {TimerId::Timer1, TimerId::Timer2, TimerId::Timer3, TimerId::Timer4, TimerId::Timer5})
            s.timers.push_back(form->Timer(t)->isActive());
        for (int pad = 0; pad < 4; ++pad) s.lit.push_back(showsLit(pad));
        return s;
    }
};

// The machine really has no handler: Qt's own request fails.
TEST_F(NoHandlerTest, TheDesktopFindsNoHandler)
{
    EXPECT_FALSE(QDesktopServices::openUrl(QUrl(QStringLiteral("http://tolvex.example"))));
    EXPECT_FALSE(QDesktopServices::openUrl(QUrl(QStringLiteral("mailto:info@example.net"))));
}

TEST_F(NoHandlerTest, HelpShowsAndChangesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile doc(dir.filePath(QStringLiteral("Instrucciones.htm")));
    ASSERT_TRUE(doc.open(QIODevice::WriteOnly));
    doc.close();
    Form1::Testing::setHelpDirectory(*form, dir.path());
    startGameAt(1);

    const auto windows = visibleWindows();
    const Snapshot before = snapshot();
    form->MnuHelp()->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(visibleWindows(), windows);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(snapshot() == before);
    clickPad(1); // the turn goes on
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
}

TEST_F(NoHandlerTest, AboutLinksShowAndChangeNothing)
{
    startGameAt(2);
    const Snapshot before = snapshot();
    bool onlyTheAboutWindowShowed = false;
    bool stayedOpen = false;
    inAboutWindow([&](FormZandrell& about) {
        const auto windows = visibleWindows();
        QTest::mouseClick(about.lblMail(), Qt::LeftButton);
        QTest::mouseClick(about.lblURL(), Qt::LeftButton);
        QCoreApplication::processEvents();
        onlyTheAboutWindowShowed = visibleWindows() == windows;
        stayedOpen = about.isVisible();
    });
    EXPECT_TRUE(onlyTheAboutWindowShowed);
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(snapshot() == before);
}

QtMessageHandler defaultHandler = nullptr;

// Qt says it found no browser, which is what this test sets up.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains(QLatin1String("propagateSizeHints")) || message.contains(QLatin1String("web browser"))) return;
    defaultHandler(type, context, message);
}

} // namespace

int main(int argc, char* argv[])
{
    tolvex::x11::XvfbServer xvfb;
    if (xvfb.name().empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    // Nothing the desktop could open a document or link with: an empty
    // search path and no browser named in the environment.
    const auto emptyBin = std::filesystem::temp_directory_path() / ("tolvex-no-handler-" + std::to_string(::getpid()));
    std::filesystem::create_directories(emptyBin);
    setenv("DISPLAY", xvfb.name().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("PATH", emptyBin.c_str(), 1);
    for (const char* name :
         {"BROWSER", "DEFAULT_BROWSER", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION"})
        unsetenv(name);

    defaultHandler = qInstallMessageHandler(quietHandler);
    int status = 0;
    {
        const std::unique_ptr<QApplication> app = tolvex::makeApplication(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        status = RUN_ALL_TESTS();
    }
    std::error_code ec;
    std::filesystem::remove_all(emptyBin, ec);
    return status;
}
