// Writes the sixteen pad tones, four sets of four, into ASSETS_DIR/tones.
#include "gif_writer.h"
#include "tone_files.h"
#include "tone_synth.h"

#include <cstdio>
#include <filesystem>
#include <string>

using namespace tolvex::art;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ASSETS_DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir = std::filesystem::path(argv[1]) / "tones";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "cannot create %s\n", dir.string().c_str());
        return 1;
    }
    constexpr Timbre kTimbres[] = {Timbre::Beep, Timbre::Bell, Timbre::Organ, Timbre::Drum};
    // Named as the game names the files it looks for.
    const tolvex::SoundNaming naming = tolvex::shippedNaming(dir.string() + "/");
    bool ok = true;
    for (int set = 0; set < 4; ++set) {
        for (int pad = 0; pad < 4; ++pad) {
            const std::string path = tolvex::toneFileName(naming, set + 1, pad);
            if (!writeFile(path, wavFile(synthTone(kTimbres[set], kPadPitch[pad])))) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                ok = false;
            }
        }
    }
    return ok ? 0 : 1;
}
