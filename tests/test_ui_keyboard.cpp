// Playing with the keyboard: the pad keys take the same path as the mouse.
#include "test_ui_support.h"

#include "announcer.h"
#include "sdl_gamepads.h"
#include "virtual_pad.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QSignalSpy>
#include <qpa/qwindowsysteminterface.h>

namespace tolvex::uitest {
namespace {

class KeyboardTest : public UiTest {
protected:
    void keyDown(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyPress(window(), key, mods); }
    void keyUp(Qt::Key key, Qt::KeyboardModifiers mods = {}) { QTest::keyRelease(window(), key, mods); }
    void keyPad(int pad)
    {
        keyDown(padKey(pad));
        keyUp(padKey(pad));
    }
    static Qt::Key padKey(int pad) { return static_cast<Qt::Key>(Qt::Key_1 + pad); }
    // A key as X11 or Wayland deliver it, with its place.
    void send(QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers mods, quint32 code)
    {
        QKeyEvent event(type, key, mods, code, 0, 0);
        QCoreApplication::sendEvent(form.get(), &event);
    }

    // The ten rounds of "Fácil", each answered pad by pad and told, and the
    // victory lap to its end.
    template <typename Answer> void winTenRounds(const int (&pads)[11], Answer answer)
    {
        for (int round = 1; round <= 10; ++round) {
            ASSERT_EQ(playBack(), static_cast<std::size_t>(round));
            for (int i = 0; i < round; ++i) answer(pads[i]);
            ASSERT_EQ(form->Label(6)->text(), QString::number(round));
            EXPECT_EQ(said(), round < 10 ? QStringLiteral("Puntuación: %1").arg(round)
                                         : QStringLiteral("¡Has ganado! Puntuación: 10"));
        }
        EXPECT_TRUE(form->Timer(TimerId::Timer4)->isActive());
        for (int tick = 0; tick < 100 && form->Timer(TimerId::Timer4)->isActive(); ++tick)
            Form1::Testing::fireTimer(*form, TimerId::Timer4);
    }

