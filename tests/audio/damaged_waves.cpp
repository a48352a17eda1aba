#include "damaged_waves.h"

#include "wave_files.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <filesystem>

namespace tolvex::testing {

namespace {

std::vector<char> validWave(const std::string& scratch)
{
    writeSineWave(scratch, 252.0, 0.5);
    return readBytes(scratch);
}

// A valid half-second WAVE with one field of its fmt chunk overwritten.
bool waveWithFmtField(const std::string& p, long offset, std::uint32_t value, int width)
{
    auto bytes = validWave(p);
    const long fmt = findChunk(bytes, "fmt ");
    if (fmt < 0) return false;
    if (width == 2)
        putLe16(bytes, fmt + 8 + offset, static_cast<std::uint16_t>(value));
    else
        putLe32(bytes, fmt + 8 + offset, value);
    return writeBytes(p, bytes);
}

// A valid half-second WAVE cut, or padded with zeros, to newSize(its size) bytes.
bool resizedWave(const std::string& p, std::size_t (*newSize)(std::size_t))
{
    auto bytes = validWave(p);
    bytes.resize(newSize(bytes.size()));
    return writeBytes(p, bytes);
}

} // namespace

const std::vector<DamagedWave>& damagedWaves()
{
    static const std::vector<DamagedWave> cases = {
        {"Missing", [](const std::string&) { return true; }, WaveRefusal::NotAFile},
        {"Directory", [](const std::string& p) { return std::filesystem::create_directory(p); }, WaveRefusal::NotAFile},
        {"Fifo", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }, WaveRefusal::NotAFile},
        {"Empty", [](const std::string& p) { return writeBytes(p, {}); }, WaveRefusal::Empty},
        {"Text",
         [](const std::string& p) {
             const std::string text = "Esto no es un fichero de sonido.\n";
             return writeBytes(p, std::vector<char>(text.begin(), text.end()));
         },
         WaveRefusal::NotWave},
        {"AiffNotWave",
         [](const std::string& p) { return writeSine(p, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 252.0, 0.2); },
         WaveRefusal::NotWave},
        {"HeaderWithoutFrames", [](const std::string& p) { return writeSineWave(p, 252.0, 0.0); }, WaveRefusal::Empty},
        {"TruncatedHalf", [](const std::string& p) { return resizedWave(p, [](std::size_t n) { return n / 2; }); },
         WaveRefusal::Truncated},
        {"TruncatedByOneFrame",
         [](const std::string& p) { return resizedWave(p, [](std::size_t n) { return n - 2; }); },
         WaveRefusal::Truncated},
        {"HugeDataSize",
         [](const std::string& p) {
             auto bytes = validWave(p);
             const long data = findChunk(bytes, "data");
             if (data < 0) return false;
             putLe32(bytes, data + 4, 0x7FFFFFF0u);
             return writeBytes(p, bytes);
         },
         WaveRefusal::Truncated},
        // fmt body: format tag 0, channels 2, sample rate 4, byte rate 8,
        // block align 12, bits 14.
        {"HugeSampleRate", [](const std::string& p) { return waveWithFmtField(p, 4, 0x7FFFFFFFu, 4); },
         WaveRefusal::BadHeader},
        {"SampleRateOneHertz", [](const std::string& p) { return waveWithFmtField(p, 4, 1u, 4); },
         WaveRefusal::BadHeader},
        {"HugeChannelCount", [](const std::string& p) { return waveWithFmtField(p, 2, 0xFFFFu, 2); },
         WaveRefusal::NotWave},
        {"HugeBitsPerSample", [](const std::string& p) { return waveWithFmtField(p, 14, 0xFFFFu, 2); },
         WaveRefusal::NotWave},
        {"NineChannels", [](const std::string& p) { return writeSineWave(p, 252.0, 0.1, 8000, 9); },
         WaveRefusal::BadHeader},
        {"LongerThanTenSeconds", [](const std::string& p) { return writeSineWave(p, 252.0, 10.1, 8000); },
         WaveRefusal::TooLong},
        {"LargerThanSixteenMiB",
         [](const std::string& p) {
             return resizedWave(p, [](std::size_t) { return static_cast<std::size_t>(kMaxWaveFileBytes) + 1; });
         },
         WaveRefusal::TooLarge},
    };
    return cases;
}

} // namespace tolvex::testing
