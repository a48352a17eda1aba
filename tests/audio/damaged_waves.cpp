#include "damaged_waves.h"

#include "wave_files.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <filesystem>

namespace tolvex::testing {

namespace {

std::vector<char> ValidWave(const std::string& scratch)
{
    WriteSineWave(scratch, 252.0, 0.5);
    return ReadBytes(scratch);
}

// A valid half-second WAVE with one field of its fmt chunk overwritten.
bool WaveWithFmtField(const std::string& p, long offset, std::uint32_t value, int width)
{
    auto bytes = ValidWave(p);
    const long fmt = FindChunk(bytes, "fmt ");
    if (fmt < 0) return false;
    if (width == 2)
        PutLe16(bytes, fmt + 8 + offset, static_cast<std::uint16_t>(value));
    else
        PutLe32(bytes, fmt + 8 + offset, value);
    return WriteBytes(p, bytes);
}

} // namespace

const std::vector<DamagedWave>& DamagedWaves()
{
    static const std::vector<DamagedWave> cases = {
        {"Missing", [](const std::string&) { return true; }, WaveRefusal::NotAFile},
        {"Directory", [](const std::string& p) { return std::filesystem::create_directory(p); }, WaveRefusal::NotAFile},
        {"Fifo", [](const std::string& p) { return ::mkfifo(p.c_str(), 0600) == 0; }, WaveRefusal::NotAFile},
        {"Empty", [](const std::string& p) { return WriteBytes(p, {}); }, WaveRefusal::Empty},
        {"Text",
         [](const std::string& p) {
             const std::string text = "Esto no es un fichero de sonido.\n";
             return WriteBytes(p, std::vector<char>(text.begin(), text.end()));
         },
         WaveRefusal::NotWave},
        {"AiffNotWave",
         [](const std::string& p) { return WriteSine(p, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 252.0, 0.2); },
         WaveRefusal::NotWave},
        {"HeaderWithoutFrames", [](const std::string& p) { return WriteSineWave(p, 252.0, 0.0); }, WaveRefusal::Empty},
        {"TruncatedHalf",
         [](const std::string& p) {
             auto bytes = ValidWave(p);
             bytes.resize(bytes.size() / 2);
             return WriteBytes(p, bytes);
         },
         WaveRefusal::Truncated},
        {"TruncatedByOneFrame",
         [](const std::string& p) {
             auto bytes = ValidWave(p);
             bytes.resize(bytes.size() - 2);
             return WriteBytes(p, bytes);
         },
         WaveRefusal::Truncated},
        {"HugeDataSize",
         [](const std::string& p) {
             auto bytes = ValidWave(p);
             const long data = FindChunk(bytes, "data");
             if (data < 0) return false;
             PutLe32(bytes, data + 4, 0x7FFFFFF0u);
             return WriteBytes(p, bytes);
         },
         WaveRefusal::Truncated},
        // fmt body: format tag 0, channels 2, sample rate 4, byte rate 8,
        // block align 12, bits 14.
        {"HugeSampleRate", [](const std::string& p) { return WaveWithFmtField(p, 4, 0x7FFFFFFFu, 4); },
         WaveRefusal::BadHeader},
        {"SampleRateOneHertz", [](const std::string& p) { return WaveWithFmtField(p, 4, 1u, 4); },
         WaveRefusal::BadHeader},
        {"HugeChannelCount", [](const std::string& p) { return WaveWithFmtField(p, 2, 0xFFFFu, 2); },
         WaveRefusal::NotWave},
        {"HugeBitsPerSample", [](const std::string& p) { return WaveWithFmtField(p, 14, 0xFFFFu, 2); },
         WaveRefusal::NotWave},
        {"NineChannels", [](const std::string& p) { return WriteSineWave(p, 252.0, 0.1, 8000, 9); },
         WaveRefusal::BadHeader},
        {"LongerThanTenSeconds", [](const std::string& p) { return WriteSineWave(p, 252.0, 10.1, 8000); },
         WaveRefusal::TooLong},
        {"LargerThanSixteenMiB",
         [](const std::string& p) {
             auto bytes = ValidWave(p);
             bytes.resize(static_cast<std::size_t>(kMaxWaveFileBytes) + 1, '\0');
             return WriteBytes(p, bytes);
         },
         WaveRefusal::TooLarge},
    };
    return cases;
}

} // namespace tolvex::testing