    // A gamepad the window has seen, ready to press.
    std::optional<testing::VirtualPad> pad;
    SdlGamepads* gamepads = nullptr;
    void plugGamepad()
    {
        if (gamepads == nullptr) {
            auto made = std::make_unique<SdlGamepads>();
            gamepads = made.get();
            form->addGamepads(std::move(made));
        }
        pad.emplace();
        ASSERT_TRUE(QTest::qWaitFor([&] { return gamepads->connected() == 1; }, 5000));
    }
    // A button or trigger moved, and what the window shows of it awaited.
    template <typename Shows> void gamepad(SDL_GameControllerButton button, bool down, Shows shows)
    {
        pad->set(button, down);
        EXPECT_TRUE(QTest::qWaitFor(shows, 5000)) << "button " << button << (down ? " down" : " up");
    }
    // A button moved that the window shows nothing of: awaited until SDL has
    // read it and the window has had its turn.
    void gamepadUnseen(SDL_GameControllerButton button, bool down)
    {
        pad->set(button, down);
        ASSERT_TRUE(QTest::qWaitFor([&] { return pad->reads(button) == down; }, 5000));
        bool handled = false;
        QMetaObject::invokeMethod(
            form.get(), [&] { handled = true; }, Qt::QueuedConnection);
        ASSERT_TRUE(QTest::qWaitFor([&] { return handled; }, 5000));
    }
    // A button pressed until the window shows it, and let go.
    template <typename Shows> void tap(SDL_GameControllerButton button, Shows shows)
    {
        gamepad(button, true, shows);
        pad->set(button, false);
    }
    // A pad played by a button, the face button of its colour unless named.
    void gamepadPad(int p, SDL_GameControllerButton button = SDL_CONTROLLER_BUTTON_INVALID)
    {
        static constexpr SDL_GameControllerButton kXbox[] = {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_Y,
                                                             SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_B};
        if (button == SDL_CONTROLLER_BUTTON_INVALID) button = kXbox[p];
        gamepad(button, true, [&] { return showsLit(p); });
        gamepad(button, false, [&] { return !showsLit(p); });
    }
};

// A key, and where X11 or Wayland tell it its place (an XKB key code), the
// key its release reports after Shift, AltGr, Num Lock or the layout changed
// what the key prints.
struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int pad;
    quint32 code = 0; // 0: known by its character alone
    Qt::Key upKey = Qt::Key_unknown;
    Qt::KeyboardModifiers upMods = {};
};

class PadKeyTest : public KeyboardTest, public ::testing::WithParamInterface<KeyCase> {};

// In free play a key lights and sounds its pad while it is held; its
// release lets the pad go, so the next pad then plays.
TEST_P(PadKeyTest, KeyPlaysItsPad)
{
    const KeyCase& k = GetParam();
    if (k.code == 0)
        keyDown(k.key, k.mods);
    else
        send(QEvent::KeyPress, k.key, k.mods, k.code);
    EXPECT_TRUE(showsLit(k.pad));
    ASSERT_EQ(player.files.size(), 1u);
    EXPECT_EQ(player.files[0], "Beep" + std::to_string(k.pad + 1) + ".wav");
    if (k.code == 0)
        keyUp(k.key, k.mods);
    else
        send(QEvent::KeyRelease, k.upKey == Qt::Key_unknown ? k.key : k.upKey, k.upMods, k.code);
    EXPECT_FALSE(showsLit(k.pad));
    EXPECT_EQ(player.files.size(), 1u);
    keyPad((k.pad + 1) % 4);
    EXPECT_EQ(player.files.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(ByCharacter, PadKeyTest,
                         ::testing::Values(KeyCase{"Row1", Qt::Key_1, {}, 0}, KeyCase{"Row2", Qt::Key_2, {}, 1},
                                           KeyCase{"Row3", Qt::Key_3, {}, 2}, KeyCase{"Row4", Qt::Key_4, {}, 3},
                                           KeyCase{"Keypad7", Qt::Key_7, Qt::KeypadModifier, 0},
                                           KeyCase{"Keypad9", Qt::Key_9, Qt::KeypadModifier, 1},
                                           KeyCase{"Keypad3", Qt::Key_3, Qt::KeypadModifier, 2},
                                           KeyCase{"Keypad1", Qt::Key_1, Qt::KeypadModifier, 3},
                                           KeyCase{"KeypadHome", Qt::Key_Home, Qt::KeypadModifier, 0},
                                           KeyCase{"KeypadPageUp", Qt::Key_PageUp, Qt::KeypadModifier, 1},
                                           KeyCase{"KeypadPageDown", Qt::Key_PageDown, Qt::KeypadModifier, 2},
                                           KeyCase{"KeypadEnd", Qt::Key_End, Qt::KeypadModifier, 3}),
                         [](const auto& info) { return std::string(info.param.name); });
// Run on X11 (tests/ui_tests.cmake): only there and on Wayland is a key's
// code its place.
INSTANTIATE_TEST_SUITE_P(
    ByPlace, PadKeyTest,
    ::testing::Values(
        KeyCase{"ShiftPressedWhileHeld", Qt::Key_1, {}, 0, 10, Qt::Key_Exclam, Qt::ShiftModifier},
        KeyCase{"AltGrPressedWhileHeld", Qt::Key_2, {}, 1, 11, Qt::Key_twosuperior, Qt::GroupSwitchModifier},
        KeyCase{"ShiftLetGoWhileHeld", Qt::Key_NumberSign, Qt::ShiftModifier, 2, 12, Qt::Key_3},
        KeyCase{"NumLockTurnedOffWhileHeld", Qt::Key_7, Qt::KeypadModifier, 0, 79, Qt::Key_Home, Qt::KeypadModifier},
        // The French layout's main row prints & é " '.
        KeyCase{"AzertyRow1", Qt::Key_Ampersand, {}, 0, 10}),
    [](const auto& info) { return std::string(info.param.name); });

// Other keys, the keypad's 5 and the row's 5 among them, press nothing; nor
// does A carrying the main row's place where (offscreen) a code is no place.
TEST_F(KeyboardTest, OtherKeysPressNoPad)
{
    send(QEvent::KeyPress, Qt::Key_A, {}, 10);
    send(QEvent::KeyRelease, Qt::Key_A, {}, 10);
    for (Qt::Key key : {Qt::Key_5, Qt::Key_0, Qt::Key_A, Qt::Key_Space}) keyPad(key - Qt::Key_1);
    keyDown(Qt::Key_5, Qt::KeypadModifier);
    keyUp(Qt::Key_5, Qt::KeypadModifier);
    EXPECT_TRUE(player.files.empty());
}

// The keys work whatever has the focus, and the focused control is left alone.
TEST_F(KeyboardTest, KeysWorkWhicheverControlHasTheFocus)
{
    for (QWidget* w : std::initializer_list<QWidget*>{form->Command1(), form->Option1(0), form->Option2(1),
                                                      form->Check1(), form->HScroll1()}) {
        w->setFocus();
        const int before = form->HScroll1()->value();
        player.files.clear();
        keyPad(3);
        EXPECT_EQ(player.files.size(), 1u) << w->objectName().toStdString();
        EXPECT_EQ(form->HScroll1()->value(), before);
        EXPECT_TRUE(form->Option1(0)->isChecked());
        EXPECT_TRUE(form->Option2(1)->isChecked());
        EXPECT_TRUE(form->Check1()->isChecked());
    }
}

// A whole game at "Fácil", from Space on "Nuevo Juego" to the next game's
// Space, every answer given with the keys: the focus stays on the board
// while the game runs, no key reaches the sound sets, and each round and the
// win are told.
TEST_F(KeyboardTest, AGameWonWithTheKeysAlone)
{
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const int pads[] = {2, 0, 3, 1, 1, 2, 0, 3, 2, 1, 0};
    for (int p : pads) clock.randoms.push_back(FakeClock::forPad(p));
    form->Command1()->setFocus();
    QTest::keyClick(form->Command1(), Qt::Key_Space);
    ASSERT_FALSE(form->Command1()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), form->BoardArea());
    EXPECT_EQ(said(), QStringLiteral("Nuevo juego, nivel Fácil: 10 rondas"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(qobject_cast<QRadioButton*>(QApplication::focusWidget()), nullptr);
    form->BoardArea()->setFocus();
    ASSERT_NO_FATAL_FAILURE(winTenRounds(pads, [&](int p) { keyPad(p); }));
    EXPECT_TRUE(form->Option2(1)->isChecked());
    ASSERT_TRUE(form->Command1()->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), form->Command1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(form->Command1()->isEnabled()) << "Space did not start the next game";
}

// A whole game from start-up with a gamepad alone: A closes the about
// window, the D-pad chooses as Tab and the arrows do, Start starts the game,
// the face buttons answer each round by their colours; in the next game a
// wrong button fails.
TEST_F(KeyboardTest, AGameFromStartUpWithAGamepadAlone)
{
    form = std::make_unique<Form1>(clock, player);
    tolvex::testing::onAbout({}); // A closes it
    plugGamepad();
    FormZandrell* about = Form1::makeAbout();
    about->present();
    QTimer::singleShot(0, [&] { pad->set(SDL_CONTROLLER_BUTTON_A, true); });
    form->load(about); // returns once A has closed it
    pad->set(SDL_CONTROLLER_BUTTON_A, false);
    form->showCentred();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Command1()->setFocus();
    const auto focusOn = [](QWidget* w) { return [w] { return QApplication::focusWidget() == w; }; };
    tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, focusOn(form->Option1(0)));
    tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN, [&] { return form->Option1(1)->isChecked(); });
    tap(SDL_CONTROLLER_BUTTON_DPAD_UP, [&] { return form->Option1(0)->isChecked(); });
    tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT, focusOn(form->Command1()));

    const int pads[] = {3, 0, 2, 1, 1, 2, 0, 3, 2, 1, 0};
    for (int p : pads) clock.randoms.push_back(FakeClock::forPad(p));
    tap(SDL_CONTROLLER_BUTTON_START, [&] { return !form->Command1()->isEnabled(); });
    EXPECT_EQ(said(), QStringLiteral("Nuevo juego, nivel Fácil: 10 rondas"));
    ASSERT_NO_FATAL_FAILURE(winTenRounds(pads, [&](int p) { gamepadPad(p); }));
    tap(SDL_CONTROLLER_BUTTON_START, [&] { return !form->Command1()->isEnabled(); });
    playBack();
    gamepadPad(2);
    EXPECT_TRUE(form->Timer(TimerId::Timer5)->isActive());
    EXPECT_EQ(said(), QStringLiteral("Fallaste: tocaba el verde. Puntuación: 0"));
}

// A press made while another program is in front is ignored, and A answers
// the tone warning; a trigger holds its pad from half its travel down to a
// quarter; a pad held by a button is let go when its gamepad is unplugged,
// and a gamepad plugged in again plays at once.
TEST_F(KeyboardTest, GamepadsComeAndGo)
{
    plugGamepad();
    QWindowSystemInterface::handleApplicationStateChanged(Qt::ApplicationInactive, true);
    gamepadUnseen(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, true);
    gamepadUnseen(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, false);
    QWindowSystemInterface::handleApplicationStateChanged(Qt::ApplicationActive, true);
    player.result = 0;
    QTimer answer; // A, once the warning of Y's refused tone is up
    answer.callOnTimeout([&] {
        if (QApplication::activeModalWidget() == nullptr) return;
        pad->set(SDL_CONTROLLER_BUTTON_A, true);
        answer.stop();
    });
    answer.start(1);
    gamepad(SDL_CONTROLLER_BUTTON_Y, true, [&] { return !answer.isActive() && !QApplication::activeModalWidget(); });
    EXPECT_EQ(player.files, std::vector<std::string>{"Beep2.wav"}) << "the press behind another program played";
    pad->set(SDL_CONTROLLER_BUTTON_A, false);
    gamepad(SDL_CONTROLLER_BUTTON_Y, false, [&] { return !showsLit(1); });
    player.result = 1;

    startGameAt(3);
    pad->setTrigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 20000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return showsLit(3); }, 5000));
    pad->setTrigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 10000);
    pad->unplug();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !showsLit(3); }, 5000));
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
    plugGamepad();
    ASSERT_EQ(playBack(), 2u);
    gamepadPad(3);
    gamepadPad(0, SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("2"));
}

