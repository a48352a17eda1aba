#pragma once

#include "wave_decoder.h"

#include <QByteArray>

namespace tolvex {

// What a stream takes: its rate and its channels, of signed 16-bit samples
// in the machine's byte order.
struct StreamFormat {
    static constexpr int kBytesPerSample = 2;

    int sampleRate = 0;
    int channelCount = 0;

    int bytesPerFrame() const { return kBytesPerSample * channelCount; }
    bool isValid() const { return sampleRate > 0 && channelCount > 0; }
};

// The wave in a stream's format: its channel count and, by linear
// interpolation, its sample rate. Empty when there is nothing to render or
// the format cannot hold samples.
QByteArray renderWave(const DecodedWave& wave, const StreamFormat& format);

} // namespace tolvex
