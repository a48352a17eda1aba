#pragma once

#include "form_zandrell.h"

#include <QTimer>

namespace tolvex::testing {

// An about hook that closes the window as soon as its modal loop runs.
inline void closeAtOnce(FormZandrell& about)
{
    QTimer::singleShot(0, &about, [&about] { about.close(); });
}

} // namespace tolvex::testing
