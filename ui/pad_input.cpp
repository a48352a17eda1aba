#include "pad_input.h"

#include "pad_keys.h"
#include "pad_picture.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>
#include <bit>

namespace tolvex {

PadInput::PadInput(QMainWindow* board, const std::array<PadPicture*, 4>& unlit, std::function<bool()> handlerRunning)
    : QObject(board), m_board(board), m_unlit(unlit), m_handlerRunning(std::move(handlerRunning))
{
    setObjectName(QStringLiteral("PadInput"));
    // The keys work whichever control has the focus; the mouse's presses on
    // the pictures and the window's own releases pass here first as well.
    QCoreApplication::instance()->installEventFilter(this);
    // An open menu takes the keyboard: a key let go there never comes here.
    for (QMenu* menu : board->menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, [this] { letGoOf(Holder::Key); });
    // So does another program; a key let go in a modal box of ours still
    // passes here and is parked. Gamepad buttons follow no window: whatever
    // takes the input lets their pad go.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](const QWindow* focus) {
        if (focus == m_board->windowHandle()) return;
        letGoOf(Holder::Gamepad);
        if (focus == nullptr || (!behindModalBox() && QApplication::activePopupWidget() == nullptr))
            letGoOf(Holder::Key);
    });
}

bool PadInput::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        if (auto* picture = qobject_cast<PadPicture*>(watched); picture != nullptr && picture->window() == m_board)
            return mouse(picture, static_cast<QMouseEvent*>(event));
        // Once a modal box has blocked the window, Qt no longer knows which
        // widget took a press and hands the release of a button held through
        // the box to nobody: the window's own release ends it here.
        if (event->type() == QEvent::MouseButtonRelease && watched == m_board->windowHandle())
            releaseButton(static_cast<QMouseEvent*>(event)->button());
        return false;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        return watched->isWidgetType() && key(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    default: return false;
    }
}

bool PadInput::mouse(PadPicture* picture, QMouseEvent* event)
{
    event->accept();
    const Qt::MouseButton button = event->button();
    if (event->type() == QEvent::MouseButtonRelease) {
        releaseButton(button);
        return true;
    }
    // A toolkit's double-click is a press. Only a dark picture takes one: a
    // lit picture in front is a pad that shows lit, and at the few edge
    // pixels where a dark pad's lit picture lies beyond its dark one, the
    // press is on no pad.
    if (m_buttons.testFlag(button) || picture->kind() != PadPicture::Kind::Unlit || !mayPress(picture->pad()))
        return true;
    change(picture->pad(), [&] { m_buttons |= button; });
    return true;
}

void PadInput::releaseButton(Qt::MouseButton button)
{
    if (m_buttons.testFlag(button)) change(m_pad, [&] { m_buttons &= ~Qt::MouseButtons(button); });
}

// A pad key goes to the held pad, and to nothing else; true when it was one.
bool PadInput::key(QWidget* receiver, QKeyEvent* event)
{
    const int pad = padForKey(*event);
    if (pad < 0 || m_stopped) return false;
    const quint64 id = holder(Holder::Key, padKeyIdentity(*event));
    const bool down = event->type() == QEvent::KeyPress;
    // Keys typed into a modal box are the box's.
    if (behindModalBox()) {
        if (!event->isAutoRepeat()) hold(id, pad, down);
        return false;
    }
    if (receiver->window() != m_board) return false;
    if (down && movesASlider(*event) && qobject_cast<QAbstractSlider*>(receiver) != nullptr && !m_held.contains(id))
        return false;
    if (!event->isAutoRepeat()) hold(id, pad, down);
    return true;
}

void PadInput::gamepadButton(int button, int pad, bool down)
{
    if (!m_stopped) hold(holder(Holder::Gamepad, button), pad, down);
}

// Behind a modal box a press is lost, but a pad held by `id` still learns
// that it went up.
void PadInput::hold(quint64 id, int pad, bool down)
{
    if (behindModalBox()) {
        if (!down && pad == m_pad && m_held.contains(id)) m_heldUp.insert(id);
    } else if (down && mayPress(pad)) {
        change(pad, [&] { m_held.insert(id); });
    } else if (!down && pad == m_pad && m_held.contains(id)) {
        change(pad, [&] {
            m_held.remove(id);
            m_heldUp.remove(id);
        });
    }
}

// Whatever the source: one pad at a time, and a pad that shows lit loses
// presses, as a click on its lit picture.
bool PadInput::mayPress(int pad) const { return !m_unlit[pad]->shownLit() && (m_pad < 0 || m_pad == pad); }

bool PadInput::behindModalBox() { return QApplication::activeModalWidget() != nullptr; }

void PadInput::pressAndRelease(int pad)
{
    // Like a key, a tool's press never reaches the game behind a modal box;
    // pressed and released at once, it leaves a pad held by another source
    // alone.
    if (behindModalBox() || m_pad >= 0 || !mayPress(pad)) return;
    emit pressed(pad);
    emit released(pad);
}

void PadInput::letGoOf(Holder kind)
{
    for (quint64 id : std::as_const(m_held)) {
        if (static_cast<Holder>(id >> 32) == kind) m_heldUp.insert(id);
    }
    if (!m_handlerRunning()) settle();
}

// A modal box opened by the press (the tone warning) eats the release; the
// pad would stay pressed and a completed round would never play on.
void PadInput::settle()
{
    const int pad = m_pad;
    if (pad < 0) return;
    const Qt::MouseButtons down = QGuiApplication::mouseButtons();
    for (Qt::MouseButton button :
         {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
        // A release handled meanwhile may have changed the held pad.
        if (m_pad == pad && !down.testFlag(button)) releaseButton(button);
    }
    for (quint64 id : QSet<quint64>(m_heldUp)) {
        if (m_pad != pad || !m_held.contains(id)) continue;
        change(pad, [&] {
            m_held.remove(id);
            m_heldUp.remove(id);
        });
    }
}

int PadInput::pressesOut() const
{
    const int buttons = std::popcount(static_cast<unsigned>(m_buttons.toInt()));
    return std::max(buttons, m_held.isEmpty() ? 0 : 1);
}

// The state is whole before anything is sent: the handler may open a modal
// box, whose own loop brings more input here.
template <typename Change> void PadInput::change(int pad, Change&& apply)
{
    const int before = pressesOut();
    m_pad = pad;
    apply();
    const int after = pressesOut();
    if (after == 0) {
        m_pad = -1;
        m_heldUp.clear();
    }
    if (after > before)
        emit pressed(pad);
    else if (after < before)
        emit released(pad);
}

} // namespace tolvex