// The board's pad of each button on each kind of gamepad: the face buttons
// by the colour printed on them, the shoulders and triggers by their place.
TEST(GamepadButtons, PlayThePadOfTheirColourOrPlace)
{
    using B = PadButton;
    const B order[] = {B::A, B::B, B::X, B::Y, B::LeftShoulder, B::RightShoulder, B::RightTrigger, B::LeftTrigger};
    const std::pair<std::vector<SDL_GameControllerType>, std::array<int, 8>> rows[] = {
        {{SDL_CONTROLLER_TYPE_XBOX360, SDL_CONTROLLER_TYPE_XBOXONE, SDL_CONTROLLER_TYPE_UNKNOWN,
          SDL_CONTROLLER_TYPE_VIRTUAL, SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO},
         {0, 3, 2, 1, 0, 1, 2, 3}},
        {{SDL_CONTROLLER_TYPE_PS3, SDL_CONTROLLER_TYPE_PS4, SDL_CONTROLLER_TYPE_PS5}, {2, 3, 1, 0, 0, 1, 2, 3}}};
    for (const auto& [types, pads] : rows) {
        for (const SDL_GameControllerType type : types) {
            for (std::size_t i = 0; i < pads.size(); ++i)
                EXPECT_EQ(padForButton(type, order[i]), pads[i]) << type << "/" << i;
            for (B other : {B::Start, B::DpadUp, B::DpadDown, B::DpadLeft, B::DpadRight})
                EXPECT_EQ(padForButton(type, other), -1);
        }
    }
}

