// The entry point of the gamepad module the game opens at run time
// (ui/modules.h): SDL and its game-controller layer load with it, after the
// first picture, and a machine without SDL plays on without gamepads.
#include "module_build.h"
#include "sdl_gamepads.h"

TOLVEX_MODULE_BUILD

extern "C" __attribute__((visibility("default"))) tolvex::Gamepads* tolvexMakeGamepads()
{
    auto* gamepads = new tolvex::SdlGamepads;
    if (gamepads->started()) return gamepads;
    delete gamepads;
    return nullptr;
}
