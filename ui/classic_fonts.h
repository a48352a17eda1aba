#pragma once
// The windows name the fonts of their original design; free fonts stand in.

#include <QFont>
#include <QString>

namespace tolvex {

// "MS Sans Serif", "Arial" and "Arial Black" resolve to Liberation Sans
// (metric-compatible with Arial), then DejaVu Sans, when they are missing.
void installFontSubstitutes();

// A font sized in pixels at 96 dots per inch, so text fits its twips box
// whatever the screen's reported resolution.
QFont classicFont(const QString& family, double points, bool bold = false);

// The default dialog font of the windows: "MS Sans Serif" 8 pt.
QFont dialogFont();

} // namespace tolvex
