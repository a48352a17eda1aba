#include "pad_keys.h"

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

// Key codes lie below this; a key known by its character only is put above.
constexpr int kByCharacter = 1 << 16;

} // namespace

int padForKey(const QKeyEvent& event)
{
    if (const int pad = padForCode(event.nativeScanCode()); pad >= 0) return pad;
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::KeypadModifier)) {
        // With Num Lock off the same keys arrive as Home, PgUp, PgDown, End.
        switch (key) {
        case Qt::Key_7:
        case Qt::Key_Home: return 0;
        case Qt::Key_9:
        case Qt::Key_PageUp: return 1;
        case Qt::Key_3:
        case Qt::Key_PageDown: return 2;
        case Qt::Key_1:
        case Qt::Key_End: return 3;
        default: return -1;
        }
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_4) return key - Qt::Key_1;
    return -1;
}

int padKeyIdentity(const QKeyEvent& event)
{
    if (const quint32 code = event.nativeScanCode(); code != 0 && code < kByCharacter) return static_cast<int>(code);
    return kByCharacter + (event.key() | static_cast<int>(event.modifiers() & Qt::KeypadModifier));
}

} // namespace tolvex
