#pragma once

#include <array>
#include <string>

namespace tolvex {

// Module-level naming values, set once at start-up.
struct SoundNaming {
    std::string SoundDir;
    std::array<std::string, 4> SoundNames;
};

// The stems in set order: set s (1..4) uses SoundNames[s - 1].
inline constexpr std::array<const char*, 4> kSoundStems = {"Beep", "Campana", "Ham", "Ram"};

// The naming start-up sets, with `dir` ("" or ending in '/') for SoundDir.
SoundNaming shippedNaming(std::string dir = {});

// SoundDir + stem of set s + digit of pad + 1 + ".wav", e.g. set 3, pad 0 -> "Ham1.wav".
std::string toneFileName(const SoundNaming& naming, int soundSet, int pad);

} // namespace tolvex
