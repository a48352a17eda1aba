#pragma once

// Measurements on recorded 16-bit mono audio.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolvex::testing {

using Samples = std::vector<std::int16_t>;

// Amplitude (0..1 of full scale) of the component at `hz` in
// samples[begin, begin + count), Hann-windowed.
double toneLevel(const Samples& s, std::size_t begin, std::size_t count, int rate, double hz);

// Frequency of the strongest component between `lowHz` and `highHz`.
double dominantFrequency(const Samples& s, std::size_t begin, std::size_t count, int rate, double lowHz = 60.0,
                         double highHz = 2000.0);

// The dominant frequencies of five equal consecutive parts of the span.
std::array<double, 5> partFrequencies(const Samples& s, std::size_t begin, std::size_t count, int rate);

// The median of the dominant frequencies of five equal consecutive parts: a
// gap or skip in a recording moves one part's peak, not the median.
double steadyFrequency(const Samples& s, std::size_t begin, std::size_t count, int rate);

// Index of the first sample at or after `from` whose magnitude exceeds
// `threshold`, or -1.
long firstLoudSample(const Samples& s, std::size_t from, int threshold);

int peakMagnitude(const Samples& s, std::size_t begin, std::size_t count);

} // namespace tolvex::testing
