#pragma once

// Damaged, foreign and oversized files that must not be played.

#include "wave_decoder.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace tolvex::testing {

struct DamagedWave {
    const char* label;
    // Creates the file at `path` (or leaves nothing there); false on failure.
    std::function<bool(const std::string& path)> make;
    WaveRefusal expected;
};

// Names the case in test listings.
inline void PrintTo(const DamagedWave& wave, std::ostream* os) { *os << wave.label; }

const std::vector<DamagedWave>& damagedWaves();

} // namespace tolvex::testing
