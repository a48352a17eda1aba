#include "wave_files.h"

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>

namespace tolvex::testing {

bool writeSine(const std::string& path, int format, double hz, double seconds, int sampleRate, int channels)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    const auto frames = static_cast<sf_count_t>(std::llround(seconds * sampleRate));
    std::vector<float> block(static_cast<std::size_t>(4096 * channels));
    sf_count_t done = 0;
    bool ok = true;
    while (done < frames && ok) {
        const sf_count_t n = std::min<sf_count_t>(4096, frames - done);
        for (sf_count_t i = 0; i < n; ++i) {
            const double t = static_cast<double>(done + i) / sampleRate;
            const auto v = static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * hz * t));
            for (int c = 0; c < channels; ++c) block[static_cast<std::size_t>(i * channels + c)] = v;
        }
        ok = sf_writef_float(file, block.data(), n) == n;
        done += n;
    }
    return sf_close(file) == 0 && ok;
}

bool writeSineWave(const std::string& path, double hz, double seconds, int sampleRate, int channels, int subformat)
{
    return writeSine(path, SF_FORMAT_WAV | (subformat != 0 ? subformat : SF_FORMAT_PCM_16), hz, seconds, sampleRate,
                     channels);
}

std::vector<char> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

long findChunk(const std::vector<char>& bytes, const char id[4])
{
    // Chunks follow the 12-byte RIFF/WAVE preamble, each an id, a size and
    // the body padded to an even length.
    std::size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        if (std::memcmp(bytes.data() + pos, id, 4) == 0) return static_cast<long>(pos);
        std::uint32_t size = 0;
        for (int i = 3; i >= 0; --i)
            size = (size << 8) | static_cast<unsigned char>(bytes[pos + 4 + static_cast<std::size_t>(i)]);
        pos += 8 + size + (size & 1u);
    }
    return -1;
}

void putLe16(std::vector<char>& bytes, long offset, std::uint16_t value)
{
    for (int i = 0; i < 2; ++i)
        bytes[static_cast<std::size_t>(offset + i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putLe32(std::vector<char>& bytes, long offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(offset + i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace tolvex::testing
