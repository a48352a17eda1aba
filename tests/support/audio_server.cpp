#include "audio_server.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace tolvex::testing {

void useRecordedAudioServer()
{
    const char* state = std::getenv("TOLVEX_AUDIO_STATE");
    if (state == nullptr || *state == '\0') return;
    std::ifstream file(std::string(state) + "/address");
    std::string address;
    if (!std::getline(file, address) || address.empty()) {
        std::fprintf(stderr, "no audio server address in %s/address: did its start script run?\n", state);
        std::exit(1);
    }
    setenv("PULSE_SERVER", address.c_str(), 1);
}

} // namespace tolvex::testing
