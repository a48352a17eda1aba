#include "logo_art.h"

#include "ring_art.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>

namespace tolvex::art {
namespace {

QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }

QPainterPath quarter(QPointF centre, double outer, double inner, double gap, int pad)
{
    // Qt angles run counter-clockwise from three o'clock; pad 0 spans 90..180 degrees.
    constexpr double kBase[4] = {90.0, 0.0, 270.0, 180.0};
    const double half = gap / 2.0;
    const double outerInset = qRadiansToDegrees(std::asin(half / outer));
    const double innerInset = qRadiansToDegrees(std::asin(half / inner));
    const QRectF outerBox(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    const QRectF innerBox(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    QPainterPath path;
    path.arcMoveTo(outerBox, kBase[pad] + outerInset);
    path.arcTo(outerBox, kBase[pad] + outerInset, 90.0 - 2 * outerInset);
    path.arcTo(innerBox, kBase[pad] + 90.0 - innerInset, -(90.0 - 2 * innerInset));
    path.closeSubpath();
    return path;
}

// The word drawn as strokes, baseline at y = 0, so no installed font is needed.
QPainterPath word()
{
    QPainterPath p;
    double x = 0;
    // T
    p.moveTo(x, -34);
    p.lineTo(x + 24, -34);
    p.moveTo(x + 12, -34);
    p.lineTo(x + 12, 0);
    x += 24 + 8;
    // o
    p.addEllipse(QRectF(x, -22, 22, 22));
    x += 22 + 8;
    // l
    p.moveTo(x + 2, -36);
    p.lineTo(x + 2, 0);
    x += 4 + 8;
    // v
    p.moveTo(x, -22);
    p.lineTo(x + 10, 0);
    p.lineTo(x + 20, -22);
    x += 20 + 8;
    // e
    p.moveTo(x, -11);
    p.lineTo(x + 22, -11);
    p.arcTo(QRectF(x, -22, 22, 22), 0, 310);
    x += 22 + 8;
    // x
    p.moveTo(x, -22);
    p.lineTo(x + 20, 0);
    p.moveTo(x + 20, -22);
    p.lineTo(x, 0);
    return p;
}

} // namespace

QImage logoPicture(int scale)
{
    QImage image(kLogoWidth * scale, kLogoHeight * scale, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn in logo pixels whatever the scale, so every variant shows the same picture.
    painter.scale(scale, scale);

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

    const QPainterPath letters = word();
    const QRectF bounds = letters.boundingRect();
    painter.translate(std::round((kLogoWidth - bounds.width()) / 2.0 - bounds.left()), 208.0);
    painter.setPen(QPen(QColor(240, 240, 240), 5.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(letters);

    // A four-colour underline, one segment per pad.
    const double segment = bounds.width() / 4.0;
    for (int pad = 0; pad < 4; ++pad) {
        painter.setPen(QPen(toQColor(kLitColours[pad]), 3.0, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(bounds.left() + pad * segment + 2, 11),
                         QPointF(bounds.left() + (pad + 1) * segment - 2, 11));
    }
    painter.end();
    return image;
}

} // namespace tolvex::art
