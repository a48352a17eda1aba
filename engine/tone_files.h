#pragma once

#include "texts.h"

#include <array>
#include <cstdint>
#include <string>

namespace tolvex {

// The prompt shown when a tone is refused.
inline constexpr const char* kToneWarning = texts::kToneWarning;

// Module-level naming values, set once at start-up.
struct SoundNaming {
    std::string SoundDir;
    std::array<std::string, 4> SoundNames;
};

// The stems in set order: set s (1..4) uses SoundNames[s - 1].
inline constexpr std::array<const char*, 4> kSoundStems = {"Beep", "Campana", "Ham", "Ram"};

// SoundDir + stem of set s + digit of pad + 1 + ".wav", e.g. set 3, pad 0 -> "Ham1.wav".
std::string toneFileName(const SoundNaming& naming, int soundSet, int pad);

} // namespace tolvex
