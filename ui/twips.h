#pragma once
// Every place and size of the windows is written in twips, 15 to a pixel;
// only a style's spacing or a text's wrap margin is in pixels.

#include <QRect>

#include <algorithm>
#include <cmath>

namespace tolvex {

inline constexpr int kTwipsPerPixel = 15;

// Nearest pixel; layout values are whole, non-negative twips.
constexpr int twipsToPixels(int twips) { return (2 * twips + kTwipsPerPixel) / (2 * kTwipsPerPixel); }

// The time bar's width arrives as a fraction of twips; never below 0.
inline int twipsToPixels(float twips)
{
    return std::max(0, static_cast<int>(std::lround(twips / static_cast<float>(kTwipsPerPixel))));
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace tolvex
