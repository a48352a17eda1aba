#pragma once
// A recording WAVE player and a loaded main window on the fake clock whose
// about window closes by itself, for driving the windows under the offscreen
// platform.

#include "announcer.h"
#include "about_watch.h"
#include "engine_test_support.h"
#include "fake_clock.h"
#include "form1.h"
#include "form_zandrell.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tolvex::uitest {

using tolvex::testing::closeAtOnce;
using tolvex::testing::FakeClock;
using RecordingPlayer = tolvex::testing::FakePlayer;

// Ten in the morning, standing still; unscripted draws pick pad 0.
inline void holdAtTenInTheMorning(FakeClock& clock)
{
    clock.readNow(36000.0);
    clock.unscripted = [] { return 0.0f; };
}

// Runs the application's loop until the window's close ends it: 0, or 99
// if it runs on past `limitMs`.
inline int runUntilClosed(int limitMs = 5000)
{
    QTimer failsafe;
    failsafe.setSingleShot(true);
    QObject::connect(&failsafe, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    failsafe.start(limitMs);
    return QApplication::exec();
}

// Whether a pad shows lit: its lit picture is the one in front at its centre.
inline bool litOnBoard(const Form1& form, int pad)
{
    PadPicture* lit = form.Image2(pad);
    QWidget* client = form.centralWidget();
    return client->childAt(lit->mapTo(client, lit->rect().center())) == lit;
}

class UiTest : public ::testing::Test {
protected:
    FakeClock clock;
    RecordingPlayer player;
    std::unique_ptr<Form1> form;

    // The player the window sounds its tones with; the recorder unless a
    // test needs real playback.
    virtual WavePlayer& soundPlayer() { return player; }

    void SetUp() override
    {
        holdAtTenInTheMorning(clock);
        form = std::make_unique<Form1>(clock, soundPlayer());
        tolvex::testing::onAbout(closeAtOnce);
        form->load();
        form->showCentred();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void TearDown() override
    {
        // Button state outlives a test; a button left down spoils the next.
        EXPECT_EQ(QGuiApplication::mouseButtons(), Qt::NoButton);
        tolvex::testing::onAbout({}); // a hook may hold the test's own variables
        form.reset();
    }

    const GameState& state() { return Form1::Testing::state(*form); }
    QWindow* window() { return form->windowHandle(); }
    // The last message a screen reader was given.
    QString said() { return Form1::Testing::announcer(*form)->accessibleName(); }

    // The picture that shows, and would take a press, at a point of the board.
    QWidget* frontAt(QWidget* w, QPoint local)
    {
        QWidget* client = form->centralWidget();
        return client->childAt(w->mapTo(client, local));
    }
    bool showsLit(int pad) { return litOnBoard(*form, pad); }

    // Mouse events go through the top-level window, as real ones do, so the
    // release reaches the widget that took the press.
    QPoint inWindow(QWidget* w, QPoint local) { return w->mapTo(form.get(), local); }
    void press(QWidget* w, QPoint local, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mousePress(window(), b, {}, inWindow(w, local));
    }
    void release(QWidget* w, QPoint local, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseRelease(window(), b, {}, inWindow(w, local));
    }
    void pressPad(int pad, Qt::MouseButton b = Qt::LeftButton)
    {
        press(form->Image1(pad), form->Image1(pad)->rect().center(), b);
    }
    void releasePad(int pad, Qt::MouseButton b = Qt::LeftButton)
    {
        release(form->Image1(pad), form->Image1(pad)->rect().center(), b);
    }
    // A finger on a touch screen; Qt makes a mouse press of the first.
    static QPointingDevice* touchScreen()
    {
        static QPointingDevice* const device = QTest::createTouchDevice();
        return device;
    }
    // `resting`: a finger that stays where it was, as the screen reports it.
    void touch(QWidget* w, int finger, bool down, int resting = -1)
    {
        QTest::QTouchEventSequence fingers = QTest::touchEvent(w->window()->windowHandle(), touchScreen());
        if (resting >= 0) fingers.stationary(resting);
        const QPoint at = w->mapTo(w->window(), w->rect().center());
        if (down)
            fingers.press(finger, at, w->window()->windowHandle());
        else
            fingers.release(finger, at, w->window()->windowHandle());
    }
    void clickPad(int pad)
    {
        pressPad(pad);
        releasePad(pad);
    }

    // "Nuevo Juego" clicked, with `pad` drawn first; the playback is armed.
    void newGameAt(int pad)
    {
        clock.randoms.push_back(FakeClock::forPad(pad));
        QTest::mouseClick(form->Command1(), Qt::LeftButton);
    }
    // New game whose first pad is `pad`, played through to the player's turn
    // by the window's own ticks.
    void startGameAt(int pad)
    {
        newGameAt(pad);
        Form1::Testing::fireTimer(*form, TimerId::Timer1);
        Form1::Testing::fireTimer(*form, TimerId::Timer2);
    }
    // `inside` runs in the about window opened from the menu once its modal
    // loop runs; the window is then closed if it is still open.
    void inAboutWindow(const std::function<void(FormZandrell&)>& inside)
    {
        tolvex::testing::onAbout([inside](FormZandrell& about) {
            QTimer::singleShot(0, &about, [inside, &about] {
                inside(about);
                if (about.isVisible()) about.close();
            });
        });
        form->MnuInfo()->trigger();
    }
    // The playback of a round, by the window's own ticks, up to the
    // player's turn, when the answer clock starts; the tones it played.
    std::size_t playBack()
    {
        const std::size_t first = player.files.size();
        for (int step = 0; step < 100 && !form->Timer(TimerId::Timer3)->isActive(); ++step) {
            Form1::Testing::fireTimer(*form, TimerId::Timer1);
            Form1::Testing::fireTimer(*form, TimerId::Timer2);
        }
        EXPECT_TRUE(form->Timer(TimerId::Timer3)->isActive());
        return player.files.size() - first;
    }
};

} // namespace tolvex::uitest
