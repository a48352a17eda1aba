#include "pad_picture.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace tolvex {

namespace {

// Notices whether a modal window blocked `window` while it was watched.
class ModalWatch : public QObject {
public:
    explicit ModalWatch(QWidget* window) : m_window(window) { m_window->installEventFilter(this); }
    ~ModalWatch() override
    {
        if (m_window) m_window->removeEventFilter(this);
    }
    bool blocked() const { return m_blocked; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::WindowBlocked) m_blocked = true;
        return false;
    }

private:
    QPointer<QWidget> m_window;
    bool m_blocked = false;
};

} // namespace

PadPicture::PadPicture(int pad, Kind kind, const QString& resource, QWidget* parent)
    : QWidget(parent), m_pad(pad), m_kind(kind), m_picture(resource)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PadPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    // At its own size, never stretched.
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
    bool modalOpened = false;
    {
        ModalWatch watch(window());
        emit pressed(m_pad);
        modalOpened = watch.blocked();
    }
    // cppcheck-suppress knownConditionTrueFalse ; a slot of pressed() may have deleted this picture
    if (!alive) return;
    releaseButtonsNoLongerDown();
    // The toolkit forgets which widget took the press once a modal box has
    // been up, and would hand the release to whatever lies under the
    // pointer; keep it for this pad.
    if (modalOpened && m_held != Qt::NoButton && isVisible()) grabMouse();
}

void PadPicture::letGoOfTheMouseWhenNothingIsHeld()
{
    if (m_held == Qt::NoButton && mouseGrabber() == this) releaseMouse();
}

// A modal box opened by the press (the tone warning) eats the release; the
// pad would stay pressed and a completed round would never play on.
void PadPicture::releaseButtonsNoLongerDown()
{
    const Qt::MouseButtons down = QGuiApplication::mouseButtons();
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton,
                                   Qt::ForwardButton}) {
        if (m_held.testFlag(button) && !down.testFlag(button)) {
            m_held &= ~Qt::MouseButtons(button);
            emit released(m_pad);
        }
    }
    letGoOfTheMouseWhenNothingIsHeld();
}

void PadPicture::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (!m_held.testFlag(event->button())) return;
    m_held &= ~Qt::MouseButtons(event->button());
    letGoOfTheMouseWhenNothingIsHeld();
    emit released(m_pad);
}

} // namespace tolvex
