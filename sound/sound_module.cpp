// The entry point of the sound module the game opens at run time
// (ui/modules.h): the real player, made by the module's own code.
#include "module_build.h"
#include "pulse_wave_player.h"

TOLVEX_MODULE_BUILD

extern "C" __attribute__((visibility("default"))) tolvex::WavePlayer* tolvexMakeWavePlayer()
{
    return new tolvex::PulseWavePlayer;
}
