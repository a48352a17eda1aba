#include "pad_picture.h"

#include "scaled_pixmap.h"

#include <QAccessible>
#include <QPainter>

namespace tolvex {

PadPicture::PadPicture(int pad, Kind kind, const QString& resource, QWidget* parent)
    : QWidget(parent), m_pad(pad), m_kind(kind), m_resource(resource)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

const QPixmap& PadPicture::picture() const
{
    if (m_picture.isNull()) m_picture = scaledPixmap(m_resource, devicePixelRatioF());
    return m_picture;
}

void PadPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    // At its own size, never stretched; a high-density variant covers the same logical pixels.
    painter.drawPixmap(0, 0, picture());
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
} // namespace tolvex
