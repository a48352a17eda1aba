// Whatever bytes lie under a tone's name, loading them either refuses the
// file or yields samples that render into whole frames of every stream
// format the player may open.
#include "wave_decoder.h"
#include "wave_render.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string g_path;

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_tone_loading: %s\n", what);
    std::abort();
}

bool writeFile(const std::uint8_t* data, std::size_t size)
{
    std::FILE* f = std::fopen(g_path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

tolvex::StreamFormat streamFormat(int rate, int channels) { return {rate, channels}; }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // One scratch file per fuzzing process, under the temporary directory.
    const auto dir =
        std::filesystem::temp_directory_path() / ("tolvex-fuzz-" + std::to_string(static_cast<long>(::getpid())));
    std::filesystem::create_directories(dir);
    g_path = (dir / "Beep1.wav").string();
    // libFuzzer ends with exit(): the folder goes with the process.
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::path(g_path).parent_path(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (!writeFile(data, size)) fail("cannot write the scratch file");

    tolvex::WaveRefusal why = tolvex::WaveRefusal::None;
    const auto wave = tolvex::decodeWaveFile(g_path, &why);
    if (!wave) {
        if (why == tolvex::WaveRefusal::None) fail("refused without a reason");
        return 0;
    }
    if (why != tolvex::WaveRefusal::None) fail("decoded but a refusal was reported");
    if (wave->channels < 1 || wave->channels > tolvex::kMaxWaveChannels ||
        wave->sampleRate < tolvex::kMinWaveSampleRate || wave->sampleRate > tolvex::kMaxWaveSampleRate)
        fail("decoded wave has an out-of-range shape");
    if (wave->frames() < 1 || wave->samples.size() % static_cast<std::size_t>(wave->channels) != 0)
        fail("decoded wave has no whole frames");
    if (static_cast<double>(wave->frames()) > tolvex::kMaxWaveSeconds * wave->sampleRate)
        fail("decoded wave is longer than allowed");

    // The shipped tones' stream, the wave's own shape, and a resampling one.
    const tolvex::StreamFormat formats[] = {
        streamFormat(44100, 1),
        streamFormat(wave->sampleRate, wave->channels),
        streamFormat(48000, 2),
    };
    for (const tolvex::StreamFormat& format : formats) {
        const QByteArray pcm = tolvex::renderWave(*wave, format);
        if (pcm.isEmpty() || pcm.size() % format.bytesPerFrame() != 0)
            fail("rendered stream is empty or holds a partial frame");
    }
    return 0;
}
