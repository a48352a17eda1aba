// The sixteen committed tones: format, length, clean ends, level, pitch per pad and timbre per set.
#include "tone_files.h"

#include <sndfile.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const std::string kToneDir = std::string(TOLVEX_ASSETS_DIR) + "/tones/";

using tolvex::kSoundStems;
constexpr std::array<double, 4> kPitch = {415.0, 252.0, 209.0, 310.0}; // by pad

struct Tone {
    SF_INFO info{};
    std::vector<double> samples; // -1..1
};

Tone load(const std::string& name)
{
    Tone tone;
    SNDFILE* file = sf_open((kToneDir + name).c_str(), SFM_READ, &tone.info);
    if (!file) {
        ADD_FAILURE() << name << ": " << sf_strerror(nullptr);
        return tone;
    }
    tone.samples.resize(static_cast<std::size_t>(tone.info.frames * tone.info.channels));
    sf_read_double(file, tone.samples.data(), static_cast<sf_count_t>(tone.samples.size()));
    sf_close(file);
    return tone;
}

// The names the game looks the tones up by.
const tolvex::SoundNaming kNaming = tolvex::shippedNaming();

std::string fileName(int set, int pad) { return tolvex::toneFileName(kNaming, set + 1, pad); }

// Magnitude spectrum of the Hann-windowed signal zero-padded to 2^17 points (0.34 Hz per bin).
class Spectrum {
public:
    static constexpr int kSize = 1 << 17;

    explicit Spectrum(const std::vector<double>& s) : m_bins(kSize)
    {
        std::vector<std::complex<double>> a(kSize);
        const std::size_t n = std::min<std::size_t>(s.size(), kSize);
        for (std::size_t i = 0; i < n; ++i) a[i] = s[i] * (0.5 - 0.5 * std::cos(2 * M_PI * i / (n - 1)));
        fft(a);
        for (int i = 0; i < kSize / 2; ++i) m_bins[i] = std::abs(a[i]);
    }

    double hzPerBin(double rate) const { return rate / kSize; }

    // Frequency of the strongest peak between lo and hi Hz, refined by a parabola through the log magnitudes.
    double peak(double rate, double lo, double hi) const
    {
        const int a = static_cast<int>(lo / hzPerBin(rate)), b = static_cast<int>(hi / hzPerBin(rate));
        int best = a;
        for (int i = a; i <= b; ++i)
            if (m_bins[i] > m_bins[best]) best = i;
        const double l = std::log(m_bins[best - 1]), c = std::log(m_bins[best]), r = std::log(m_bins[best + 1]);
        const double shift = 0.5 * (l - r) / (l - 2 * c + r);
        return (best + shift) * hzPerBin(rate);
    }

    double strongest(double rate, double lo, double hi) const
    {
        double m = 0;
        for (int i = static_cast<int>(lo / hzPerBin(rate)); i <= static_cast<int>(hi / hzPerBin(rate)); ++i)
            m = std::max(m, m_bins[i]);
        return m;
    }

    double energy(double rate, double lo, double hi) const
    {
        double e = 0;
        for (int i = static_cast<int>(lo / hzPerBin(rate));
             i <= std::min(kSize / 2 - 1, static_cast<int>(hi / hzPerBin(rate))); ++i)
            e += m_bins[i] * m_bins[i];
        return e;
    }

private:
    static void fft(std::vector<std::complex<double>>& a)
    {
        const std::size_t n = a.size();
        for (std::size_t i = 1, j = 0; i < n; ++i) {
            std::size_t bit = n >> 1;
            for (; j & bit; bit >>= 1) j ^= bit;
            j ^= bit;
            if (i < j) std::swap(a[i], a[j]);
        }
        for (std::size_t len = 2; len <= n; len <<= 1) {
            const std::complex<double> w = std::polar(1.0, -2 * M_PI / len);
            for (std::size_t i = 0; i < n; i += len) {
                std::complex<double> wk = 1;
                for (std::size_t k = 0; k < len / 2; ++k) {
                    const auto u = a[i + k], v = a[i + k + len / 2] * wk;
                    a[i + k] = u + v;
                    a[i + k + len / 2] = u - v;
                    wk *= w;
                }
            }
        }
    }

    std::vector<double> m_bins;
};

double rms(const std::vector<double>& s, double from, double to)
{
    const auto a = static_cast<std::size_t>(from * s.size()), b = static_cast<std::size_t>(to * s.size());
    double e = 0;
    for (std::size_t i = a; i < b; ++i) e += s[i] * s[i];
    return std::sqrt(e / (b - a));
}

class ToneFile : public ::testing::TestWithParam<std::tuple<int, int>> {};

