#pragma once

#include "wave_player.h"

#include <memory>

namespace tolvex {

// The player of the sound module beside the program (tolvex-sound.so), which
// brings libpulse and libsndfile with its codecs: opened once the about
// window is drawn, so the first picture does not wait for them. Without the
// module, a player that refuses every sound, after one line on standard
// error; the module stays loaded until the program ends.
std::unique_ptr<WavePlayer> openSoundModule();

} // namespace tolvex
