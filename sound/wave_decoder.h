#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tolvex {

// Limits checked before any sample is decoded, so that a huge or hostile
// file cannot hold up the window.
inline constexpr double kMaxWaveSeconds = 10.0;
inline constexpr std::int64_t kMaxWaveFileBytes = std::int64_t{16} * 1024 * 1024;

// Header values outside these ranges are taken as a damaged file.
inline constexpr int kMinWaveSampleRate = 4000;
inline constexpr int kMaxWaveSampleRate = 192000;
inline constexpr int kMaxWaveChannels = 8;

// A decoded WAVE file: interleaved samples scaled to [-1, 1].
struct DecodedWave {
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;

    std::int64_t frames() const { return channels > 0 ? static_cast<std::int64_t>(samples.size()) / channels : 0; }
};

// Why a file was not decoded.
enum class WaveRefusal {
    None,
    NotAFile,   // missing, a directory, a device or a pipe
    Empty,      // no bytes or no frames
    TooLarge,   // file size over kMaxWaveFileBytes
    NotWave,    // libsndfile cannot open it, or it is another audio format
    BadHeader,  // sample rate or channel count out of range
    TooLong,    // more than kMaxWaveSeconds of audio
    Truncated,  // the data chunk claims more bytes than the file holds
    ReadFailed, // fewer frames read than the header announces
};

const char* waveRefusalName(WaveRefusal refusal);

// Opens and decodes a RIFF WAVE file with libsndfile; an empty result, with
// the reason in *why, when the file cannot be played.
std::optional<DecodedWave> decodeWaveFile(const std::string& path, WaveRefusal* why = nullptr);

} // namespace tolvex
