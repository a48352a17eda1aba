#pragma once

#include <cstdint>
#include <string>

namespace tolvex {

// Asynchronous WAVE playback: start the named file (resolved against the
// working directory) and return at once; nonzero when playback started.
// A new request cuts the sound still playing.
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    virtual std::int32_t PlayWave(const std::string& fileName) = 0;
};

} // namespace tolvex
