#pragma once
// The shipped sound sets' naming, as the game sets it up at start-up.

#include "tone_files.h"

#include <string>

namespace tolvex::testing {

inline SoundNaming shippedNaming(std::string soundDir = {})
{
    SoundNaming naming{std::move(soundDir), {}};
    for (std::size_t i = 0; i < kSoundStems.size(); ++i) naming.SoundNames[i] = kSoundStems[i];
    return naming;
}

} // namespace tolvex::testing
