// The main window: layout, start-up state, pads, panel, hidden settings,
// timers, menu, help launch and closing.
#include "test_ui_support.h"
#include "pads.h"
#include "url_recorder.h"

#include "help_launch.h"
#include "twips.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>

namespace tolvex::uitest {
namespace {

using testing::UrlRecorder;

// ---------------------------------------------------------------------------
// Layout

// The window: a fixed 504 × 390 black client area under the menu bar, no maximise button, an icon, centred.
TEST_F(UiTest, WindowIsAFixedBlackClientAreaUnderTheMenuBar)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tolvex 1.1"));
    EXPECT_EQ(form->centralWidget()->size(), QSize(504, 390));
    EXPECT_EQ(form->centralWidget()->y(), form->menuBar()->height());
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(form->centralWidget()->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_FALSE(form->windowIcon().isNull());
    const QPoint centre = form->screen()->availableGeometry().center();
    EXPECT_LE((form->frameGeometry().center() - centre).manhattanLength(), 4);
}

struct Place {
    const char* name;
    int left, top, width, height;
};

// A pad picture's place, from the pad table.
constexpr Place padPlace(const char* name, int pad, bool lit)
{
    const testing::PadFacts& p = testing::kPads[static_cast<std::size_t>(pad)];
    return {name, lit ? p.litLeft : p.unlitLeft, lit ? p.litTop : p.unlitTop, p.width * testing::kTwipsPerPixel,
            p.height * testing::kTwipsPerPixel};
}

class ControlPlaceTest : public UiTest, public ::testing::WithParamInterface<Place> {};

// Every pad picture and panel control sits at its place in twips.
TEST_P(ControlPlaceTest, SitsAtItsTwipsPlace)
{
    const Place& p = GetParam();
    auto* w = form->findChild<QWidget*>(QString::fromLatin1(p.name));
    ASSERT_NE(w, nullptr) << p.name;
    EXPECT_EQ(w->geometry(), twipsRect(p.left, p.top, p.width, p.height)) << p.name;
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, ControlPlaceTest,
    ::testing::Values(padPlace("Image1(0)", 0, false), padPlace("Image2(0)", 0, true), padPlace("Image1(1)", 1, false),
                      padPlace("Image2(1)", 1, true), padPlace("Image1(2)", 2, false), padPlace("Image2(2)", 2, true),
                      padPlace("Image1(3)", 3, false), padPlace("Image2(3)", 3, true),
                      Place{"Label5", 5880, 0, 1695, 5895}, Place{"Frame1", 6120, 120, 1335, 1815},
                      Place{"Option1(0)", 120, 240, 1095, 375}, Place{"Option1(1)", 120, 600, 1095, 375},
                      Place{"Option1(2)", 120, 960, 1095, 375}, Place{"Option1(3)", 120, 1320, 1095, 375},
                      Place{"Frame2", 6120, 2040, 1335, 2175}, Place{"Option2(0)", 120, 240, 1095, 375},
                      Place{"Option2(1)", 120, 600, 1095, 375}, Place{"Option2(3)", 120, 960, 1095, 375},
                      Place{"Option2(2)", 120, 1320, 1095, 375}, Place{"Option2(4)", 120, 1680, 1095, 375},
                      Place{"Command1", 6120, 4440, 1335, 375}, Place{"Label6", 6840, 4920, 615, 375},
                      Place{"Check1", 6000, 5400, 255, 255}, Place{"Label4", 6360, 5400, 1095, 255},
                      Place{"HScroll1", 7560, 360, 975, 255}, Place{"Label1", 7560, 600, 975, 255},
                      Place{"HScroll2", 7560, 840, 975, 255}, Place{"Label2", 7560, 1080, 975, 255}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return n;
    });

// Each pad picture, lit and dark, is shown at its own size, neither stretched nor cut.
TEST_F(UiTest, PicturesAreShownAtTheirOwnSize)
{
    for (int pad = 0; pad < 4; ++pad) {
        for (PadPicture* p : {form->Image1(pad), form->Image2(pad)}) {
            ASSERT_FALSE(p->picture().isNull()) << p->objectName().toStdString();
            EXPECT_EQ(p->picture().size(), p->size()) << p->objectName().toStdString();
        }
    }
}

// Spanish captions, none cut off, Hammond above Campanilla; the score bold green on black; the panel in button face.
TEST_F(UiTest, CaptionsColoursAndFonts)
{
    const char* levels[] = {"Fácil", "Medio", "Difícil", "Buff!!"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(form->Option1(i)->text(), QString::fromUtf8(levels[i]));
    const char* sounds[] = {"Sin sonido", "Beep", "Campanilla", "Hammond", "Batería"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(form->Option2(i)->text(), QString::fromUtf8(sounds[i]));
    EXPECT_LT(form->Option2(3)->y(), form->Option2(2)->y()); // Hammond above Campanilla
    EXPECT_EQ(form->Frame1()->title(), QStringLiteral("Nivel"));
    EXPECT_EQ(form->Frame2()->title(), QStringLiteral("Sonido"));
    EXPECT_EQ(form->Command1()->text(), QStringLiteral("Nuevo Juego"));
    EXPECT_TRUE(form->Check1()->text().isEmpty());
    for (QRadioButton* o : form->findChildren<QRadioButton*>()) {
        QStyleOptionButton opt;
        opt.initFrom(o);
        opt.text = o->text();
        const QRect label = o->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, o);
        EXPECT_LE(o->fontMetrics().horizontalAdvance(o->text()), label.width())
            << o->text().toStdString() << " is cut off";
    }
    const QPalette button = form->Command1()->palette();
    EXPECT_NE(button.color(QPalette::ButtonText), button.color(QPalette::Button));

    QLabel* score = form->Label(6);
    EXPECT_EQ(score->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_EQ(score->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_TRUE(score->alignment().testFlag(Qt::AlignRight));
    EXPECT_NE(score->frameShape(), QFrame::NoFrame);
    EXPECT_TRUE(score->font().bold());
    EXPECT_EQ(score->font().pixelSize(), 16); // 12 pt at 96 dpi
    EXPECT_EQ(form->Check1()->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(form->Label(4)->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_NE(form->Label(4)->frameShape(), QFrame::NoFrame);
    EXPECT_EQ(form->Label(3)->palette().color(QPalette::Window), QColor(0, 255, 0));
    const QColor face = QApplication::palette().color(QPalette::Button);
    EXPECT_EQ(form->Label(5)->palette().color(QPalette::Window), face);
    for (QGroupBox* frame : {form->Frame1(), form->Frame2()}) {
        EXPECT_EQ(frame->palette().color(QPalette::Window), face);
        EXPECT_EQ(frame->palette().color(QPalette::WindowText), QColor(Qt::black));
    }
}

// "MS Sans Serif", Arial and "Arial Black" resolve to installed faces: themselves, Liberation Sans or DejaVu Sans.
TEST_F(UiTest, StandInFontsAreInstalledFaces)
{
    for (const char* family : {"MS Sans Serif", "Arial", "Arial Black"}) {
        const QFontInfo info(QFont(QString::fromLatin1(family)));
        EXPECT_TRUE(info.family() == QStringLiteral("Liberation Sans") || info.family() == family ||
                    info.family() == QStringLiteral("DejaVu Sans"))
            << family << " -> " << info.family().toStdString();
    }
}

// Front to back: the controls, the labels, the dark pictures of the pads, then the lit ones.
TEST_F(UiTest, StackingOrderFrontToBack)
{
    // The client's children are kept back to front.
    const QObjectList kids = form->centralWidget()->children();
    auto depth = [&](const char* name) {
        return kids.indexOf(
            form->centralWidget()->findChild<QObject*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly));
    };
    const char* frontToBack[] = {"Label6",    "Label2",    "Label1",    "Label3",    "Label4",
                                 "Label5",    "Image1(0)", "Image1(1)", "Image1(3)", "Image1(2)",
                                 "Image2(0)", "Image2(1)", "Image2(2)", "Image2(3)"};
    for (std::size_t i = 1; i < std::size(frontToBack); ++i)
        EXPECT_GT(depth(frontToBack[i - 1]), depth(frontToBack[i])) << frontToBack[i - 1];
    for (const char* control : {"Frame1", "Frame2", "Command1", "Check1", "HScroll1", "HScroll2"})
        EXPECT_GT(depth(control), depth("Label6")) << control;
}

// The pads and the wordless controls have Spanish names for a screen reader, which nothing shows on screen.
TEST_F(UiTest, ScreenReaderNamesAreSpanishAndUnseen)
{
    for (int pad = 0; pad < 4; ++pad) {
        EXPECT_TRUE(form->Image1(pad)->accessibleName().startsWith(QStringLiteral("Pulsador")));
        EXPECT_FALSE(form->Image2(pad)->accessibleName().isEmpty());
    }
    for (QWidget* w : std::initializer_list<QWidget*>{form->Check1(), form->HScroll1(), form->HScroll2(),
                                                      form->Label(6), form->Label(4)})
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    EXPECT_TRUE(form->Check1()->text().isEmpty());
}

// ---------------------------------------------------------------------------
// Start-up

// After start-up: pads dark, no timer armed, "Fácil", "Beep" and the bar on, score 0, the random seed drawn once.
TEST_F(UiTest, AfterStartUp)
{
    EXPECT_EQ(form->Label(1)->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Label(2)->text(), QStringLiteral("0"));
    EXPECT_EQ(form->HScroll1()->value(), 300);
    EXPECT_EQ(form->HScroll2()->value(), 200);
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("0"));
    for (int pad = 0; pad < 4; ++pad) EXPECT_FALSE(showsLit(pad)) << pad;
    for (int t = 1; t <= kTimerCount; ++t)
        EXPECT_FALSE(form->Timer(static_cast<TimerId>(t))->isActive()) << "Timer" << t;
    EXPECT_TRUE(form->Check1()->isChecked());
    EXPECT_TRUE(form->Option1(0)->isChecked());
    EXPECT_TRUE(form->Option2(1)->isChecked());
    EXPECT_TRUE(form->Command1()->isEnabled());
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(form->Option1(i)->isEnabled());
    EXPECT_EQ(form->Label(3)->width(), 0);
    EXPECT_TRUE(form->Label(4)->isVisible());
    EXPECT_EQ(clock.seeds, 1);
}

// The two speed settings and their labels are shown, but outside the client area; a setting runs 0 to 1000.
TEST_F(UiTest, HiddenSettingsLieOutsideTheClientArea)
{
    const QRect client = form->centralWidget()->rect();
    for (QWidget* w :
         std::initializer_list<QWidget*>{form->HScroll1(), form->Label(1), form->HScroll2(), form->Label(2)}) {
        EXPECT_FALSE(client.intersects(w->geometry())) << w->objectName().toStdString();
        EXPECT_FALSE(w->isHidden());
    }
    EXPECT_EQ(form->HScroll1()->minimum(), 0);
    EXPECT_EQ(form->HScroll1()->maximum(), 1000);
    EXPECT_EQ(form->HScroll1()->singleStep(), 1);
    EXPECT_EQ(form->HScroll1()->pageStep(), 10);
}

// ---------------------------------------------------------------------------
// Pads

// A mouse button, or a finger (NoButton).
class PadButtonTest : public UiTest, public ::testing::WithParamInterface<Qt::MouseButton> {};

// Any mouse button, or a tap, plays the pad until it is let go.
TEST_P(PadButtonTest, AnyButtonPressesAPad)
{
    const auto hold = [&](int pad, bool down) {
        if (GetParam() == Qt::NoButton)
            touch(form->Image1(pad), 0, down);
        else if (down)
            pressPad(pad, GetParam());
        else
            releasePad(pad, GetParam());
    };
    for (int pad = 0; pad < 4; ++pad) {
        hold(pad, true);
        EXPECT_TRUE(showsLit(pad)) << pad;
        ASSERT_EQ(player.files.size(), static_cast<std::size_t>(pad + 1));
        EXPECT_EQ(player.files.back(), "Beep" + std::to_string(pad + 1) + ".wav");
        hold(pad, false);
        EXPECT_FALSE(showsLit(pad)) << pad;
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, PadButtonTest,
                         ::testing::Values(Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::NoButton));

// A second finger while one is down plays nothing; a tap on "Nuevo Juego"
// starts a game, and one on the about window closes it.
TEST_F(UiTest, ATapIsAClick)
{
    touch(form->Image1(0), 0, true);
    touch(form->Image1(1), 1, true, 0);
    touch(form->Image1(1), 1, false, 0);
    EXPECT_TRUE(showsLit(0));
    EXPECT_FALSE(showsLit(1));
    touch(form->Image1(0), 0, false);
    EXPECT_EQ(player.files, std::vector<std::string>{"Beep1.wav"});
    EXPECT_FALSE(showsLit(0));

    clock.randoms.push_back(FakeClock::forPad(2));
    touch(form->Command1(), 0, true);
    touch(form->Command1(), 0, false);
    EXPECT_FALSE(form->Command1()->isEnabled());

    bool closed = false;
    inAboutWindow([&](FormZandrell& about) {
        touch(about.lblTexto(), 0, true);
        touch(about.lblTexto(), 0, false);
        closed = !about.isVisible();
    });
    EXPECT_TRUE(closed);
}

// A double click is two presses: the pad sounds twice.
TEST_F(UiTest, AQuickSecondPressIsAPress)
{
    PadPicture* pad = form->Image1(2);
    QTest::mouseDClick(window(), Qt::LeftButton, {}, inWindow(pad, pad->rect().center()));
    EXPECT_EQ(player.files, (std::vector<std::string>{"Beep3.wav", "Beep3.wav"}));
    EXPECT_FALSE(showsLit(2));
}

// A pad's black corners are part of it: a press there plays the pad.
TEST_F(UiTest, BlackCornersBelongToThePad)
{
    for (int pad = 0; pad < 4; ++pad) {
        PadPicture* p = form->Image1(pad);
        // The corner far from the board's centre, where no other picture lies.
        const QPoint corner(pad == 1 || pad == 2 ? p->width() - 2 : 1, pad >= 2 ? p->height() - 2 : 1);
        const QRgb shown = p->picture().toImage().pixel(corner);
        EXPECT_LT(qRed(shown) + qGreen(shown) + qBlue(shown), 60) << "corner of pad " << pad << " is not black";
        ASSERT_EQ(frontAt(p, corner), p);
        press(p, corner);
        EXPECT_TRUE(showsLit(pad)) << pad;
        release(p, corner);
        EXPECT_FALSE(showsLit(pad)) << pad;
    }
    EXPECT_EQ(player.files.size(), 4u);
}

// Where a dark pad's lit picture lies beyond its dark one (a few edge
// pixels), a press reaches no pad: only a dark picture takes presses.
TEST_F(UiTest, APressOnALitPictureAtTheEdgeIsLost)
{
    QWidget* client = form->centralWidget();
    int edges = 0;
    for (int y = 0; y < client->height(); ++y) {
        for (int x = 0; x < twipsToPixels(5880); ++x) {
            auto* picture = qobject_cast<PadPicture*>(client->childAt(x, y));
            if (picture == nullptr || picture->kind() != PadPicture::Kind::Lit) continue;
            ++edges;
            QTest::mousePress(window(), Qt::LeftButton, {}, client->mapTo(form.get(), QPoint(x, y)));
            QTest::mouseRelease(window(), Qt::LeftButton, {}, client->mapTo(form.get(), QPoint(x, y)));
        }
    }
    EXPECT_GT(edges, 0);
    EXPECT_TRUE(player.files.empty()) << edges << " edge pixels";
}
// A press on a pad that already shows lit reaches nothing: no tone, and no release either.
TEST_F(UiTest, APressOnALitPadIsLost)
{
    form->ShowLit(1);
    clickPad(1);
    EXPECT_TRUE(player.files.empty());
    EXPECT_TRUE(showsLit(1)); // no release reached the pad either
}

// The release ends the pressed pad wherever the mouse is let go, over another pad or over the panel.
TEST_F(UiTest, TheReleaseGoesToThePressedPadWherever)
{
    pressPad(0);
    ASSERT_TRUE(showsLit(0));
    // Released over another pad, then over the panel.
    release(form->Image1(2), form->Image1(2)->rect().center());
    EXPECT_FALSE(showsLit(0));
    EXPECT_FALSE(showsLit(2));
    pressPad(3);
    release(form->Label(5), QPoint(20, 20));
    EXPECT_FALSE(showsLit(3));
    EXPECT_EQ(player.files.size(), 2u);
}

// A round completed at the press goes on at a release off the pad: the score, then the next playback in 500 ms.
TEST_F(UiTest, ARoundCompletedWithTheReleaseOutsideGoesOn)
{
    startGameAt(1);
    ASSERT_TRUE(form->Timer(TimerId::Timer3)->isActive());
    pressPad(1);
    ASSERT_EQ(state().Round, 2); // judged at the press; nothing shows it before the release
    release(form->Command1(), QPoint(5, 5));
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
    EXPECT_TRUE(form->Timer(TimerId::Timer1)->isActive());
    EXPECT_EQ(form->Timer(TimerId::Timer1)->interval(), 500);
}

// A release the tone warning takes while it is up still ends the pad's press, and the round goes on.
TEST_F(UiTest, AReleaseEatenByTheToneWarningStillReachesThePad)
{
    startGameAt(0);
    player.result = 0;
    bool warned = false;
    QTimer::singleShot(0, form.get(), [&] {
        QWidget* box = QApplication::activeModalWidget();
        warned = qobject_cast<QMessageBox*>(box) != nullptr;
        // The player lets go while the box is up; the box takes it.
        releasePad(0);
        if (box) box->close();
    });
    pressPad(0);
    EXPECT_TRUE(warned);
    EXPECT_FALSE(showsLit(0));
    // The round was complete: its release starts the next playback.
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
    EXPECT_TRUE(form->Timer(TimerId::Timer1)->isActive());
}

// The player keeps the pad held and answers the warning with the Enter key:
// the release, wherever it happens, still ends that pad's press.
TEST_F(UiTest, AReleaseAfterAWarningAnsweredByKeyStillReachesThePad)
{
    startGameAt(0);
    player.result = 0;
    QTimer::singleShot(0, form.get(), [] {
        if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
    });
    pressPad(0);
    EXPECT_TRUE(showsLit(0)); // still held
    release(form->Image1(1), form->Image1(1)->rect().center());
    EXPECT_FALSE(showsLit(0));
    EXPECT_FALSE(showsLit(1));
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
    EXPECT_TRUE(form->Timer(TimerId::Timer1)->isActive());
}

// A modal window that comes up while a pad is held: the tone warning of the
// press itself, or the about window opened from the menu (by keyboard, the
// mouse being busy). The player lets go while it is open or after closing it.
struct HeldThroughModal {
    const char* name;
    bool aboutWindow;
    bool releaseWhileOpen;
};

class HeldThroughModalTest : public UiTest, public ::testing::WithParamInterface<HeldThroughModal> {};

// The release, while the modal window is open or after, still ends the turn; the pad plays again the next turn.
TEST_P(HeldThroughModalTest, TheReleaseStillEndsTheTurn)
{
    const HeldThroughModal& c = GetParam();
    startGameAt(1);
    auto modalOpen = [this, &c] {
        QTimer::singleShot(0, form.get(), [this, &c] {
            QWidget* modal = QApplication::activeModalWidget();
            if (c.releaseWhileOpen) releasePad(1);
            if (modal) modal->close();
        });
    };
    if (c.aboutWindow) {
        pressPad(1);
        tolvex::testing::onAbout([&](FormZandrell&) { modalOpen(); });
        form->MnuInfo()->trigger();
    } else {
        player.result = 0;
        modalOpen();
        pressPad(1);
        player.result = 1;
    }
    if (!c.releaseWhileOpen) releasePad(1);
    EXPECT_FALSE(showsLit(1));
    // The press completed the round: its release starts the next playback.
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
    EXPECT_TRUE(form->Timer(TimerId::Timer1)->isActive());
    // And the pad takes presses again once the turn comes round.
    ASSERT_EQ(playBack(), 2u);
    const std::size_t tones = player.files.size();
    pressPad(1);
    EXPECT_EQ(player.files.size(), tones + 1);
    releasePad(1);
}

INSTANTIATE_TEST_SUITE_P(Pads, HeldThroughModalTest,
                         ::testing::Values(HeldThroughModal{"ToneWarningReleasedWhileOpen", false, true},
                                           HeldThroughModal{"ToneWarningReleasedAfter", false, false},
                                           HeldThroughModal{"AboutWindowReleasedWhileOpen", true, true},
                                           HeldThroughModal{"AboutWindowReleasedAfter", true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A pad held during the playback, when a step's tone is refused and the
// player lets go while the warning is up: the next press of the pad counts.
TEST_F(UiTest, APadLetGoDuringAPlaybackWarningTakesTheNextPress)
{
    newGameAt(3);
    pressPad(3); // during the lead-in: nothing yet
    player.result = 0;
    QTimer::singleShot(0, form.get(), [this] {
        releasePad(3);
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
    });
    // The window's own tick, as its timer delivers it.
    emit form->Timer(TimerId::Timer1)->timeout(BoardTimer::Clock::now());
    ASSERT_EQ(player.files.size(), 1u);
    player.result = 1;
    Form1::Testing::fireTimer(*form, TimerId::Timer2);
    ASSERT_TRUE(form->Timer(TimerId::Timer3)->isActive());
    pressPad(3);
    EXPECT_EQ(player.files.size(), 2u);
    releasePad(3);
    EXPECT_FALSE(showsLit(3));
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1")); // judged: the round is complete
}

// ---------------------------------------------------------------------------
// Panel

// The check box hides and shows only the bar's fill, whose width follows meanwhile; the engine knows the bar's span.
TEST_F(UiTest, TheCheckBoxShowsAndHidesOnlyTheFill)
{
    form->SetTimeBar(517.5f);
    EXPECT_EQ(form->Label(3)->width(), 35);
    EXPECT_EQ(form->Label(3)->geometry().topLeft(), twipsRect(6390, 5430, 0, 0).topLeft());
    QTest::mouseClick(form->Check1(), Qt::LeftButton);
    EXPECT_FALSE(form->Check1()->isChecked());
    EXPECT_FALSE(form->Label(3)->isVisible());
    EXPECT_TRUE(form->Label(4)->isVisible());
    form->SetTimeBar(1035.0f);
    QTest::mouseClick(form->Check1(), Qt::LeftButton);
    EXPECT_TRUE(form->Label(3)->isVisible());
    EXPECT_EQ(form->Label(3)->width(), 69);
    EXPECT_EQ(form->Label(3)->height(), 13);
    // The engine was told the bar's span: half the allowance fills half of
    // its 1095 twips less the margin.
    startGameAt(0);
    clock.nowMs += 1500;
    Form1::Testing::fireTimer(*form, TimerId::Timer3);
    EXPECT_EQ(form->Label(3)->width(), 35);
}

// A new game disables "Nuevo Juego" and the levels: a click on another level leaves the chosen one.
TEST_F(UiTest, LevelsAreLockedDuringAGame)
{
    form->Option1(3)->click();
    clock.randoms.push_back(0.0f);
    QTest::mouseClick(form->Command1(), Qt::LeftButton);
    EXPECT_EQ(said(), QStringLiteral("Nuevo juego, nivel Buff!!: 30 rondas"));
    EXPECT_FALSE(form->Command1()->isEnabled());
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(form->Option1(i)->isEnabled()) << i;
    QTest::mouseClick(form->Option1(0), Qt::LeftButton);
    EXPECT_TRUE(form->Option1(3)->isChecked());
    EXPECT_TRUE(form->Timer(TimerId::Timer1)->isActive());
}

// A sound set chosen during a game takes the next tone: "Sin sonido" silences it, "Batería" plays its own.
TEST_F(UiTest, NoSoundMidGameSilencesTheNextTone)
{
    newGameAt(2);
    Form1::Testing::fireTimer(*form, TimerId::Timer1);
    ASSERT_EQ(player.files, std::vector<std::string>{"Beep3.wav"});
    QTest::mouseClick(form->Option2(0), Qt::LeftButton);
    ASSERT_TRUE(form->Option2(0)->isChecked());
    Form1::Testing::fireTimer(*form, TimerId::Timer2);
    clickPad(2);
    EXPECT_EQ(player.files.size(), 1u);
    form->Option2(4)->click(); // Batería, from the next tone on
    Form1::Testing::fireTimer(*form, TimerId::Timer1);
    EXPECT_EQ(player.files.back(), "Ram3.wav");
}

// Tab reaches the hidden speed settings after the sound sets; arrows move them by 1, page keys by 10.
TEST_F(UiTest, TabReachesTheHiddenSettingsAndArrowsMoveThem)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Option2(1)->setFocus();
    QTest::keyClick(form->Option2(1), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->HScroll1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(form->Label(1)->text(), QStringLiteral("301"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
    EXPECT_EQ(form->Label(1)->text(), QStringLiteral("311"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), form->HScroll2());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(form->Label(2)->text(), QStringLiteral("199"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->Check1());
}

// Tab order: "Nuevo Juego", the levels, the sound sets, the two settings, the check box; frames and labels take none.
TEST_F(UiTest, FocusOrder)
{
    std::vector<QWidget*> expected = {form->Command1()};
    for (int i = 0; i < 4; ++i) expected.push_back(form->Option1(i));
    for (int i = 0; i < 5; ++i) expected.push_back(form->Option2(i));
    expected.insert(expected.end(), {form->HScroll1(), form->HScroll2(), form->Check1()});
    for (std::size_t i = 1; i < expected.size(); ++i) {
        QWidget* next = expected[i - 1]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus) next = next->nextInFocusChain();
        EXPECT_EQ(next, expected[i]) << expected[i - 1]->objectName().toStdString();
    }
    EXPECT_EQ(form->Frame1()->focusPolicy(), Qt::NoFocus);
    for (int n = 1; n <= 6; ++n) EXPECT_EQ(form->Label(n)->focusPolicy(), Qt::NoFocus);
}

// ---------------------------------------------------------------------------
// Timers

// A timer given an interval first fires one interval after the call; an interval of 0 stops it.
TEST_F(UiTest, TimersStartOneIntervalFromNowAndStopByInterval)
{
    using namespace std::chrono_literals;
    BoardTimer* t = form->Timer(TimerId::Timer4);
    const auto before = BoardTimer::Clock::now();
    form->SetTimer(TimerId::Timer4, 250);
    EXPECT_TRUE(t->isActive());
    EXPECT_EQ(t->interval(), 250);
    EXPECT_GE(t->deadline(), before + 250ms);
    EXPECT_LE(t->deadline(), BoardTimer::Clock::now() + 250ms);
    form->SetTimer(TimerId::Timer4, 0);
    EXPECT_FALSE(t->isActive());
}

// A timer stopped before its first tick delivers none.
TEST_F(UiTest, AStoppedTimerDeliversNoTick)
{
    // Timer4 and Timer5 ticks with no show running change nothing.
    form->SetTimer(TimerId::Timer4, 1);
    form->SetTimer(TimerId::Timer4, 0);
    form->SetTimer(TimerId::Timer5, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Form1::Testing::ticksDelivered(*form, TimerId::Timer5) >= 3; }, 2000));
    form->SetTimer(TimerId::Timer5, 0);
    EXPECT_EQ(Form1::Testing::ticksDelivered(*form, TimerId::Timer4), 0);
}

// On its real timers a new game lights and sounds its first pad, then darkens it and starts the answer clock.
TEST_F(UiTest, ARealGameLightsItsFirstPad)
{
    newGameAt(3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return showsLit(3); }, 3000));
    EXPECT_EQ(player.files, std::vector<std::string>{"Beep4.wav"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Timer(TimerId::Timer3)->isActive(); }, 3000));
    EXPECT_FALSE(showsLit(3));
}

// ---------------------------------------------------------------------------
// Menu, about window from the menu, help

// The one menu, "Ayuda", holds "Como Jugar" and "Acerca de...": no shortcuts, no checks, always enabled.
TEST_F(UiTest, MenuAyudaHasTwoPlainItems)
{
    const QList<QAction*> top = form->menuBar()->actions();
    ASSERT_EQ(top.size(), 1);
    EXPECT_EQ(top[0]->text(), QStringLiteral("Ayuda"));
    const QList<QAction*> items = top[0]->menu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0], form->MnuHelp());
    EXPECT_EQ(items[1], form->MnuInfo());
    EXPECT_EQ(items[0]->text(), QStringLiteral("Como Jugar"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Acerca de..."));
    for (QAction* a : items) {
        EXPECT_TRUE(a->shortcut().isEmpty());
        EXPECT_FALSE(a->isCheckable());
        EXPECT_TRUE(a->isEnabled());
    }
}

// The about window blocks the pads but not the clock: the turn times out behind it and the due pad blinks.
TEST_F(UiTest, TheTurnTimesOutWhileTheAboutWindowIsOpen)
{
    startGameAt(2);
    ASSERT_TRUE(form->Timer(TimerId::Timer3)->isActive());
    bool timedOutWhileOpen = false;
    bool mainTookNoInput = false;
    inAboutWindow([&](FormZandrell& about) {
        clickPad(0); // blocked by the modal window
        mainTookNoInput = player.files.size() == 1;
        clock.nowMs += 3500;
        timedOutWhileOpen =
            QTest::qWaitFor([&] { return form->Timer(TimerId::Timer5)->isActive(); }, 2000) && about.isVisible();
    });
    EXPECT_TRUE(mainTookNoInput);
    EXPECT_TRUE(timedOutWhileOpen);
    EXPECT_FALSE(form->Timer(TimerId::Timer3)->isActive());
    EXPECT_TRUE(form->Timer(TimerId::Timer5)->isActive());
    Form1::Testing::fireTimer(*form, TimerId::Timer5);
    EXPECT_TRUE(showsLit(2)); // the pad that was due blinks
}

// "Como Jugar" opens Instrucciones.htm beside the program, whatever the working directory; the game goes on.
TEST_F(UiTest, HelpOpensTheInstructionsBesideTheProgram)
{
    EXPECT_EQ(Form1::Testing::helpDirectory(*form), QCoreApplication::applicationDirPath());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString doc = dir.filePath(QStringLiteral("Instrucciones.htm"));
    QFile f(doc);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    Form1::Testing::setHelpDirectory(*form, dir.path());
    const QString before = QDir::currentPath();
    QDir::setCurrent(QDir::tempPath()); // the working directory plays no part
    UrlRecorder urls({QStringLiteral("file")});
    startGameAt(1);
    form->MnuHelp()->trigger();
    QDir::setCurrent(before);
    ASSERT_EQ(urls.urls.size(), 1);
    EXPECT_EQ(urls.urls[0], QUrl::fromLocalFile(doc));
    EXPECT_TRUE(form->Timer(TimerId::Timer3)->isActive()); // the game goes on
}

// Without Instrucciones.htm "Como Jugar" opens nothing, starts nothing and puts up no box.
TEST_F(UiTest, MissingInstructionsAreLeftAlone)
{
    QTemporaryDir dir;
    Form1::Testing::setHelpDirectory(*form, dir.path());
    UrlRecorder urls({QStringLiteral("file")});
    form->MnuHelp()->trigger();
    EXPECT_TRUE(urls.urls.isEmpty());
    EXPECT_TRUE(form->Command1()->isEnabled()); // no game started
    for (int t = 1; t <= kTimerCount; ++t) EXPECT_FALSE(form->Timer(static_cast<TimerId>(t))->isActive()) << t;
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return w->isVisible(); }), 1);
}

// The help page beside the program is Spanish UTF-8 and gives each level its rounds and speed-up.
TEST(UiHelpDocument, LiesBesideTheProgramInSpanish)
{
    QFile f(QStringLiteral(TOLVEX_HELP_BESIDE_PROGRAM));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(html.contains(QStringLiteral("charset=\"utf-8\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("<html lang=\"es\">")));
    for (const char* text : {"Fácil", "Medio", "Difícil", "Buff!!", "3 segundos", "Sin sonido", "Batería", "Campanilla",
                             "Hammond", "Juego libre", "Acerca de"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(text))) << text;
    for (const char* row :
         {"<td class=\"num\">10</td><td class=\"num\">5 %</td>", "<td class=\"num\">15</td><td class=\"num\">10 %</td>",
          "<td class=\"num\">20</td><td class=\"num\">15 %</td>",
          "<td class=\"num\">30</td><td class=\"num\">25 %</td>"})
        EXPECT_TRUE(html.contains(QString::fromUtf8(row))) << row;
}

// ---------------------------------------------------------------------------
// Closing

using ClosingTest = UiTest;

// Closing the window during a game ends the program normally, every timer stopped.
TEST_F(ClosingTest, ClosingDuringAGameEndsTheProgram)
{
    startGameAt(0);
    QTimer::singleShot(0, form.get(), [this] { form->close(); });
    EXPECT_EQ(runUntilClosed(), 0);
    EXPECT_TRUE(form->closing());
    for (int t = 1; t <= kTimerCount; ++t) EXPECT_FALSE(form->Timer(static_cast<TimerId>(t))->isActive());
}

// Closing the main window behind the open about window ends the program and the about window with it.
TEST_F(ClosingTest, ClosingWithTheAboutWindowOpenEndsTheProgram)
{
    startGameAt(0);
    QPointer<FormZandrell> open;
    tolvex::testing::onAbout([&](FormZandrell& about) {
        open = &about;
        QTimer::singleShot(0, form.get(), [this] { form->close(); });
    });
    QTimer::singleShot(0, form->MnuInfo(), &QAction::trigger);
    EXPECT_EQ(runUntilClosed(), 0);
    EXPECT_TRUE(open.isNull()); // shut and gone
    EXPECT_FALSE(form->Timer(TimerId::Timer3)->isActive());
}

// Closing the main window behind the tone warning ends the program and the warning with it.
TEST_F(ClosingTest, ClosingWithTheToneWarningOpenEndsTheProgram)
{
    player.result = 0;
    bool warned = false;
    QTimer::singleShot(0, form.get(), [&] {
        QTimer::singleShot(0, form.get(), [&] {
            warned = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
            form->close();
        });
        pressPad(0);
    });
    EXPECT_EQ(runUntilClosed(), 0);
    releasePad(0); // the player lets go after all
    EXPECT_TRUE(warned);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace tolvex::uitest
