#pragma once

#include "gif_writer.h"

#include <array>
#include <string>

namespace tolvex::art {

// A control's place on the board, in twips (15 twips = 1 pixel).
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kTwipsPerPixel = 15;

// The board's centre, around which the four quarters make a ring.
inline constexpr int kBoardCentreX = 2880;
inline constexpr int kBoardCentreY = 2850;

// Image1's (unlit) places, pad 0 green top left, clockwise.
inline constexpr std::array<TwipsRect, 4> kUnlitPlaces = {{
    {220, 220, 2655, 2625},
    {2880, 200, 2655, 2685},
    {2880, 2850, 2655, 2625},
    {240, 2850, 2655, 2685},
}};

inline constexpr std::array<Rgb, 4> kUnlitColours = {
    {{0x00, 0x9C, 0x00}, {0x9C, 0x9C, 0x00}, {0x00, 0x62, 0x9C}, {0x9C, 0x00, 0x00}}};
inline constexpr std::array<Rgb, 4> kLitColours = {
    {{0x31, 0xFF, 0x31}, {0xFF, 0xFF, 0x00}, {0x00, 0xCD, 0xFF}, {0xFF, 0x18, 0x00}}};

// The ring in pixels.
inline constexpr double kOuterRadius = 174.0; // one short of 175 so no quarter touches its picture's edge
inline constexpr double kInnerRadius = 75.0;
inline constexpr double kGap = 4.0; // black gap between neighbouring quarters
inline constexpr double kRimWidth = 6.0;

// Pad picture: black rectangle with the pad's quarter, drawn so that the
// unlit pictures meet in a ring when laid at their places; a lit picture keeps
// the same drawing and so, laid 20 twips nearer the centre (across, and down
// but for pad 1's), shows pressed in.
// `scale` device pixels per board pixel, for high-density screens.
IndexedImage padPicture(int pad, bool lit, int scale = 1);

// Square ring icon on black. With levels > 0 the edge shading is limited to
// that many steps per colour (16-colour icon); 0 means smooth edges.
IndexedImage ringIcon(int size, int levels);

// The same ring as scalable vector graphics.
std::string ringSvg();

} // namespace tolvex::art
