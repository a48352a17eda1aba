#include "pad_picture.h"

#include "scaled_pixmap.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

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

void PadPicture::press(QMouseEvent* event)
{
    event->accept();
    if (m_kind == Kind::Lit) return;
    if (m_held.testFlag(event->button())) return;  // already delivered as a press
    m_held |= event->button();
    QPointer<PadPicture> alive(this);
    emit pressed(m_pad);
    // cppcheck-suppress knownConditionTrueFalse ; a slot of pressed() may have deleted this picture
    if (alive) releaseButtonsNoLongerDown();
}

// A modal box opened by the press (the tone warning) eats the release; the
// pad would stay pressed and a completed round would never play on.
void PadPicture::releaseButtonsNoLongerDown()
{
    const Qt::MouseButtons down = QGuiApplication::mouseButtons();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton,
                                   Qt::ForwardButton}) {
        if (!down.testFlag(button)) releaseButton(button);
    }
}

void PadPicture::releaseButton(Qt::MouseButton button)
{
    if (!m_held.testFlag(button)) return;
    m_held &= ~Qt::MouseButtons(button);
    emit released(m_pad);
}

void PadPicture::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    releaseButton(event->button());
}

} // namespace tolvex
