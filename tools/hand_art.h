#pragma once

#include <cstdint>
#include <vector>

namespace tolvex::art {

inline constexpr int kHandSize = 32;

enum class HandPixel : std::uint8_t { Clear, Black, White };

// The link cursor: a hand pointing up and to the left, its fingertip in the
// top-left corner where the hot spot is. Row by row, kHandSize x kHandSize
// times `scale` in each direction, for high-density screens.
std::vector<HandPixel> handCursor(int scale = 1);

} // namespace tolvex::art
