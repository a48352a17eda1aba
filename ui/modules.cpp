#include "modules.h"

#include "module_build.h"

#include <QCoreApplication>
#include <QFile>

#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace tolvex {

namespace {

// Each press then brings the usual warning, as with no audio server.
class NoSound final : public WavePlayer {
public:
    std::int32_t PlayWave(const std::string& /*fileName*/) override { return 0; }
};

// What `entry` of the module `file` makes, or null after one line that
// starts with `without`.
template <typename T> T* make(const QString& dir, const char* file, const char* entry, const char* without)
{
    const QByteArray path = QFile::encodeName(dir + QLatin1Char('/') + QLatin1String(file));
    void* module = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        std::fprintf(stderr, "tolvex: %s: %s\n", without, dlerror());
        return nullptr;
    }
    const auto* build = static_cast<const char*>(dlsym(module, "tolvexModuleBuild"));
    if (build == nullptr || std::strcmp(build, TOLVEX_BUILD_ID) != 0) {
        std::fprintf(stderr, "tolvex: %s: %s comes from another build of the game\n", without, path.constData());
        dlclose(module);
        return nullptr;
    }
    void* symbol = dlsym(module, entry);
    if (symbol == nullptr) {
        std::fprintf(stderr, "tolvex: %s: %s\n", without, dlerror());
        dlclose(module);
        return nullptr;
    }
    using Make = T*();
    // The handle is kept on purpose: the object's code lives in the module.
    // cppcheck-suppress resourceLeak
    return reinterpret_cast<Make*>(symbol)();
}

} // namespace

QString moduleDirectory() { return QCoreApplication::applicationDirPath(); }

std::unique_ptr<WavePlayer> openSoundModule(const QString& dir)
{
    std::unique_ptr<WavePlayer> player(make<WavePlayer>(dir, "tolvex-sound.so", "tolvexMakeWavePlayer", "no sound"));
    if (!player) player = std::make_unique<NoSound>();
    return player;
}

std::unique_ptr<Gamepads> openGamepadModule(const QString& dir)
{
    return std::unique_ptr<Gamepads>(make<Gamepads>(dir, "tolvex-gamepad.so", "tolvexMakeGamepads", "no gamepads"));
}

} // namespace tolvex
