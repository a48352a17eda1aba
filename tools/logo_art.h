#pragma once

#include <QImage>

namespace tolvex::art {

inline constexpr int kLogoWidth = 230;
inline constexpr int kLogoHeight = 229;

// About-window logo: the four-colour ring over the word "Tolvex", on black;
// `scale` device pixels per logo pixel, for high-density screens.
QImage logoPicture(int scale = 1);

} // namespace tolvex::art
