#include "pad_picture.h"

#include "scaled_pixmap.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <bit>

namespace tolvex {

PadPicture::PadPicture(int pad, Kind kind, const QString& resource, QWidget* parent)
    : QWidget(parent), m_pad(pad), m_kind(kind), m_picture(scaledPixmap(resource, devicePixelRatioF()))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PadPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    // At its own size, never stretched; a high-density variant covers the same logical pixels.
    painter.drawPixmap(0, 0, m_picture);
}

void PadPicture::mousePressEvent(QMouseEvent* event) { press(event); }

// The toolkit turns a quick second press into a double-click; it is a press.
void PadPicture::mouseDoubleClickEvent(QMouseEvent* event) { press(event); }

// Every mouse button makes a press of its own, as it always has; the keys
// together count as one more holder, and a key and the mouse at once are one
// press: a press is sent when the count of outstanding presses grows, a
// release when it shrinks.
int PadPicture::pressesOut() const
{
    const int buttons = std::popcount(static_cast<unsigned>(m_held.toInt()));
    return std::max(buttons, m_keys.isEmpty() ? 0 : 1);
}

void PadPicture::holdersChanged(int pressesBefore)
{
    const int after = pressesOut();
    if (after > pressesBefore)
        emit pressed(m_pad);
    else if (after < pressesBefore)
        emit released(m_pad);
}

void PadPicture::press(QMouseEvent* event)
{
    event->accept();
    if (m_kind == Kind::Lit) return;
    const Qt::MouseButton button = event->button();
    if (m_held.testFlag(button)) return; // already delivered as a press
    const int before = pressesOut();
    m_held |= button;
    holdersChanged(before);
}

void PadPicture::pressKey(int key)
{
    if (m_shownLit || m_keys.contains(key)) return;
    const int before = pressesOut();
    m_keys.insert(key);
    holdersChanged(before);
}

void PadPicture::releaseKey(int key)
{
    if (!m_keys.contains(key)) return;
    m_keysUp.remove(key);
    const int before = pressesOut();
    m_keys.remove(key);
    holdersChanged(before);
}

void PadPicture::keyReleasedMeanwhile(int key)
{
    if (m_keys.contains(key)) m_keysUp.insert(key);
}

void PadPicture::click()
{
    if (m_shownLit || pressesOut() > 0) return;
    emit pressed(m_pad);
    emit released(m_pad);
}

void PadPicture::setShownLit(bool lit)
{
    if (m_shownLit == lit) return;
    m_shownLit = lit;
    QAccessible::State changed;
    changed.pressed = true;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}
// A modal box opened by the press (the tone warning) eats the release; the
// pad would stay pressed and a completed round would never play on.
void PadPicture::releaseButtonsNoLongerDown()
{
    const Qt::MouseButtons down = QGuiApplication::mouseButtons();
    for (Qt::MouseButton button :
         {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton}) {
        if (!down.testFlag(button)) releaseButton(button);
    }
    for (int key : QSet<int>(m_keysUp)) releaseKey(key);
}

void PadPicture::releaseButton(Qt::MouseButton button)
{
    if (!m_held.testFlag(button)) return;
    const int before = pressesOut();
    m_held &= ~Qt::MouseButtons(button);
    holdersChanged(before);
}

void PadPicture::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    releaseButton(event->button());
}

} // namespace tolvex
