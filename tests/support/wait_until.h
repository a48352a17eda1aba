#pragma once
// The tests' one way to wait: for a condition, never for a fixed time.

#include <chrono>
#include <functional>

namespace tolvex::testing {

// Checks `done` until it holds or `limit` has passed, serving this thread's
// Qt events in between, so that timers, processes and sockets move on.
// True if `done` held.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

} // namespace tolvex::testing
