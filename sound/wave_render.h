#pragma once

#include "wave_decoder.h"

#include <QByteArray>

namespace tolvex {

enum class SampleFormat { Unknown, UInt8, Int16, Int32, Float };

// What a stream takes: its rate, its channels and its samples' encoding.
struct StreamFormat {
    int sampleRate = 0;
    int channelCount = 0;
    SampleFormat sampleFormat = SampleFormat::Unknown;

    int bytesPerSample() const
    {
        switch (sampleFormat) {
        case SampleFormat::UInt8: return 1;
        case SampleFormat::Int16: return 2;
        case SampleFormat::Int32:
        case SampleFormat::Float: return 4;
        case SampleFormat::Unknown: break;
        }
        return 0;
    }
    int bytesPerFrame() const { return bytesPerSample() * channelCount; }
    bool isValid() const { return sampleRate > 0 && channelCount > 0 && sampleFormat != SampleFormat::Unknown; }
};

// The wave in a stream's format: its channel count, its sample format and,
// by linear interpolation, its sample rate. Empty when there is nothing to
// render or the format cannot hold samples.
QByteArray renderWave(const DecodedWave& wave, const StreamFormat& format);

} // namespace tolvex
