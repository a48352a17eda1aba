#include "tone_files.h"

namespace tolvex {

std::string toneFileName(const SoundNaming& naming, int soundSet, int pad)
{
    return naming.SoundDir + naming.SoundNames.at(soundSet - 1) + std::to_string(pad + 1) + ".wav";
}

} // namespace tolvex
