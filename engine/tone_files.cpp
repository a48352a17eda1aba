#include "tone_files.h"

#include <utility>

namespace tolvex {

SoundNaming shippedNaming(std::string dir)
{
    SoundNaming naming{std::move(dir), {}};
    for (std::size_t i = 0; i < kSoundStems.size(); ++i) naming.SoundNames[i] = kSoundStems[i];
    return naming;
}

std::string toneFileName(const SoundNaming& naming, int soundSet, int pad)
{
    return naming.SoundDir + naming.SoundNames.at(soundSet - 1) + std::to_string(pad + 1) + ".wav";
}

} // namespace tolvex
