#pragma once
// The game's own colours: black text on the light button-face grey of the
// classic desktop, whatever palette the desktop hands the program (a dark
// scheme would leave the black captions on dark grey).

#include <QPalette>

namespace tolvex {

// The toolkit's own light palette, with black text in every enabled group.
const QPalette& classicPalette();

} // namespace tolvex
