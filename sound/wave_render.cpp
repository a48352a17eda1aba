#include "wave_render.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tolvex {

namespace {

// Full scale at most, and silence for what is not a number; done before
// interpolating, so that one wild sample cannot spoil its neighbours.
float clip(float x) { return std::isnan(x) ? 0.0f : std::clamp(x, -1.0f, 1.0f); }

float sampleAt(const DecodedWave& wave, std::int64_t frame, int channel, int outChannels)
{
    const float* f = wave.samples.data() + frame * wave.channels;
    if (wave.channels == outChannels) return f[channel];
    if (wave.channels == 1) return f[0];
    if (channel < wave.channels && outChannels > 1) return f[channel];
    float sum = 0.0f;
    for (int c = 0; c < wave.channels; ++c) sum += f[c];
    return sum / static_cast<float>(wave.channels);
}

// `x` is already within full scale: the samples were clipped before they
// were interpolated.
void store(float x, char* out)
{
    const auto v = static_cast<std::int16_t>(std::clamp(std::lrint(x * 32768.0f), -32768L, 32767L));
    std::memcpy(out, &v, sizeof v);
}

} // namespace

QByteArray renderWave(const DecodedWave& wave, const StreamFormat& format)
{
    if (wave.channels < 1 || wave.sampleRate < 1 || wave.frames() < 1 || !format.isValid()) return {};
    const int outChannels = format.channelCount;
    const int bytesPerSample = StreamFormat::kBytesPerSample;
    const std::int64_t inFrames = wave.frames();
    const double step = static_cast<double>(wave.sampleRate) / format.sampleRate;
    const std::int64_t outFrames = wave.sampleRate == format.sampleRate
                                       ? inFrames
                                       : static_cast<std::int64_t>(std::ceil(static_cast<double>(inFrames) / step));

    QByteArray out(static_cast<qsizetype>(outFrames * outChannels * bytesPerSample), Qt::Uninitialized);
    char* p = out.data();
    for (std::int64_t i = 0; i < outFrames; ++i) {
        const double pos = static_cast<double>(i) * step;
        const auto i0 = std::min(static_cast<std::int64_t>(pos), inFrames - 1);
        const auto i1 = std::min(i0 + 1, inFrames - 1);
        const float t = static_cast<float>(pos - static_cast<double>(i0));
        for (int c = 0; c < outChannels; ++c) {
            const float a = clip(sampleAt(wave, i0, c, outChannels));
            const float b = clip(sampleAt(wave, i1, c, outChannels));
            store(a + (b - a) * t, p);
            p += bytesPerSample;
        }
    }
    return out;
}

} // namespace tolvex
