#include "stream_placement.h"

namespace tolvex {

Placement placeSound(const std::string& lastDefault, const std::string& nowDefault, const std::string& streamOutput)
{
    const bool changed = !lastDefault.empty() && !nowDefault.empty() && nowDefault != lastDefault;
    // The server moves its streams to the new default by itself, PipeWire's
    // session manager a moment later: a stream not there yet is left behind.
    if (changed && !streamOutput.empty() && streamOutput != nowDefault) return Placement::ReopenOnNewDefault;
    return Placement::StartHere;
}

} // namespace tolvex
