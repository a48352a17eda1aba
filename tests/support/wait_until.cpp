#include "wait_until.h"

#include <QDeadlineTimer>
#include <QTest>

namespace tolvex::testing {

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const QDeadlineTimer deadline(limit, Qt::PreciseTimer);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(1); // events in, then a breath: a bare spin would starve the program watched
    }
    return true;
}

} // namespace tolvex::testing
