#include "logo_art.h"

#include "ring_art.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace tolvex::art {
namespace {

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

QPainterPath quarter(QPointF centre, double outer, double inner, double gap, int pad)
{
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addEllipse(centre, outer, outer);
    ring.addEllipse(centre, inner, inner);
    const double half = gap / 2.0;
    const double left = (pad == 0 || pad == 3) ? centre.x() - outer - 1 : centre.x() + half;
    const double top = (pad == 0 || pad == 1) ? centre.y() - outer - 1 : centre.y() + half;
    QPainterPath box;
    box.addRect(QRectF(left, top, outer + 1 - half, outer + 1 - half));
    return ring.intersected(box);
}

// The word drawn as strokes, baseline at y = 0, so no installed font is needed.
QPainterPath word()
{
    QPainterPath p;
    double x = 0;
    // T
    p.moveTo(x, -34); p.lineTo(x + 24, -34);
    p.moveTo(x + 12, -34); p.lineTo(x + 12, 0);
    x += 24 + 8;
    // o
    p.addEllipse(QRectF(x, -22, 22, 22));
    x += 22 + 8;
    // l
    p.moveTo(x + 2, -36); p.lineTo(x + 2, 0);
    x += 4 + 8;
    // v
    p.moveTo(x, -22); p.lineTo(x + 10, 0); p.lineTo(x + 20, -22);
    x += 20 + 8;
    // e
    p.moveTo(x, -11); p.lineTo(x + 22, -11);
    p.arcTo(QRectF(x, -22, 22, 22), 0, 310);
    x += 22 + 8;
    // x
    p.moveTo(x, -22); p.lineTo(x + 20, 0);
    p.moveTo(x + 20, -22); p.lineTo(x, 0);
    return p;
}

} // namespace

QImage logoPicture()
{
    QImage image(kLogoWidth, kLogoHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QPointF centre(115.0, 88.0);
    const double outer = 80.0, inner = 34.0;
    for (int pad = 0; pad < 4; ++pad) {
        // Bright near the hole, deepening to the dark shade at the rim.
        QRadialGradient shade(centre, outer);
        shade.setColorAt(inner / outer, toQColor(kLitColours[pad]));
        shade.setColorAt(0.78, toQColor(kLitColours[pad]));
        shade.setColorAt(1.0, toQColor(kUnlitColours[pad]));
        painter.fillPath(quarter(centre, outer, inner, 5.0, pad), shade);
    }
    painter.setPen(QPen(QColor(90, 90, 90), 1.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, inner - 6.0, inner - 6.0);

    const QPainterPath letters = word();
    const QRectF bounds = letters.boundingRect();
    painter.translate(std::round((kLogoWidth - bounds.width()) / 2.0 - bounds.left()), 208.0);
    painter.setPen(QPen(QColor(240, 240, 240), 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(letters);

    // A four-colour underline, one segment per pad.
    const double segment = bounds.width() / 4.0;
    for (int pad = 0; pad < 4; ++pad) {
        painter.setPen(QPen(toQColor(kLitColours[pad]), 3.0, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(bounds.left() + pad * segment + 2, 11), QPointF(bounds.left() + (pad + 1) * segment - 2, 11));
    }
    painter.end();
    return image;
}

} // namespace tolvex::art
