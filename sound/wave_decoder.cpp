#include "wave_decoder.h"

#include <sndfile.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace tolvex {

namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

// Bytes per sample of the uncompressed encodings; 0 for the others.
int storedSampleWidth(int subtype)
{
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW: return 1;
    case SF_FORMAT_PCM_16: return 2;
    case SF_FORMAT_PCM_24: return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT: return 4;
    case SF_FORMAT_DOUBLE: return 8;
    default: return 0;
    }
}

// libsndfile quietly shortens a data chunk that runs past the end of the
// file; compare the length the chunk declares with what was found instead.
bool dataChunkIsComplete(SNDFILE* file, const SF_INFO& info, std::int64_t fileBytes)
{
    SF_CHUNK_INFO wanted{};
    std::memcpy(wanted.id, "data", 4);
    wanted.id_size = 4;
    SF_CHUNK_ITERATOR* it = sf_get_chunk_iterator(file, &wanted);
    if (it == nullptr) return false;
    SF_CHUNK_INFO found{};
    if (sf_get_chunk_size(it, &found) != SF_ERR_NO_ERROR) return false;
    const std::int64_t declared = found.datalen;

    const int width = storedSampleWidth(info.format & SF_FORMAT_SUBMASK);
    if (width > 0) {
        const std::int64_t present = info.frames * info.channels * width;
        return declared <= present + 1; // +1: the pad byte of an odd-sized chunk
    }
    // Compressed encodings: the chunk at least has to fit behind the
    // smallest possible RIFF, fmt and data headers.
    constexpr std::int64_t kSmallestHeader = 44;
    return declared + kSmallestHeader <= fileBytes;
}

std::optional<DecodedWave> refuse(WaveRefusal reason, WaveRefusal* why)
{
    if (why != nullptr) *why = reason;
    return std::nullopt;
}

} // namespace

const char* waveRefusalName(WaveRefusal refusal)
{
    switch (refusal) {
    case WaveRefusal::None: return "None";
    case WaveRefusal::NotAFile: return "NotAFile";
    case WaveRefusal::Empty: return "Empty";
    case WaveRefusal::TooLarge: return "TooLarge";
    case WaveRefusal::NotWave: return "NotWave";
    case WaveRefusal::BadHeader: return "BadHeader";
    case WaveRefusal::TooLong: return "TooLong";
    case WaveRefusal::Truncated: return "Truncated";
    case WaveRefusal::ReadFailed: return "ReadFailed";
    }
    return "?";
}

std::optional<DecodedWave> decodeWaveFile(const std::string& path, WaveRefusal* why)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    // Only regular files: opening a pipe or a device could block.
    if (!fs::is_regular_file(fs::status(path, ec)) || ec) return refuse(WaveRefusal::NotAFile, why);
    const auto size = fs::file_size(path, ec);
    if (ec) return refuse(WaveRefusal::NotAFile, why);
    if (size == 0) return refuse(WaveRefusal::Empty, why);
    if (size > static_cast<std::uintmax_t>(kMaxWaveFileBytes)) return refuse(WaveRefusal::TooLarge, why);

    SF_INFO info{};
    SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) return refuse(WaveRefusal::NotWave, why);
    const int major = info.format & SF_FORMAT_TYPEMASK;
    if (major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX) return refuse(WaveRefusal::NotWave, why);
    if (info.channels < 1 || info.channels > kMaxWaveChannels || info.samplerate < kMinWaveSampleRate ||
        info.samplerate > kMaxWaveSampleRate)
        return refuse(WaveRefusal::BadHeader, why);
    if (info.frames <= 0) return refuse(WaveRefusal::Empty, why);
    if (static_cast<double>(info.frames) > kMaxWaveSeconds * info.samplerate) return refuse(WaveRefusal::TooLong, why);
    if (!dataChunkIsComplete(file.get(), info, static_cast<std::int64_t>(size)))
        return refuse(WaveRefusal::Truncated, why);

    DecodedWave wave;
    wave.sampleRate = info.samplerate;
    wave.channels = info.channels;
    wave.samples.resize(static_cast<std::size_t>(info.frames) * info.channels);
    sf_command(file.get(), SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    const sf_count_t read = sf_readf_float(file.get(), wave.samples.data(), info.frames);
    if (read != info.frames || sf_error(file.get()) != SF_ERR_NO_ERROR) return refuse(WaveRefusal::ReadFailed, why);

    if (why != nullptr) *why = WaveRefusal::None;
    return wave;
}

} // namespace tolvex