// A wrong key ends the turn with the failure show.
TEST_F(KeyboardTest, AWrongKeyStartsTheFailureShow)
{
    startGameAt(2);
    keyPad(1);
    EXPECT_TRUE(form->Timer(TimerId::Timer5)->isActive());
    EXPECT_EQ(said(), QStringLiteral("Fallaste: tocaba el azul. Puntuación: 0"));
    const std::size_t tones = player.files.size();
    keyPad(2); // the show takes no press
    EXPECT_EQ(player.files.size(), tones);
}

// A key held down repeats; the repeats are no presses.
TEST_F(KeyboardTest, AutoRepeatAddsNoPresses)
{
    startGameAt(0);
    keyDown(Qt::Key_1);
    for (int i = 0; i < 3; ++i) {
        QTest::simulateEvent(form.get(), false, Qt::Key_1, {}, QStringLiteral("1"), true);
        QTest::simulateEvent(form.get(), true, Qt::Key_1, {}, QStringLiteral("1"), true);
    }
    EXPECT_EQ(player.files.size(), 2u); // the playback's tone and the press's
    EXPECT_TRUE(showsLit(0));
    keyUp(Qt::Key_1);
    EXPECT_FALSE(showsLit(0));
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
}

// The same pad held by the mouse and by a key is one press, ended by the last.
TEST_F(KeyboardTest, MouseAndKeyOnOnePadAreOnePress)
{
    startGameAt(0);
    keyDown(Qt::Key_1);
    clickPad(0); // on the lit picture: lost, as any press on a lit pad
    EXPECT_TRUE(showsLit(0));
    EXPECT_EQ(player.files.size(), 2u); // the playback's tone and one press's
    keyUp(Qt::Key_1);
    EXPECT_FALSE(showsLit(0));
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));

    // Between turns the pads do not light; mouse and key still make one press.
    ASSERT_FALSE(form->Timer(TimerId::Timer3)->isActive());
    QSignalSpy presses(Form1::Testing::padInput(*form), &PadInput::pressed);
    QSignalSpy releases(Form1::Testing::padInput(*form), &PadInput::released);
    pressPad(2);
    keyDown(Qt::Key_3);
    releasePad(2);
    EXPECT_EQ(releases.count(), 0);
    keyUp(Qt::Key_3);
    EXPECT_EQ(presses.count(), 1);
    EXPECT_EQ(releases.count(), 1);
}

