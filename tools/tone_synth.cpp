#include "tone_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tolvex::art {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kPeakLevel = 0.70794578; // -3 dBFS

// Fixed-seed xorshift, so the drum's noise is the same on every run.
class Noise {
public:
    double next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return static_cast<double>(m_state) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t m_state = 0x2545F491u;
};

struct Partial {
    double ratio; // of the pitch
    double amplitude;
    double decay; // seconds to fall by 1/e; 0 = steady
};

std::vector<double> additive(double pitch, double seconds, const std::vector<Partial>& partials)
{
    const int n = static_cast<int>(std::lround(seconds * kSampleRate));
    std::vector<double> out(n, 0.0);
    for (const Partial& p : partials) {
        const double step = kTwoPi * pitch * p.ratio / kSampleRate;
        for (int i = 0; i < n; ++i) {
            const double t = static_cast<double>(i) / kSampleRate;
            const double env = p.decay > 0 ? std::exp(-t / p.decay) : 1.0;
            out[i] += p.amplitude * env * std::sin(step * i);
        }
    }
    return out;
}

// Band-limited square: odd harmonics only, amplitudes 1/n as in a square wave.
std::vector<double> beep(double pitch)
{
    return additive(pitch, 0.350, {{1, 1.0, 0}, {3, 1.0 / 3, 0}, {5, 1.0 / 5, 0}, {7, 1.0 / 7, 0}});
}

// Struck bell: hum, minor third, fifth, nominal and two upper partials around a long fundamental.
std::vector<double> bell(double pitch)
{
    return additive(pitch, 0.450,
                    {{1.0, 1.0, 0.50},
                     {0.5, 0.20, 0.30},
                     {1.19, 0.45, 0.16},
                     {1.51, 0.30, 0.12},
                     {2.0, 0.35, 0.09},
                     {2.74, 0.25, 0.05},
                     {3.76, 0.15, 0.03}});
}

// Tonewheel organ registration 6-8-4-6-3-0-2-0-2 (16' up to 1'): steady harmonics.
std::vector<double> organ(double pitch)
{
    return additive(pitch, 0.400,
                    {{0.5, 0.30, 0},
                     {1.0, 1.0, 0},
                     {1.5, 0.15, 0},
                     {2.0, 0.45, 0},
                     {3.0, 0.20, 0},
                     {5.0, 0.10, 0},
                     {8.0, 0.10, 0}});
}

// Tuned drum: the head's pitch starts high and settles onto the note within a few
// tens of milliseconds, over a short noise burst for the stick.
std::vector<double> drum(double pitch)
{
    const int n = static_cast<int>(std::lround(0.300 * kSampleRate));
    std::vector<double> out(n, 0.0);
    Noise noise;
    double phase = 0.0, overtonePhase = 0.0, previousNoise = 0.0;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double f = pitch * (1.0 + 0.5 * std::exp(-t / 0.008));
        phase += kTwoPi * f / kSampleRate;
        overtonePhase += kTwoPi * 1.59 * f / kSampleRate;
        const double body = std::exp(-t / 0.09) * std::sin(phase);
        const double overtone = 0.25 * std::exp(-t / 0.04) * std::sin(overtonePhase);
        const double white = noise.next();
        // First difference tilts the noise towards the top, like a stick click.
        const double click = 0.35 * std::exp(-t / 0.012) * (white - previousNoise) * 0.5;
        previousNoise = white;
        out[i] = body + overtone + click;
    }
    return out;
}

// Raised-cosine fades at both ends, so playback never starts or stops with a click.
void fade(std::vector<double>& s, double inSeconds, double outSeconds)
{
    const int in = static_cast<int>(std::lround(inSeconds * kSampleRate));
    const int out = static_cast<int>(std::lround(outSeconds * kSampleRate));
    const int n = static_cast<int>(s.size());
    for (int i = 0; i < in && i < n; ++i) s[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / in);
    for (int i = 0; i < out && i < n; ++i) s[n - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / out);
}

} // namespace

std::vector<std::int16_t> synthTone(Timbre timbre, double pitch)
{
    std::vector<double> s;
    switch (timbre) {
    case Timbre::Beep:
        s = beep(pitch);
        fade(s, 0.005, 0.025);
        break;
    case Timbre::Bell:
        s = bell(pitch);
        fade(s, 0.002, 0.040);
        break;
    case Timbre::Organ:
        s = organ(pitch);
        fade(s, 0.010, 0.030);
        break;
    case Timbre::Drum:
        s = drum(pitch);
        fade(s, 0.001, 0.030);
        break;
    }
    double peak = 0.0;
    for (double v : s) peak = std::max(peak, std::abs(v));
    const double gain = kPeakLevel * 32767.0 / peak;
    std::vector<std::int16_t> out(s.size());
    std::transform(s.begin(), s.end(), out.begin(),
                   [gain](double v) { return static_cast<std::int16_t>(std::lround(v * gain)); });
    return out;
}

std::vector<std::uint8_t> wavFile(const std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> out;
    auto text = [&](const char* s) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(s[i]));
    };
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    text("RIFF");
    u32(36 + dataBytes);
    text("WAVE");
    text("fmt ");
    u32(16);
    u16(1); // PCM
    u16(1); // mono
    u32(kSampleRate);
    u32(kSampleRate * 2);
    u16(2);
    u16(16);
    text("data");
    u32(dataBytes);
    for (std::int16_t v : samples) u16(static_cast<std::uint16_t>(v));
    return out;
}

} // namespace tolvex::art
