#include "scaled_pixmap.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace tolvex {

namespace {

constexpr int kLargestScale = 3;

// Read as the format its name says. Left to guess, Qt first asks every image
// plugin installed whether it reads a PNG, and loading them all (the SVG one
// brings Qt SVG along) takes several ms.
QPixmap readPicture(const QString& resource)
{
    QImageReader reader(resource, QFileInfo(resource).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace

int pictureScale(qreal devicePixelRatio)
{
    // Rounded up, so that 125 % and 150 % use @2x and 250 % uses @3x: shrinking blurs less than enlarging.
    // The small allowance keeps a ratio of 2.0000001 from reaching for @3x.
    const int scale = static_cast<int>(std::ceil(static_cast<double>(devicePixelRatio) - 1e-6));
    return std::clamp(scale, 1, kLargestScale);
}

QString scaledResource(const QString& resource, int scale)
{
    if (scale <= 1) return resource;
    QString name = resource;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return name.insert(dot < 0 ? name.size() : dot, QStringLiteral("@%1x").arg(scale));
}

QPixmap scaledPixmap(const QString& resource, qreal devicePixelRatio)
{
    // Loaded by name: QPixmap does not look for @2x files itself.
    const int scale = pictureScale(devicePixelRatio);
    QPixmap pixmap = readPicture(scaledResource(resource, scale));
    if (pixmap.isNull()) return readPicture(resource);
    pixmap.setDevicePixelRatio(scale);
    return pixmap;
}

QIcon scaledIcon(const QString& resource)
{
    QIcon icon;
    for (int scale = 1; scale <= kLargestScale; ++scale) {
        const QPixmap pixmap = readPicture(scaledResource(resource, scale));
        if (!pixmap.isNull()) icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace tolvex