// Whatever the sources, one pad at a time: a press on another pad while one
// is held is ignored, and so is its release; the held pad ends as usual, and
// the other plays again from then on.
TEST_F(KeyboardTest, OnePadAtATimeWhateverTheSources)
{
    enum Source { Key, Mouse, Reader };
    const auto down = [&](Source s, int pad) {
        if (s == Key) keyDown(padKey(pad));
        if (s == Mouse) pressPad(pad);
        if (s == Reader)
            QAccessible::queryAccessibleInterface(form->Image1(pad))
                ->actionInterface()
                ->doAction(QAccessibleActionInterface::pressAction());
    };
    const auto up = [&](Source s, int pad) {
        if (s == Key) keyUp(padKey(pad));
        if (s == Mouse) releasePad(pad);
    };
    const std::pair<Source, Source> cases[] = {{Key, Key}, {Key, Mouse}, {Mouse, Key}, {Key, Reader}, {Mouse, Reader}};
    for (const auto& [held, other] : cases) {
        SCOPED_TRACE(::testing::Message() << held << " then " << other);
        player.files.clear();
        down(held, 0);
        ASSERT_TRUE(showsLit(0));
        down(other, 1);
        EXPECT_FALSE(showsLit(1));
        EXPECT_EQ(player.files, std::vector<std::string>{"Beep1.wav"});
        up(other, 1);
        EXPECT_TRUE(showsLit(0));
        up(held, 0);
        EXPECT_FALSE(showsLit(0));
        EXPECT_EQ(Form1::Testing::padInput(*form)->heldPad(), -1);
        down(other, 1);
        EXPECT_EQ(player.files, (std::vector<std::string>{"Beep1.wav", "Beep2.wav"}));
        up(other, 1);
        EXPECT_FALSE(showsLit(1));
    }
}

// A second pad pressed while a wrong key is held is ignored, so when the
// failure show that the key's release starts ends, no pad is lit or held.
TEST_F(KeyboardTest, AFailureShowLeavesNoSecondPadHeld)
{
    startGameAt(1);
    keyDown(Qt::Key_1);
    pressPad(2);
    keyUp(Qt::Key_1);
    ASSERT_TRUE(form->Timer(TimerId::Timer5)->isActive());
    for (int tick = 0; tick < 100 && form->Timer(TimerId::Timer5)->isActive(); ++tick)
        Form1::Testing::fireTimer(*form, TimerId::Timer5);
    ASSERT_TRUE(form->Command1()->isEnabled());
    for (int pad = 0; pad < 4; ++pad) EXPECT_FALSE(showsLit(pad)) << pad;
    releasePad(2);
    EXPECT_EQ(Form1::Testing::padInput(*form)->heldPad(), -1);
    const std::size_t before = player.files.size();
    keyPad(2);
    ASSERT_EQ(player.files.size(), before + 1);
    EXPECT_EQ(player.files.back(), "Beep3.wav");
}

