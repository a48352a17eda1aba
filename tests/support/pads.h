#pragma once
// The four pads as the board shows them: where each picture lies, its
// colours, and the middle of its quarter of the ring, which both the lit
// and the unlit picture cover.

#include <array>
#include <cstdint>

namespace tolvex::testing {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 504, kClientHeight = 390; // the main window below its menu bar

struct PadFacts {
    int unlitLeft, unlitTop;  // Image1's place, twips
    int litLeft, litTop;      // Image2's place, twips
    int width, height;        // both pictures, pixels
    std::uint32_t unlit, lit; // 0xRRGGBB
    int middleX, middleY;     // the quarter's middle, client pixels
    int signX, signY;         // direction of the quarter from the board's centre
};

inline constexpr std::array<PadFacts, 4> kPads = {{
    {220, 220, 240, 240, 177, 175, 0x009C00, 0x31FF31, 104, 102, -1, -1},
    {2880, 200, 2860, 200, 177, 179, 0x9C9C00, 0xFFFF00, 280, 102, 1, -1},
    {2880, 2850, 2860, 2830, 177, 175, 0x00629C, 0x00CDFF, 280, 278, 1, 1},
    {240, 2850, 260, 2830, 177, 179, 0x9C0000, 0xFF1800, 104, 278, -1, 1},
}};

} // namespace tolvex::testing
