#pragma once
// The modules beside the program, each bringing its libraries: opened once
// the about window is drawn, so that the first picture waits for none of
// them. A module that is missing, broken or from another build of the game
// is refused with one line on standard error, and the game plays on without
// it. An opened module stays loaded until the program ends.

#include "gamepads.h"
#include "wave_player.h"

#include <QString>

#include <memory>

namespace tolvex {

// Where the modules lie: the program's own folder.
QString moduleDirectory();

// The player of tolvex-sound.so (libpulse, libsndfile and its codecs);
// without it, a player that refuses every sound, so each tone warns.
std::unique_ptr<WavePlayer> openSoundModule(const QString& dir = moduleDirectory());

// The gamepads of tolvex-gamepad.so (SDL); none without it, or when SDL
// cannot start.
std::unique_ptr<Gamepads> openGamepadModule(const QString& dir = moduleDirectory());

} // namespace tolvex
