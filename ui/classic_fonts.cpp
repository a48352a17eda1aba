#include "classic_fonts.h"

#include <QStringList>

#include <cmath>

namespace tolvex {

void installFontSubstitutes()
{
    const QStringList freeSans{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    for (const char* family : {"MS Sans Serif", "Arial", "Arial Black"}) {
        const QString name = QString::fromLatin1(family);
        if (QFont::substitutes(name).isEmpty()) QFont::insertSubstitutions(name, freeSans);
    }
}

QFont classicFont(const QString& family, double points, bool bold)
{
    QFont font(family);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    // Arial Black is the heaviest cut; the stand-in's boldest face is Bold.
    if (family == QLatin1String("Arial Black"))
        font.setWeight(QFont::Black);
    else
        font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setUnderline(false);
    return font;
}

QFont dialogFont() { return classicFont(QStringLiteral("MS Sans Serif"), 8.0); }

} // namespace tolvex
