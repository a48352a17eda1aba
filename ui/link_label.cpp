#include "link_label.h"

#include <QEnterEvent>
#include <QMouseEvent>

namespace tolvex {

void LinkLabel::setUnderlined(bool on)
{
    QFont f = font();
    if (f.underline() == on) return;
    f.setUnderline(on);
    setFont(f);
}

void LinkLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    emit hovered();
}

void LinkLabel::mousePressEvent(QMouseEvent* event) { event->accept(); }

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (rect().contains(event->position().toPoint())) emit clicked();
}

} // namespace tolvex
