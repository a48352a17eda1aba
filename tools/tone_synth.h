#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tolvex::art {

inline constexpr int kSampleRate = 44100;

// Each pad keeps its pitch in every set, pad 0 first.
inline constexpr std::array<double, 4> kPadPitch = {415.0, 252.0, 209.0, 310.0};

enum class Timbre { Beep, Bell, Organ, Drum };

// One tone, mono 16-bit samples peaking at -3 dBFS, with a fade at both ends.
std::vector<std::int16_t> synthTone(Timbre timbre, double pitch);

// A canonical 44-byte-header PCM WAVE file, mono, 16-bit, kSampleRate.
std::vector<std::uint8_t> wavFile(const std::vector<std::int16_t>& samples);

} // namespace tolvex::art
