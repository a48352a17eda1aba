#pragma once
// How main() ends; the programs of the sound tests and the benchmark, which
// also open the audio server, end the same way.

#include <cstdio>
#include <cstdlib>

namespace tolvex {

// Ends the process at once, flushing stdio but skipping the static
// destructors. Qt 6.4 drops its PulseAudio connection in one of them without
// taking the connection's lock, which crashes now and then when the server
// sends something at that moment; call this after the application object is
// gone instead of returning from main().
[[noreturn]] inline void exitWithoutAudioTeardown(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace tolvex
