#include "sound_module.h"

#include <QCoreApplication>
#include <QFile>

#include <dlfcn.h>

#include <cstdio>

namespace tolvex {

namespace {

// Each press then brings the usual warning, as with no audio server.
class NoSound final : public WavePlayer {
public:
    std::int32_t PlayWave(const std::string& /*fileName*/) override { return 0; }
};

} // namespace

std::unique_ptr<WavePlayer> openSoundModule()
{
    const QByteArray path =
        QFile::encodeName(QCoreApplication::applicationDirPath() + QStringLiteral("/tolvex-sound.so"));
    // NODELETE: the player's code stays when the handle is let go below.
    void* module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module == nullptr) {
        std::fprintf(stderr, "tolvex: no sound: %s\n", dlerror());
        return std::make_unique<NoSound>();
    }
    void* entry = dlsym(module, "tolvexMakeWavePlayer");
    if (entry == nullptr) std::fprintf(stderr, "tolvex: no sound: %s\n", dlerror());
    using Make = WavePlayer*();
    std::unique_ptr<WavePlayer> player(entry != nullptr ? reinterpret_cast<Make*>(entry)() : new NoSound);
    dlclose(module);
    return player;
}

} // namespace tolvex
