#include "pad_keys.h"

#include <QKeyEvent>

namespace tolvex {

int padForKey(const QKeyEvent& event)
{
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

} // namespace tolvex
