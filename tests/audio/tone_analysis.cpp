#include "tone_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace tolvex::testing {

namespace {

// The Hann-windowed span, scaled to full scale 1.
struct Windowed {
    std::vector<double> x;
    double windowSum = 0.0;
};

Windowed windowed(const Samples& s, std::size_t begin, std::size_t count)
{
    Windowed w;
    if (begin >= s.size()) return w;
    count = std::min(count, s.size() - begin);
    if (count < 2) return w;
    w.x.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / (count - 1));
        w.x[i] = hann * s[begin + i] / 32768.0;
        w.windowSum += hann;
    }
    return w;
}

// Goertzel filter at one frequency.
double levelAt(const Windowed& w, int rate, double hz)
{
    if (w.x.empty()) return 0.0;
    const double coeff = 2.0 * std::cos(2.0 * std::numbers::pi * hz / rate);
    double prev = 0.0;
    double prev2 = 0.0;
    for (double x : w.x) {
        const double next = x + coeff * prev - prev2;
        prev2 = prev;
        prev = next;
    }
    const double power = prev * prev + prev2 * prev2 - coeff * prev * prev2;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / w.windowSum;
}

} // namespace

double toneLevel(const Samples& s, std::size_t begin, std::size_t count, int rate, double hz)
{
    return levelAt(windowed(s, begin, count), rate, hz);
}

double dominantFrequency(const Samples& s, std::size_t begin, std::size_t count, int rate, double lowHz, double highHz)
{
    const Windowed w = windowed(s, begin, count);
    // Coarse scan, then a fine one around the best coarse frequency.
    auto best = [&](double from, double to, double step) {
        double bestHz = from;
        double bestLevel = -1.0;
        for (double hz = from; hz <= to; hz += step) {
            const double level = levelAt(w, rate, hz);
            if (level > bestLevel) {
                bestLevel = level;
                bestHz = hz;
            }
        }
        return bestHz;
    };
    const double coarse = best(lowHz, highHz, 2.0);
    return best(std::max(lowHz, coarse - 2.0), std::min(highHz, coarse + 2.0), 0.05);
}

std::array<double, 5> partFrequencies(const Samples& s, std::size_t begin, std::size_t count, int rate)
{
    std::array<double, 5> hz{};
    const std::size_t part = count / hz.size();
    for (std::size_t i = 0; i < hz.size(); ++i) hz[i] = dominantFrequency(s, begin + i * part, part, rate);
    return hz;
}

double steadyFrequency(const Samples& s, std::size_t begin, std::size_t count, int rate)
{
    std::array<double, 5> hz = partFrequencies(s, begin, count, rate);
    std::nth_element(hz.begin(), hz.begin() + 2, hz.end());
    return hz[2];
}

long firstLoudSample(const Samples& s, std::size_t from, int threshold)
{
    for (std::size_t i = from; i < s.size(); ++i)
        if (std::abs(static_cast<int>(s[i])) > threshold) return static_cast<long>(i);
    return -1;
}

int peakMagnitude(const Samples& s, std::size_t begin, std::size_t count)
{
    int peak = 0;
    for (std::size_t i = begin; i < std::min(s.size(), begin + count); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(s[i])));
    return peak;
}

} // namespace tolvex::testing