// The keyboard goes to another window or to the menu while a key holds a
// pad: the pad is let go as a mouse release would be, and the round it
// completed plays on.
class KeyboardElsewhereTest : public KeyboardTest, public ::testing::WithParamInterface<bool> {};

TEST_P(KeyboardElsewhereTest, APadHeldByAKeyIsLetGo)
{
    QWidget elsewhere;
    startGameAt(0);
    keyDown(Qt::Key_1);
    ASSERT_TRUE(showsLit(0));
    if (GetParam()) {
        form->findChild<QMenu*>(QStringLiteral("MnuHelpp"))->popup(form->mapToGlobal(QPoint()));
    } else {
        elsewhere.show();
        elsewhere.activateWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::focusWindow() == elsewhere.windowHandle(); }, 5000));
    }
    EXPECT_FALSE(showsLit(0));
    EXPECT_EQ(Form1::Testing::padInput(*form)->heldPad(), -1);
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
    EXPECT_TRUE(form->Timer(TimerId::Timer1)->isActive()) << "the next round does not play";
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    keyUp(Qt::Key_1); // late, and ends nothing
    EXPECT_EQ(player.files.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Ways, KeyboardElsewhereTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Menu" : "AnotherWindow"; });

// With Num Lock off the keypad's 7, 9, 3 and 1 are Home, PgUp, PgDn and End,
// which move a focused speed setting rather than play a pad.
TEST_F(KeyboardTest, KeypadNavigationKeysMoveAFocusedScrollBar)
{
    form->HScroll1()->setFocus();
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_PageUp, Qt::Key_End, Qt::Key_PageDown}) {
        const int before = form->HScroll1()->value();
        keyDown(key, Qt::KeypadModifier);
        keyUp(key, Qt::KeypadModifier);
        EXPECT_NE(form->HScroll1()->value(), before) << key;
    }
    EXPECT_TRUE(player.files.empty());
}

// While the about window or the tone warning is open, the keys are theirs.
TEST_F(KeyboardTest, KeysBehindAModalBoxDoNothingToTheGame)
{
    startGameAt(1);
    bool aboutSeen = false;
    tolvex::testing::onAbout([&](FormZandrell& about) {
        QTimer::singleShot(0, &about, [&] {
            aboutSeen = about.isVisible();
            QTest::keyPress(about.windowHandle(), Qt::Key_2); // closes it, as any character does
        });
    });
    form->MnuInfo()->trigger();
    keyUp(Qt::Key_2);
    EXPECT_TRUE(aboutSeen);
    EXPECT_EQ(player.files.size(), 1u); // the playback's tone alone
    EXPECT_FALSE(showsLit(1));

    player.result = 0;
    QTimer::singleShot(0, form.get(), [&] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_TRUE(qobject_cast<QMessageBox*>(box) != nullptr);
        QTest::keyClick(box, Qt::Key_4);
        QTest::keyClick(box, Qt::Key_3, Qt::KeypadModifier);
        box->close();
    });
    keyDown(Qt::Key_2);
    ASSERT_EQ(player.files.size(), 2u); // no tone for the keys typed into the box
    EXPECT_EQ(player.files.back(), "Beep2.wav");
    keyUp(Qt::Key_2);
}

// A key let go while the press's own warning is up still ends the press, so
// a completed round plays on.
TEST_F(KeyboardTest, AKeyReleaseEatenByTheWarningStillReachesThePad)
{
    startGameAt(0);
    player.result = 0;
    QTimer::singleShot(0, form.get(), [&] {
        QWidget* box = QApplication::activeModalWidget();
        QTest::keyRelease(box ? box->windowHandle() : window(), Qt::Key_1);
        if (box) box->close();
    });
    keyDown(Qt::Key_1);
    EXPECT_FALSE(showsLit(0));
    EXPECT_EQ(form->Label(6)->text(), QStringLiteral("1"));
    EXPECT_TRUE(form->Timer(TimerId::Timer1)->isActive());
}

} // namespace
} // namespace tolvex::uitest
