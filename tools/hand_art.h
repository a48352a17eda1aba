#pragma once

#include <cstdint>
#include <vector>

namespace tolvex::art {

inline constexpr int kHandSize = 32;

enum class HandPixel : std::uint8_t { Clear, Black, White };

// The link cursor: a hand pointing up and to the left, its fingertip in the
// top-left corner where the hot spot is. Row by row, kHandSize x kHandSize.
std::vector<HandPixel> handCursor();

} // namespace tolvex::art
