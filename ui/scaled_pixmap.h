#pragma once
// Pictures for high-density screens: beside ":/x.png" lie ":/x@2x.png" and
// ":/x@3x.png", the same drawing with two and three times the pixels.

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tolvex {

// The variant, 1, 2 or 3, that is at least as sharp as a screen of this ratio.
int pictureScale(qreal devicePixelRatio);

// The resource's file for that scale: ":/x.png" at 2 is ":/x@2x.png".
QString scaledResource(const QString& resource, int scale);

// The resource's variant for the ratio, marked with its scale so that it is
// drawn at the plain picture's size; the plain picture if the variant is missing.
QPixmap scaledPixmap(const QString& resource, qreal devicePixelRatio);

// The resource with all its variants, for whichever screen the window is on.
QIcon scaledIcon(const QString& resource);

} // namespace tolvex
