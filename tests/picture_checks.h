#pragma once
// Telling a picture drawn for a high-density screen from one blown up to it.

#include <QImage>

namespace tolvex::testing {

// Whether the size x size block with its top-left corner at (x, y) is of one colour.
inline bool uniformBlock(const QImage& image, int x, int y, int size)
{
    const QRgb first = image.pixel(x, y);
    for (int dy = 0; dy < size; ++dy)
        for (int dx = 0; dx < size; ++dx)
            if (image.pixel(x + dx, y + dy) != first) return false;
    return true;
}

// Aligned scale x scale blocks that are not of one colour. A picture blown up
// from a smaller one has none; one drawn with more pixels has them along every edge.
inline int mixedBlocks(const QImage& image, int scale)
{
    int mixed = 0;
    for (int y = 0; y + scale <= image.height(); y += scale)
        for (int x = 0; x + scale <= image.width(); x += scale) mixed += uniformBlock(image, x, y, scale) ? 0 : 1;
    return mixed;
}

} // namespace tolvex::testing