// Every tone is a 44.1 kHz mono 16-bit PCM WAVE of 300 to 450 ms.
TEST_P(ToneFile, isShortMonoSixteenBitPcmAt44100)
{
    const auto [set, pad] = GetParam();
    const Tone tone = load(fileName(set, pad));
    EXPECT_EQ(tone.info.samplerate, 44100);
    EXPECT_EQ(tone.info.channels, 1);
    EXPECT_EQ(tone.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const double ms = 1000.0 * tone.info.frames / 44100.0;
    EXPECT_GE(ms, 300.0);
    EXPECT_LE(ms, 450.0);
}

// Fades at both ends: playback starts and stops without a click; the peak sits near -3 dBFS.
TEST_P(ToneFile, startsAndEndsNearSilenceAndPeaksNearMinusThreeDecibels)
{
    const auto [set, pad] = GetParam();
    const Tone tone = load(fileName(set, pad));
    ASSERT_GT(tone.samples.size(), 100u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_LT(std::abs(tone.samples[i]), 0.01) << "sample " << i;
        EXPECT_LT(std::abs(tone.samples[tone.samples.size() - 1 - i]), 0.01) << "sample -" << i + 1;
    }
    double peak = 0;
    for (double v : tone.samples) peak = std::max(peak, std::abs(v));
    const double dbfs = 20 * std::log10(peak);
    EXPECT_NEAR(dbfs, -3.0, 0.5);
}

// Whatever the set, a pad sounds its own pitch: the strongest spectral peak lies within 2 % of it.
TEST_P(ToneFile, dominantFrequencyIsThePadsPitch)
{
    const auto [set, pad] = GetParam();
    const Tone tone = load(fileName(set, pad));
    ASSERT_FALSE(tone.samples.empty());
    const double measured = Spectrum(tone.samples).peak(44100, 40, 8000);
    RecordProperty("measured_hz", std::to_string(measured));
    std::printf("%-13s %7.2f Hz (pad pitch %.0f Hz, %+.2f %%)\n", fileName(set, pad).c_str(), measured, kPitch[pad],
                100.0 * (measured / kPitch[pad] - 1));
    EXPECT_NEAR(measured, kPitch[pad], 0.02 * kPitch[pad]);
}

INSTANTIATE_TEST_SUITE_P(AllTones, ToneFile, ::testing::Combine(::testing::Range(0, 4), ::testing::Range(0, 4)),
                         [](const auto& info) {
                             return std::string(kSoundStems[std::get<0>(info.param)]) +
                                    std::to_string(std::get<1>(info.param) + 1);
                         });

// A tone's character, independent of its pitch.
struct Timbre {
    double sustain;     // loudness late in the tone against early on
    double second;      // 2nd harmonic against the fundamental
    double third;       // 3rd harmonic against the fundamental
    double offHarmonic; // energy between the harmonics against the energy on them
};

Timbre timbreOf(const Tone& tone, double f)
{
    const Spectrum spectrum(tone.samples);
    const double fundamental = spectrum.strongest(44100, 0.98 * f, 1.02 * f);
    double on = 0, off = 0;
    for (int h = 1; h <= 8; ++h) {
        on += spectrum.energy(44100, (h - 0.03) * f, (h + 0.03) * f);
        off += spectrum.energy(44100, (h + 0.1) * f, (h + 0.9) * f);
    }
    return {rms(tone.samples, 0.55, 0.8) / rms(tone.samples, 0.05, 0.3),
            spectrum.strongest(44100, 1.98 * f, 2.02 * f) / fundamental,
            spectrum.strongest(44100, 2.97 * f, 3.03 * f) / fundamental, off / on};
}

// Each set has its own character, told apart at the same pitch by the measures above.
TEST(ToneSets, haveDistinctTimbres)
{
    struct Expect {
        const char* what;
        bool (*holds)(const Timbre&);
    };
    // Beep: steady, odd harmonics only. Campana: rings on while dying away, partials between
    // the harmonics. Ham: steady, with a strong octave. Ram: dies away fast.
    const std::array<Expect, 4> expected = {{
        {"steady square",
         [](const Timbre& t) { return t.sustain > 0.9 && t.second < 0.05 && t.third > 0.2 && t.offHarmonic < 0.01; }},
        {"ringing bell", [](const Timbre& t) { return t.sustain > 0.5 && t.sustain < 0.85 && t.offHarmonic > 0.03; }},
        {"steady organ", [](const Timbre& t) { return t.sustain > 0.9 && t.second > 0.25; }},
        {"struck drum", [](const Timbre& t) { return t.sustain < 0.35; }},
    }};
    for (int pad = 0; pad < 4; ++pad) {
        for (int set = 0; set < 4; ++set) {
            const Timbre t = timbreOf(load(fileName(set, pad)), kPitch[pad]);
            std::printf("%-13s sustain %.3f  2nd %.3f  3rd %.3f  off-harmonic %.4f\n", fileName(set, pad).c_str(),
                        t.sustain, t.second, t.third, t.offHarmonic);
            EXPECT_TRUE(expected[set].holds(t))
                << fileName(set, pad) << " is not a " << expected[set].what << ": sustain " << t.sustain << ", 2nd "
                << t.second << ", 3rd " << t.third << ", off-harmonic " << t.offHarmonic;
            for (int other = 0; other < 4; ++other) {
                if (other != set) {
                    EXPECT_FALSE(expected[other].holds(t))
                        << fileName(set, pad) << " also passes for a " << expected[other].what;
                }
            }
        }
    }
}

} // namespace
