// Writes the fuzzer's seeds into the folder named on the command line:
// short tones in every WAVE encoding the decoder takes, and the damaged
// files the decoder tests refuse, as far as they are small regular files.
#include "damaged_waves.h"
#include "wave_files.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>
#include <string>

using namespace tolvex::testing;
namespace fs = std::filesystem;

namespace {

// Larger seeds only slow the fuzzer down; the limits are checked by size
// and header alone.
constexpr std::uintmax_t kMaxSeedBytes = 64 * 1024;

struct Encoding {
    const char* name;
    int format;
    int sampleRate;
    int channels;
};

constexpr Encoding kEncodings[] = {
    {"pcm16-mono-44k", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1},
    {"pcm24-stereo-48k", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2},
    {"pcm32-mono-22k", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 22050, 1},
    {"u8-mono-8k", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8000, 1},
    {"float-stereo-44k", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 2},
    {"double-mono-16k", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 16000, 1},
    {"ulaw-mono-8k", SF_FORMAT_WAV | SF_FORMAT_ULAW, 8000, 1},
    {"alaw-mono-8k", SF_FORMAT_WAV | SF_FORMAT_ALAW, 8000, 1},
    {"ima-adpcm-mono-44k", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 44100, 1},
    {"ms-adpcm-stereo-22k", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 22050, 2},
    {"gsm610-mono-8k", SF_FORMAT_WAV | SF_FORMAT_GSM610, 8000, 1},
    {"wavex-pcm16-8ch-8k", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 8000, 8},
    {"wavex-float-mono-192k", SF_FORMAT_WAVEX | SF_FORMAT_FLOAT, 192000, 1},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s SEED_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[1];
    std::error_code ec;
    fs::remove_all(out, ec);
    fs::create_directories(out);

    int written = 0;
    for (const Encoding& e : kEncodings) {
        const std::string path = (out / (std::string(e.name) + ".wav")).string();
        if (!writeSine(path, e.format, 415.0, 0.05, e.sampleRate, e.channels)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        ++written;
    }

    const fs::path scratch = out / "scratch";
    for (const DamagedWave& damaged : damagedWaves()) {
        fs::remove_all(scratch, ec);
        if (!damaged.make(scratch.string())) continue;
        if (!fs::is_regular_file(fs::symlink_status(scratch, ec)) || fs::file_size(scratch, ec) > kMaxSeedBytes)
            continue;
        fs::rename(scratch, out / ("damaged-" + std::string(damaged.label) + ".wav"));
        ++written;
    }
    fs::remove_all(scratch, ec);
    std::printf("%d seeds in %s\n", written, out.c_str());
    return 0;
}
