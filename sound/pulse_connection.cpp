#include "pulse_connection.h"

#include "texts.h"

#include <pulse/mainloop-api.h>
#include <pulse/rtclock.h>
#include <pulse/timeval.h>

namespace tolvex {

namespace {

bool gone(pa_context_state_t state) { return state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED; }

} // namespace

PulseConnection::PulseConnection(Listener listener) : m_listener(std::move(listener))
{
    m_loop = pa_threaded_mainloop_new();
    if (m_loop == nullptr) return;
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        return;
    }
    // On libpulse's thread: reading its configuration and reaching the
    // server take a few ms that the window need not wait for.
    const Lock lock(*this);
    m_connectPending = true;
    pa_mainloop_api_once(
        api(),
        [](pa_mainloop_api*, void* self) {
            auto* c = static_cast<PulseConnection*>(self);
            if (!c->m_connectPending) return;
            c->m_connectPending = false;
            c->connectLocked();
        },
        this);
}

PulseConnection::~PulseConnection()
{
    if (m_loop == nullptr) return;
    {
        const Lock lock(*this);
        m_connectPending = false;
        dropLocked();
    }
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseConnection::connectLocked()
{
    m_context = pa_context_new(api(), texts::kSoundClientName);
    if (m_context == nullptr) return;
    pa_context_set_state_callback(m_context, &PulseConnection::onState, this);
    // No autospawn: starting a sound server is the desktop's business, and
    // libpulse would wait for it right here.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) dropLocked();
    wake();
}

void PulseConnection::dropLocked()
{
    if (m_context == nullptr) return;
    m_listener(false);
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

void PulseConnection::onState(pa_context* context, void* self)
{
    auto* c = static_cast<PulseConnection*>(self);
    if (pa_context_get_state(context) == PA_CONTEXT_READY) c->m_listener(true);
    c->wake();
}

bool PulseConnection::ready(Deadline deadline)
{
    if (m_loop == nullptr) return false;
    // A first connection that libpulse's thread has not begun yet is begun
    // here, so that there is always a context to wait on.
    if (m_connectPending || m_context == nullptr || gone(pa_context_get_state(m_context))) {
        m_connectPending = false;
        dropLocked();
        connectLocked();
    }
    if (m_context == nullptr) return false;
    waitFor(
        [this] {
            const pa_context_state_t s = pa_context_get_state(m_context);
            return s == PA_CONTEXT_READY || gone(s);
        },
        deadline);
    return m_context != nullptr && pa_context_get_state(m_context) == PA_CONTEXT_READY;
}

bool PulseConnection::waitFor(const std::function<bool()>& done, Deadline deadline)
{
    while (!done()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || m_context == nullptr) return false;
        // The loop's own wait has no time limit; an alarm of its own ends it.
        pa_time_event* alarm = pa_context_rttime_new(
            m_context, pa_rtclock_now() + static_cast<pa_usec_t>(left.count()),
            [](pa_mainloop_api*, pa_time_event*, const timeval*, void* loop) {
                pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
            },
            m_loop);
        if (alarm == nullptr) return false;
        pa_threaded_mainloop_wait(m_loop);
        api()->time_free(alarm);
    }
    return true;
}

} // namespace tolvex
