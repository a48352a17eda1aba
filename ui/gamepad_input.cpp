#include "gamepad_input.h"

#include "engine.h"
#include "form_zandrell.h"
#include "pad_input.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>

namespace tolvex {

namespace {

// SDL has no wake-up of its own without a window, so the poll sets both the
// latency and the cost, and a wake-up costs some 0.1 ms of processor time
// on its own. While a pad is being played, every 8 ms; once its buttons
// have rested for as long as a turn allows a press, every frame (16 ms),
// which halves the cost of an idle pad; with no pad connected, four times
// a second, so that a pad switched on plays at once and an idle game costs
// nothing.
constexpr int kPollPlaying = 8;
constexpr int kPollResting = 16;
constexpr auto kRestAfter = std::chrono::seconds(Engine::kTimeLimitSecs);
constexpr int kPollWithout = 250;

bool isFaceButton(PadButton b)
{
    return b == PadButton::A || b == PadButton::B || b == PadButton::X || b == PadButton::Y;
}

} // namespace

GamepadInput::GamepadInput(std::unique_ptr<Gamepads> gamepads, PadInput* pads, QAbstractButton* newGame,
                           QObject* parent)
    : QObject(parent), m_gamepads(std::move(gamepads)), m_pads(pads), m_newGame(newGame)
{
    m_poll.setTimerType(Qt::PreciseTimer);
    connect(&m_poll, &QTimer::timeout, this, &GamepadInput::poll);
    m_poll.start(0); // the pads already connected come with the first poll
}

// The events are handled after the timer's slot: a press that opens a modal
// box waits there, and Qt fires no timer again while its slot runs.
void GamepadInput::poll()
{
    const std::vector<GamepadEvent> events = m_gamepads->poll();
    const auto now = std::chrono::steady_clock::now();
    if (!events.empty()) {
        m_pending.insert(m_pending.end(), events.begin(), events.end());
        QMetaObject::invokeMethod(this, &GamepadInput::drain, Qt::QueuedConnection);
        m_lastMoved = now;
    }
    // Set only when it changes: setting it restarts the timer.
    const int interval = m_gamepads->connected() == 0     ? kPollWithout
                         : now - m_lastMoved < kRestAfter ? kPollPlaying
                                                          : kPollResting;
    if (m_poll.interval() != interval) m_poll.setInterval(interval);
}

// Called again from inside a modal box's loop, it goes on with the queue.
void GamepadInput::drain()
{
    while (!m_pending.empty()) {
        const GamepadEvent e = m_pending.front();
        m_pending.pop_front();
        handle(e);
    }
}

void GamepadInput::handle(const GamepadEvent& event)
{
    // With no window of its own SDL hears the pad whoever is in front.
    if (event.down && QGuiApplication::applicationState() != Qt::ApplicationActive) return;
    QWidget* modal = QApplication::activeModalWidget();
    if (event.down && modal != nullptr && answer(modal, event.button)) return;
    if (event.pad >= 0) {
        m_pads->gamepadButton(event.device * kPadButtonCount + static_cast<int>(event.button), event.pad, event.down);
    } else if (event.button == PadButton::Start) {
        if (event.down && modal == nullptr) m_newGame->click(); // a disabled button takes no click
    } else {
        moveFocus(event.button, event.down);
    }
}

bool GamepadInput::answer(QWidget* modal, PadButton button)
{
    // As a typed character closes the about window.
    if (auto* about = qobject_cast<FormZandrell*>(modal)) {
        if (!isFaceButton(button) && button != PadButton::Start) return false;
        about->close();
        return true;
    }
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box == nullptr || (button != PadButton::A && button != PadButton::Start)) return false;
    QAbstractButton* ok = box->defaultButton();
    if (ok == nullptr) ok = box->buttons().value(0);
    if (ok != nullptr) ok->click();
    return true;
}

// Up and down choose within a group, as the arrow keys; left and right go to
// the previous and next control, as Shift+Tab and Tab.
void GamepadInput::moveFocus(PadButton button, bool down)
{
    int key = 0;
    switch (button) {
    case PadButton::DpadUp: key = Qt::Key_Up; break;
    case PadButton::DpadDown: key = Qt::Key_Down; break;
    case PadButton::DpadLeft: key = Qt::Key_Backtab; break;
    case PadButton::DpadRight: key = Qt::Key_Tab; break;
    default: return;
    }
    QWidget* target = QApplication::focusWidget();
    if (target == nullptr) target = QApplication::activeWindow();
    if (target == nullptr) return;
    const Qt::KeyboardModifiers mods = key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
    QKeyEvent event(down ? QEvent::KeyPress : QEvent::KeyRelease, key, mods);
    QCoreApplication::sendEvent(target, &event);
}

} // namespace tolvex
