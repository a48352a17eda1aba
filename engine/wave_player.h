#pragma once

#include <cstdint>
#include <string>

namespace tolvex {

// Asynchronous WAVE playback: starts the named file (resolved against the
// working directory) and returns once the sound server has taken it, the
// sound going on by itself; a server that does not answer holds the caller a
// bounded time (PulseWavePlayer: 60 ms). Nonzero when playback started. A new
// request cuts the sound still playing.
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    virtual std::int32_t PlayWave(const std::string& fileName) = 0;
};

} // namespace tolvex
