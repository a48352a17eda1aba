// The about window: layout, start-up order, activation, closing, hover, links.
#include "test_ui_support.h"
#include "url_recorder.h"

#include "twips.h"

#include <QCursor>
#include <QKeyEvent>
#include <QScreen>

namespace tolvex::uitest {
namespace {

using testing::UrlRecorder;

// An about window shown on its own, without a modal loop, so tests can poke it.
class AboutTest : public UiTest {
protected:
    QPointer<FormZandrell> about;

    void SetUp() override
    {
        UiTest::SetUp();
        about = new FormZandrell(form->windowTitle(), form->windowIcon());
        about->setAttribute(Qt::WA_DeleteOnClose);
        about->show();
        about->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(about));
    }
    void TearDown() override
    {
        delete about.data();
        UiTest::TearDown();
    }

    QWidget* control(const char* name) { return about->findChild<QWidget*>(QString::fromLatin1(name)); }
    QPoint at(QWidget* w, QPoint local) { return w->mapTo(about.data(), local); }
    void clickOn(QWidget* w)
    {
        QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, at(w, w->rect().center()));
    }
    // Through the platform's cursor, which also reports entering windows.
    void moveTo(QPoint inAbout)
    {
        QCursor::setPos(about->mapToGlobal(inAbout));
        QCoreApplication::processEvents();
    }
    bool closed() { return about.isNull() || !about->isVisible(); }
};

