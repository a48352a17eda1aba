#pragma once
// The player's link to the sound server: libpulse's own thread and main
// loop, and one context on it. The first connection is begun on that
// thread (or by a request that comes first), so that nobody waits for the
// server to answer, the first window least of all; a server that went away
// is looked for again by the next request that needs it, on the caller's
// thread. Waits for the server are bounded by a deadline and never hold the
// lock.

#include <pulse/context.h>
#include <pulse/thread-mainloop.h>

#include <chrono>
#include <functional>

namespace tolvex {

class PulseConnection {
public:
    using Deadline = std::chrono::steady_clock::time_point;
    // Told, with the lock held, when the context has become ready (true, on
    // libpulse's thread) and just before it is dropped (false, on the thread
    // of the request that found it gone).
    using Listener = std::function<void(bool ready)>;

    explicit PulseConnection(Listener listener);
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // False when libpulse's thread could not be started.
    bool running() const { return m_loop != nullptr; }

    // Holds the lock that every use of the context and its streams needs.
    class Lock {
    public:
        explicit Lock(PulseConnection& c) : m_loop(c.m_loop) { pa_threaded_mainloop_lock(m_loop); }
        ~Lock() { pa_threaded_mainloop_unlock(m_loop); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        pa_threaded_mainloop* m_loop;
    };

    // All of these need the lock.
    pa_context* context() const { return m_context; }
    pa_mainloop_api* api() const { return pa_threaded_mainloop_get_api(m_loop); }
    // A ready context by the deadline, connecting again if the server went
    // away; false otherwise.
    bool ready(Deadline deadline);
    // Waits until `done()` or the deadline; false on the deadline. Whatever
    // may change `done()` must call wake().
    bool waitFor(const std::function<bool()>& done, Deadline deadline);
    void wake() { pa_threaded_mainloop_signal(m_loop, 0); }

private:
    void connectLocked();
    void dropLocked();
    static void onState(pa_context* context, void* self);

    Listener m_listener;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    bool m_connectPending = false; // asked of libpulse's thread, not yet begun
};

} // namespace tolvex
