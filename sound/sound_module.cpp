// The entry point of the sound module the game opens at run time
// (ui/sound_module.h): the real player, made by the module's own code.
#include "pulse_wave_player.h"

extern "C" __attribute__((visibility("default"))) tolvex::WavePlayer* tolvexMakeWavePlayer()
{
    return new tolvex::PulseWavePlayer;
}