// The about window is frameless, black, a fixed 284 × 420, and owned by no other window.
TEST_F(AboutTest, FramelessBlackWindowOfFixedSize)
{
    EXPECT_EQ(about->size(), QSize(284, 420));
    EXPECT_EQ(about->minimumSize(), about->maximumSize());
    EXPECT_TRUE(about->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(about->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(about->parentWidget(), nullptr); // no owner window
}

struct AboutControl {
    const char* name;
    int left, top, width, height;
    QRgb text; // 0: no text colour
};

class AboutPlaceTest : public AboutTest, public ::testing::WithParamInterface<AboutControl> {};

// Each of the about window's controls sits at its place in twips, its text in its own colour.
TEST_P(AboutPlaceTest, SitsAtItsTwipsPlaceInItsColour)
{
    const AboutControl& c = GetParam();
    QWidget* w = control(c.name);
    ASSERT_NE(w, nullptr) << c.name;
    EXPECT_EQ(w->geometry(), twipsRect(c.left, c.top, c.width, c.height)) << c.name;
    if (c.text) {
        EXPECT_EQ(w->palette().color(QPalette::WindowText), QColor(c.text)) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(About, AboutPlaceTest,
                         ::testing::Values(AboutControl{"lblClick", 2805, 5955, 1320, 210, qRgb(255, 255, 192)},
                                           AboutControl{"shpMarco", 0, 0, 4260, 6300, 0},
                                           AboutControl{"imgLogo", 405, 810, 3450, 3435, 0},
                                           AboutControl{"lblCreadoPor", 956, 480, 2295, 255, qRgb(255, 255, 255)},
                                           AboutControl{"imgIcono", 349, 180, 480, 480, 0},
                                           AboutControl{"lblURL", 1635, 4605, 1485, 240, qRgb(51, 153, 255)},
                                           AboutControl{"lblMail", 1605, 4350, 1575, 240, qRgb(51, 153, 255)},
                                           AboutControl{"lblTitulo", 956, 180, 2955, 375, qRgb(255, 255, 255)},
                                           AboutControl{"lblTexWeb", 1095, 4635, 615, 255, qRgb(192, 192, 192)},
                                           AboutControl{"lblTexEmail", 1080, 4365, 735, 255, qRgb(192, 192, 192)},
                                           AboutControl{"lblTexto", 240, 4980, 4185, 1005, qRgb(192, 192, 192)}),
                         [](const auto& info) { return std::string(info.param.name); });

// The texts and their fonts, none underlined or italic; the terms wrap, and the logo is 230 × 229.
TEST_F(AboutTest, TextsAndFonts)
{
    EXPECT_EQ(about->lblClick()->text(), QStringLiteral("[click para cerrar]"));
    EXPECT_EQ(about->lblTexWeb()->text(), QStringLiteral("Web:"));
    EXPECT_EQ(about->lblTexEmail()->text(), QStringLiteral("Email: "));
    EXPECT_EQ(about->lblMail()->text(), QStringLiteral("info@example.net"));
    EXPECT_EQ(about->lblURL()->text(), QStringLiteral("tolvex.example"));
    EXPECT_FALSE(about->lblCreadoPor()->text().isEmpty());
    EXPECT_EQ(about->lblTitulo()->font().family(), QStringLiteral("Arial Black"));
    EXPECT_EQ(about->lblTitulo()->font().pixelSize(), 16);
    EXPECT_EQ(about->lblMail()->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(about->lblMail()->font().pixelSize(), 13);
    EXPECT_EQ(about->lblTexto()->font().pixelSize(), 12);
    EXPECT_EQ(about->lblClick()->font().family(), QStringLiteral("MS Sans Serif"));
    for (QLabel* l : about->findChildren<QLabel*>()) {
        EXPECT_FALSE(l->font().underline()) << l->objectName().toStdString();
        EXPECT_FALSE(l->font().italic());
    }
    EXPECT_TRUE(about->lblTexto()->wordWrap());
    EXPECT_EQ(about->imgLogo()->pixmap().size(), QSize(230, 229));
}

// Every one-line text fits its label's width, and the terms fit inside the outline.
TEST_F(AboutTest, EveryWordFitsItsBox)
{
    for (QLabel* l : {static_cast<QLabel*>(about->lblMail()), static_cast<QLabel*>(about->lblURL()),
                      about->lblCreadoPor(), about->lblTexWeb(), about->lblTexEmail()}) {
        EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width()) << l->objectName().toStdString();
    }
    QLabel* t = about->lblTexto();
    const QRect usable = t->contentsRect();
    EXPECT_LE(t->x() + usable.right(), about->width() - 2); // inside the outline
    const QRect needed = QFontMetrics(t->font()).boundingRect(usable, Qt::TextWordWrap, t->text());
    EXPECT_LE(needed.height(), usable.height());
}

// The terms are one Spanish paragraph of 148 characters: free to copy, never sold, on a web page only if asked.
TEST(AboutTerms, AreA148CharacterSpanishParagraph)
{
    const QString& terms = FormZandrell::kTerms;
    EXPECT_EQ(terms.size(), 148);
    EXPECT_TRUE(terms.contains(QStringLiteral("copiar libremente")));
    EXPECT_TRUE(terms.contains(QStringLiteral("cobrar")));
    EXPECT_TRUE(terms.contains(QStringLiteral("página web")));
    EXPECT_TRUE(terms.contains(QStringLiteral("permiso")));
}

// The about window shows the main window's icon and its caption as it was when the window opened.
TEST_F(AboutTest, ShowsTheMainWindowsCaptionAndIcon)
{
    EXPECT_EQ(about->lblTitulo()->text(), QStringLiteral("Tolvex 1.1"));
    EXPECT_FALSE(about->imgIcono()->pixmap().isNull());
    EXPECT_EQ(about->imgIcono()->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(about->windowIcon().cacheKey(), form->windowIcon().cacheKey());
    // The caption of the moment the window is opened.
    form->setWindowTitle(QStringLiteral("Otra"));
    EXPECT_EQ(about->lblTitulo()->text(), QString::fromUtf8(Form1::kCaption));
    QString shown;
    tolvex::testing::onAbout([&](FormZandrell& opened) {
        shown = opened.lblTitulo()->text();
        closeAtOnce(opened);
    });
    form->MnuInfo()->trigger();
    EXPECT_EQ(shown, QStringLiteral("Otra"));
}

// The two links carry the 32 × 32 hand cursor, pointing from its top-left corner; the terms do not.
TEST_F(AboutTest, LinksCarryTheHandCursor)
{
    for (QLabel* link : {static_cast<QLabel*>(about->lblMail()), static_cast<QLabel*>(about->lblURL())}) {
        const QCursor c = link->cursor();
        EXPECT_EQ(c.shape(), Qt::BitmapCursor);
        EXPECT_EQ(c.hotSpot(), QPoint(0, 0));
        EXPECT_EQ(c.pixmap().size(), QSize(32, 32));
    }
    EXPECT_NE(about->lblTexto()->cursor().shape(), Qt::BitmapCursor);
}

struct CloseCase {
    const char* control; // nullptr: the window's own background
    bool closes;
};

class AboutClickTest : public AboutTest, public ::testing::WithParamInterface<CloseCase> {};

// A click anywhere closes the window, except on a link, which opens instead.
TEST_P(AboutClickTest, ClickClosesExceptOnALink)
{
    UrlRecorder links;
    const CloseCase& c = GetParam();
    if (c.control) {
        clickOn(control(c.control));
    } else {
        // Inside the outline, away from every label.
        const QPoint bare(6, 200);
        ASSERT_EQ(about->childAt(bare), nullptr);
        QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, bare);
    }
    EXPECT_EQ(closed(), c.closes);
    EXPECT_EQ(links.urls.size(), c.closes ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    About, AboutClickTest,
    ::testing::Values(CloseCase{nullptr, true}, CloseCase{"imgIcono", true}, CloseCase{"imgLogo", true},
                      CloseCase{"lblClick", true}, CloseCase{"lblCreadoPor", true}, CloseCase{"lblTexEmail", true},
                      CloseCase{"lblTexto", true}, CloseCase{"lblTexWeb", true}, CloseCase{"lblTitulo", true},
                      CloseCase{"lblMail", false}, CloseCase{"lblURL", false}),
    [](const auto& info) { return std::string(info.param.control ? info.param.control : "background"); });

// A right click closes the window too.
TEST_F(AboutTest, TheRightButtonClosesToo)
{
    QTest::mouseClick(about->windowHandle(), Qt::RightButton, {}, at(about->imgLogo(), QPoint(10, 10)));
    EXPECT_TRUE(closed());
}

// The e-mail link opens as mailto:, the web one as http://, and the window stays.
TEST_F(AboutTest, LinksOpenWithTheirSchemes)
{
    UrlRecorder links;
    clickOn(about->lblMail());
    clickOn(about->lblURL());
    ASSERT_EQ(links.urls.size(), 2);
    EXPECT_EQ(links.urls[0], QUrl(QStringLiteral("mailto:") + about->lblMail()->text()));
    EXPECT_EQ(links.urls[1], QUrl(QStringLiteral("http://") + about->lblURL()->text()));
    EXPECT_FALSE(closed());
}

// "Email: " and "Web:" reach into their links' boxes: the links' first
// letters still open the link and still hover.
TEST_F(AboutTest, WholeLinkTextIsClickableAndHovers)
{
    form->hide();
    QCoreApplication::processEvents();
    for (LinkLabel* link : {about->lblMail(), about->lblURL()}) {
        const QPoint firstLetter = at(link, QPoint(1, link->height() / 2));
        ASSERT_EQ(about->childAt(firstLetter), link) << link->objectName().toStdString();
        moveTo(at(about->lblTexto(), about->lblTexto()->rect().center()));
        moveTo(firstLetter);
        EXPECT_TRUE(link->underlined()) << link->objectName().toStdString();
        UrlRecorder links;
        QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, firstLetter);
        EXPECT_EQ(links.urls.size(), 1) << link->objectName().toStdString();
        ASSERT_FALSE(closed());
    }
    moveTo(QPoint(6, 200)); // the pointer outlives the test: leave it off the links
}

struct AboutKey {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool closes;
};

class AboutKeyTest : public AboutTest, public ::testing::WithParamInterface<AboutKey> {};

// A key that types a character (Enter, Escape and Backspace among them) closes it; arrows, F1 and modifiers do not.
TEST_P(AboutKeyTest, TypedCharactersClose)
{
    const AboutKey& k = GetParam();
    QTest::keyClick(about->windowHandle(), k.key, k.modifiers);
    EXPECT_EQ(closed(), k.closes) << k.name;
}

INSTANTIATE_TEST_SUITE_P(
    About, AboutKeyTest,
    ::testing::Values(AboutKey{"Enter", Qt::Key_Return, {}, true}, AboutKey{"Escape", Qt::Key_Escape, {}, true},
                      AboutKey{"Backspace", Qt::Key_Backspace, {}, true}, AboutKey{"Letter", Qt::Key_A, {}, true},
                      AboutKey{"Digit", Qt::Key_7, {}, true}, AboutKey{"Space", Qt::Key_Space, {}, true},
                      AboutKey{"Left", Qt::Key_Left, {}, false}, AboutKey{"Down", Qt::Key_Down, {}, false},
                      AboutKey{"F1", Qt::Key_F1, {}, false}, AboutKey{"Shift", Qt::Key_Shift, {}, false},
                      AboutKey{"Control", Qt::Key_Control, {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The pointer over a link underlines it and no other; the other labels leave that as it is, the bare window clears it.
TEST_F(AboutTest, HoverUnderlinesOneLinkAtATime)
{
    form->hide(); // only the about window lies under the pointer
    QCoreApplication::processEvents();
    ASSERT_FALSE(about->lblMail()->underlined());
    ASSERT_FALSE(about->lblURL()->underlined());
    struct Step {
        QWidget* over; // nullptr: the bare window
        bool mail, url;
    };
    const Step steps[] = {
        {about->lblMail(), true, false},  {about->lblTexEmail(), true, false}, // other control: unchanged
        {about->lblURL(), false, true},   {about->lblTexto(), false, true},    {nullptr, false, false},
        {about->imgLogo(), false, false}, {about->lblMail(), true, false},     {about->lblURL(), false, true},
    };
    int i = 0;
    for (const Step& s : steps) {
        // The middle: the labels before the links overlap their left ends.
        moveTo(s.over ? at(s.over, s.over->rect().center()) : QPoint(6, 200));
        EXPECT_EQ(about->lblMail()->underlined(), s.mail) << "step " << i;
        EXPECT_EQ(about->lblURL()->underlined(), s.url) << "step " << i;
        ++i;
    }
}

// --- Modal showing from the main window

// Made by the window itself, or put up by the program before the main
// window was built and handed to the start-up.
class AboutAtStartUp : public ::testing::TestWithParam<bool> {};

// At start-up the about window, the one put up first if any, shows modal and centred before the main window;
// closed, it is gone.
TEST_P(AboutAtStartUp, ComesBeforeTheMainWindow)
{
    FakeClock clock;
    holdAtTenInTheMorning(clock);
    RecordingPlayer player;
    Form1 form(clock, player);
    FormZandrell* putUp = nullptr;
    if (GetParam()) {
        putUp = Form1::makeAbout();
        putUp->present();
    }
    bool mainHidden = false, aboutShown = false, modal = false;
    QPointer<FormZandrell> shown;
    const FormZandrell* firstShown = nullptr;
    const auto check = [&](FormZandrell& about) {
        shown = &about;
        firstShown = &about;
        QTimer::singleShot(0, &about, [&] {
            mainHidden = !form.isVisible();
            aboutShown = about.isVisible();
            modal = QApplication::activeModalWidget() == &about;
            // Centred on the screen.
            const QPoint centre = about.screen()->availableGeometry().center();
            EXPECT_LE((about.geometry().center() - centre).manhattanLength(), 2);
            QTest::keyClick(&about, Qt::Key_Return);
        });
    };
    // The one put up first came up before the test could watch: its modal
    // loop is the first to run.
    if (putUp != nullptr)
        QTimer::singleShot(0, putUp, [&] { check(*putUp); });
    else
        tolvex::testing::onAbout(check);
    form.load(putUp);
    if (putUp != nullptr) {
        EXPECT_EQ(firstShown, putUp);
    }
    EXPECT_TRUE(mainHidden);
    EXPECT_TRUE(aboutShown);
    EXPECT_TRUE(modal);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(shown.isNull()); // unloaded when closed
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Label(6)->text(), QStringLiteral("0"));
    tolvex::testing::onAbout({});
}

INSTANTIATE_TEST_SUITE_P(Ways, AboutAtStartUp, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "PutUpFirst" : "MadeByTheWindow"; });

// Each "Acerca de..." opens a new about window, nothing carried over, and none is left once it closes.
TEST_F(UiTest, EveryShowingIsAFreshWindow)
{
    std::vector<FormZandrell*> seen;
    tolvex::testing::onAbout([&](FormZandrell& about) {
        seen.push_back(&about);
        EXPECT_EQ(about.lblTitulo()->text(), QString::fromUtf8(Form1::kCaption)); // nothing carried over
        about.lblTitulo()->setText(QStringLiteral("Otra"));
        closeAtOnce(about);
    });
    form->MnuInfo()->trigger();
    form->MnuInfo()->trigger();
    EXPECT_EQ(seen.size(), 2u);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<FormZandrell*>(w), nullptr);
}

} // namespace
} // namespace tolvex::uitest
