#include "pad_keys.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include <array>

namespace tolvex {

namespace {

// XKB key codes (the Linux input code + 8), as X11 and Wayland give them:
// the main row's 1 to 4, and the keypad's 7, 9, 3 and 1.
constexpr std::array<quint32, 4> kRowCodes = {10, 11, 12, 13};
constexpr std::array<quint32, 4> kKeypadCodes = {79, 81, 89, 87};

int padForCode(quint32 code)
{
    for (int pad = 0; pad < 4; ++pad) {
        if (code == kRowCodes[pad] || code == kKeypadCodes[pad]) return pad;
    }
    return -1;
}

// The keypad's 7, 9, 3 and 1 as they come with Num Lock off.
constexpr std::array<int, 4> kKeypadNavigation = {Qt::Key_Home, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End};
constexpr std::array<int, 4> kKeypadDigits = {Qt::Key_7, Qt::Key_9, Qt::Key_3, Qt::Key_1};

int indexOf(const std::array<int, 4>& keys, int key)
{
    for (int pad = 0; pad < 4; ++pad) {
        if (keys[pad] == key) return pad;
    }
    return -1;
}

// The key's place, or 0 where the platform does not give it: only X11 and
// Wayland put an XKB code in nativeScanCode(); elsewhere (Qt's offscreen
// platform, say) a code there could name any key.
quint32 placeOf(const QKeyEvent& event)
{
    static const bool placesGiven = [] {
        const QString platform = QGuiApplication::platformName();
        return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
    }();
    return placesGiven ? event.nativeScanCode() : 0;
}

// Key codes lie below this; a key known by its character only is put above.
constexpr int kByCharacter = 1 << 16;

} // namespace

int padForKey(const QKeyEvent& event)
{
    if (const int pad = padForCode(placeOf(event)); pad >= 0) return pad;
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        const int pad = indexOf(kKeypadDigits, key);
        return pad >= 0 ? pad : indexOf(kKeypadNavigation, key);
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_4) return key - Qt::Key_1;
    return -1;
}

bool movesASlider(const QKeyEvent& event) { return indexOf(kKeypadNavigation, event.key()) >= 0; }

int padKeyIdentity(const QKeyEvent& event)
{
    if (const quint32 code = placeOf(event); code != 0 && code < kByCharacter) return static_cast<int>(code);
    return kByCharacter + (event.key() | static_cast<int>(event.modifiers() & Qt::KeypadModifier));
}

} // namespace tolvex
