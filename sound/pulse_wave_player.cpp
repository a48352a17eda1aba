#include "pulse_wave_player.h"

#include "wave_render.h"

#include <QAudioFormat>

#include <pulse/context.h>
#include <pulse/introspect.h>
#include <pulse/error.h>
#include <pulse/mainloop-api.h>
#include <pulse/rtclock.h>
#include <pulse/sample.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace tolvex {

namespace {

// How long a request may wait for the server, connecting included; the
// file's decoding is not counted. A local server answers in a few ms; one
// that has not answered by then is treated as absent, so that a stuck
// server never freezes the window. PipeWire readies a stream only after a
// graph cycle or two: 10 to 40 ms.
constexpr auto kServerWait = std::chrono::milliseconds(60);
// Server-side buffer of a stream. Small, so that the stream starts soon and
// a new request cuts the sound still playing at once.
constexpr pa_usec_t kStreamBufferUs = 50'000;
// Queued at once, in the request and whenever the server asks for more, so
// that a busy machine cannot starve a long sound: about 0.4 s of the stream.
constexpr std::size_t kChunkBytes = std::size_t{32} * 1024;
// Past the estimated end of a sound, before its stream pauses: the sink's
// own latency and a late start.
constexpr pa_usec_t kPauseMarginUs = 250'000;
// How long a paused stream stays open. A sound soon after reuses it; a new
// stream costs the server a few ms (PipeWire 10 to 25), and an open one
// keeps a server-side client busy, so not for long.
constexpr pa_usec_t kLingerUs = 1'500'000;

// Every sound is rendered to the shipped tones' own format, so that the one
// stream kept open serves any file, and a new stream is of the kind PipeWire
// readies soonest: 10 to 25 ms, where another rate or channel count takes
// 30 to 80 ms on a busy machine, too long for a request.
QAudioFormat streamFormat()
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

bool gone(pa_context_state_t state) { return state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED; }

void forget(pa_operation* op)
{
    if (op != nullptr) pa_operation_unref(op);
}

} // namespace

PulseWavePlayer::PulseWavePlayer()
{
    m_loop = pa_threaded_mainloop_new();
    if (m_loop == nullptr) return;
    if (pa_threaded_mainloop_start(m_loop) < 0) {
        pa_threaded_mainloop_free(m_loop);
        m_loop = nullptr;
        return;
    }
    // Connecting now, not at the first tone; nobody waits for it here.
    pa_threaded_mainloop_lock(m_loop);
    connectLocked();
    pa_threaded_mainloop_unlock(m_loop);
}

PulseWavePlayer::~PulseWavePlayer()
{
    if (m_loop == nullptr) return;
    pa_threaded_mainloop_lock(m_loop);
    dropContextLocked();
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseWavePlayer::connectLocked()
{
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Tolvex");
    if (m_context == nullptr) return;
    pa_context_set_state_callback(m_context, &PulseWavePlayer::onContextState, this);
    // No autospawn: starting a sound server is the desktop's business, and
    // libpulse would wait for it right here.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) dropContextLocked();
}

void PulseWavePlayer::dropContextLocked()
{
    dropStreamLocked();
    if (m_context == nullptr) return;
    pa_context_set_state_callback(m_context, nullptr, nullptr);
    // Closing the connection also ends, on the server, a stream that was
    // still being set up.
    pa_context_disconnect(m_context);
    pa_context_unref(m_context);
    m_context = nullptr;
}

void PulseWavePlayer::dropStreamLocked()
{
    forgetPauseLocked();
    forgetCheckLocked();
    m_startWhenReady = false;
    if (m_stream != nullptr) {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        if (PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream))) pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    m_pcm.clear();
    m_written = 0;
}

void PulseWavePlayer::forgetPauseLocked()
{
    if (m_pause == nullptr) return;
    pa_threaded_mainloop_get_api(m_loop)->time_free(m_pause);
    m_pause = nullptr;
}

void PulseWavePlayer::openStreamLocked()
{
    dropStreamLocked();
    if (m_context == nullptr || pa_context_get_state(m_context) != PA_CONTEXT_READY) return;
    const QAudioFormat format = streamFormat();
    pa_sample_spec samples{};
    samples.format = PA_SAMPLE_S16NE;
    samples.rate = static_cast<std::uint32_t>(format.sampleRate());
    samples.channels = static_cast<std::uint8_t>(format.channelCount());
    pa_channel_map map{};
    if (pa_channel_map_init_extend(&map, samples.channels, PA_CHANNEL_MAP_WAVEEX) == nullptr) return;
    m_stream = pa_stream_new(m_context, "Tono", &samples, &map);
    if (m_stream == nullptr) return;
    pa_stream_set_state_callback(m_stream, &PulseWavePlayer::onStreamState, this);
    pa_stream_set_write_callback(m_stream, &PulseWavePlayer::onWritable, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kStreamBufferUs, &samples));
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    // No device named: the server picks its default output of the moment.
    // Paused until there is something to play, so that it costs nothing
    // while the game is quiet.
    if (pa_stream_connect_playback(m_stream, nullptr, &attr, PA_STREAM_START_CORKED, nullptr, nullptr) < 0)
        dropStreamLocked();
}

void PulseWavePlayer::cutLocked()
{
    forgetPauseLocked();
    forgetCheckLocked();
    m_startWhenReady = false;
    m_started = false;
    m_pcm.clear();
    m_written = 0;
    if (m_stream == nullptr || pa_stream_get_state(m_stream) != PA_STREAM_READY) return;
    forget(pa_stream_cork(m_stream, 1, nullptr, nullptr));
    forget(pa_stream_flush(m_stream, nullptr, nullptr));
}

template <typename Done> bool PulseWavePlayer::waitLocked(Done done, Deadline deadline)
{
    while (!done()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::microseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || m_context == nullptr) return false;
        // The mainloop's wait has no time limit; a timer of its own wakes it.
        pa_time_event* alarm = pa_context_rttime_new(
            m_context, pa_rtclock_now() + static_cast<pa_usec_t>(left.count()),
            [](pa_mainloop_api*, pa_time_event*, const timeval*, void* loop) {
                pa_threaded_mainloop_signal(static_cast<pa_threaded_mainloop*>(loop), 0);
            },
            m_loop);
        if (alarm == nullptr) return false;
        pa_threaded_mainloop_wait(m_loop);
        pa_threaded_mainloop_get_api(m_loop)->time_free(alarm);
    }
    return true;
}

void PulseWavePlayer::stop()
{
    if (m_loop == nullptr) return;
    pa_threaded_mainloop_lock(m_loop);
    cutLocked();
    pa_threaded_mainloop_unlock(m_loop);
}

std::int32_t PulseWavePlayer::PlayWave(const std::string& fileName)
{
    if (m_loop == nullptr) return 0;
    // Decoded before the server is dealt with, in one go: every extra turn
    // wakes libpulse's thread and the server, and on a busy machine the
    // window's thread may then wait for a core.
    const std::shared_ptr<const DecodedWave> wave = m_cache.load(fileName);
    const QAudioFormat format = streamFormat();
    const auto frameBytes = static_cast<std::size_t>(format.bytesPerFrame());
    QByteArray pcm = wave ? renderWave(*wave, format) : QByteArray();

    // A long file takes tens of ms to decode and render, which must not eat
    // into the server's time.
    const Deadline deadline = std::chrono::steady_clock::now() + kServerWait;
    pa_threaded_mainloop_lock(m_loop);
    struct Unlock {
        pa_threaded_mainloop* loop;
        ~Unlock() { pa_threaded_mainloop_unlock(loop); }
    } unlock{m_loop};
    // One sound at a time: every request ends the one still playing, even a
    // request that is then refused. The stream itself serves again.
    cutLocked();
    if (pcm.isEmpty() || frameBytes == 0) return 0;

    // A server that went away is looked for again, so that tones come back
    // once it runs again.
    if (m_context == nullptr || gone(pa_context_get_state(m_context))) {
        dropContextLocked();
        connectLocked();
        if (m_context == nullptr) return 0;
    }
    const bool answered = waitLocked(
        [this] {
            const pa_context_state_t s = pa_context_get_state(m_context);
            return s == PA_CONTEXT_READY || gone(s);
        },
        deadline);
    if (!answered || pa_context_get_state(m_context) != PA_CONTEXT_READY)
        return 0; // still connecting: the next request looks again

    // A stream kept from an earlier sound is ready at once.
    if (m_stream == nullptr || !PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream))) openStreamLocked();
    if (!readyLocked(deadline)) return 0;
    return queueLocked(std::move(pcm), frameBytes);
}

bool PulseWavePlayer::readyLocked(Deadline deadline)
{
    waitLocked(
        [this] {
            const pa_stream_state_t s = m_stream != nullptr ? pa_stream_get_state(m_stream) : PA_STREAM_FAILED;
            return s != PA_STREAM_UNCONNECTED && s != PA_STREAM_CREATING;
        },
        deadline);
    const pa_stream_state_t s = m_stream != nullptr ? pa_stream_get_state(m_stream) : PA_STREAM_FAILED;
    // A stream still being set up is kept for the next request.
    if (s == PA_STREAM_READY || s == PA_STREAM_CREATING) return s == PA_STREAM_READY;
    dropStreamLocked();
    return false;
}

std::int32_t PulseWavePlayer::queueLocked(QByteArray pcm, std::size_t frameBytes)
{
    // The server only starts a stream (and, after a flush, starts it again)
    // once its prebuffer is full; a sound shorter than that gets trailing
    // silence.
    const pa_buffer_attr* granted = pa_stream_get_buffer_attr(m_stream);
    const std::size_t prebuf = granted != nullptr ? granted->prebuf : 0;
    if (static_cast<std::size_t>(pcm.size()) < prebuf) {
        const std::size_t padded = (prebuf + frameBytes - 1) / frameBytes * frameBytes;
        pcm.append(QByteArray(static_cast<qsizetype>(padded) - pcm.size(), '\0'));
    }
    m_pcm = std::move(pcm);
    m_written = 0;
    m_frameBytes = frameBytes;
    m_started = false;
    // Queued while the stream is still paused; it plays once the output is
    // known to be the default.
    writeLocked(pa_stream_writable_size(m_stream));
    if (m_stream == nullptr || m_written == 0) {
        dropStreamLocked();
        return 0;
    }
    checkOutputThenStartLocked();
    return 1;
}

// The server is asked which output is the default, not a remembered
// announcement: its answer comes after any change of the default made before
// the question, and after the news of a move of this stream that the change
// caused. The request does not wait for it, so that a busy server (tens of
// ms at times) never holds up the window; the sound starts on the answer,
// a fraction of a ms later as a rule.
void PulseWavePlayer::checkOutputThenStartLocked()
{
    forgetCheckLocked();
    m_check = pa_context_get_server_info(m_context, &PulseWavePlayer::onServerInfo, this);
    if (m_check == nullptr) startLocked();
}

void PulseWavePlayer::forgetCheckLocked()
{
    if (m_check == nullptr) return;
    // Its answer must not come later, to a sound that is gone.
    pa_operation_cancel(m_check);
    pa_operation_unref(m_check);
    m_check = nullptr;
}

// A cancelled check never answers, so this is m_check's answer.
void PulseWavePlayer::onServerInfo(pa_context* /*context*/, const pa_server_info* info, void* self)
{
    auto* p = static_cast<PulseWavePlayer*>(self);
    pa_operation_unref(p->m_check);
    p->m_check = nullptr;
    if (p->m_stream == nullptr) return;
    const char* device = pa_stream_get_device_name(p->m_stream);
    const char* output = info != nullptr ? info->default_sink_name : nullptr;
    // Only a change of the default counts: a stream that a mixer moved to
    // another output by hand stays there, as the player chose.
    const bool changed = output != nullptr && !p->m_defaultOutput.empty() && p->m_defaultOutput != output;
    if (output != nullptr) p->m_defaultOutput = output;
    if (!changed || device == nullptr || std::strcmp(output, device) == 0) {
        p->startLocked();
        return;
    }
    // The desktop chose another output and the server has not moved the
    // stream (PipeWire's session manager does so a moment later): the sound
    // plays on a new stream, which the server places as it places any. The
    // old one never played it.
    QByteArray pcm = std::move(p->m_pcm);
    p->openStreamLocked();
    if (p->m_stream == nullptr) return;
    p->m_pcm = std::move(pcm);
    p->m_startWhenReady = true;
}

void PulseWavePlayer::startLocked()
{
    if (m_stream == nullptr || pa_stream_get_state(m_stream) != PA_STREAM_READY) return;
    // Playing resumes once the prebuffer is full, so the sound starts whole.
    forget(pa_stream_cork(m_stream, 0, nullptr, nullptr));
    m_started = true;
    if (m_written >= static_cast<std::size_t>(m_pcm.size())) pauseOncePlayedLocked(m_written);
}

void PulseWavePlayer::writeLocked(std::size_t room)
{
    const auto total = static_cast<std::size_t>(m_pcm.size());
    if (m_stream == nullptr || m_written >= total || room == static_cast<std::size_t>(-1)) return;
    // Whole frames only.
    const std::size_t n = std::min(std::max(room, kChunkBytes), total - m_written) / m_frameBytes * m_frameBytes;
    if (n == 0) return;
    if (pa_stream_write(m_stream, m_pcm.constData() + m_written, n, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        dropStreamLocked();
        return;
    }
    m_written += n;
    if (m_written >= total && m_started) pauseOncePlayedLocked(n);
}

// All of the sound is queued, the last `queued` bytes just now: the stream
// pauses once it has played out, so that a quiet game costs the server and
// this thread nothing. A timer judges when: on PipeWire a stream whose drain
// was cut by the next sound's flush played that sound silently.
void PulseWavePlayer::pauseOncePlayedLocked(std::size_t queued)
{
    const pa_buffer_attr* attr = pa_stream_get_buffer_attr(m_stream);
    const std::size_t ahead = queued + (attr != nullptr ? attr->tlength : 0);
    pauseLaterLocked(pa_bytes_to_usec(ahead, pa_stream_get_sample_spec(m_stream)) + kPauseMarginUs);
}

void PulseWavePlayer::pauseLaterLocked(pa_usec_t after)
{
    forgetPauseLocked();
    if (m_context == nullptr || m_stream == nullptr) return;
    m_pause = pa_context_rttime_new(
        m_context, pa_rtclock_now() + after,
        [](pa_mainloop_api* /*api*/, pa_time_event* /*event*/, const timeval*, void* me) {
            // A timer that was replaced or dropped has been freed and never
            // comes: this one is m_pause.
            auto* p = static_cast<PulseWavePlayer*>(me);
            if (p->m_pause != nullptr) {
                p->forgetPauseLocked();
                if (p->m_stream != nullptr && pa_stream_get_state(p->m_stream) == PA_STREAM_READY) {
                    forget(pa_stream_cork(p->m_stream, 1, nullptr, nullptr));
                    p->closeLaterLocked();
                }
            }
        },
        this);
}

void PulseWavePlayer::closeLaterLocked()
{
    m_pause = pa_context_rttime_new(
        m_context, pa_rtclock_now() + kLingerUs,
        [](pa_mainloop_api* /*api*/, pa_time_event* /*event*/, const timeval*, void* me) {
            auto* p = static_cast<PulseWavePlayer*>(me);
            if (p->m_pause != nullptr) p->dropStreamLocked();
        },
        this);
}

void PulseWavePlayer::onContextState(pa_context* context, void* self)
{
    auto* player = static_cast<PulseWavePlayer*>(self);
    // A stream is opened by the first sound, not ahead: a quiet game keeps
    // none open.
    (void)context;
    pa_threaded_mainloop_signal(player->m_loop, 0);
}

// A dropped stream's callbacks are cleared first, so this is m_stream's.
void PulseWavePlayer::onStreamState(pa_stream* stream, void* self)
{
    auto* p = static_cast<PulseWavePlayer*>(self);
    if (p->m_startWhenReady) {
        const pa_stream_state_t s = pa_stream_get_state(stream);
        if (s == PA_STREAM_READY) {
            p->m_startWhenReady = false;
            p->m_written = 0;
            p->writeLocked(pa_stream_writable_size(stream));
            p->startLocked();
        } else if (!PA_STREAM_IS_GOOD(s)) {
            p->m_startWhenReady = false; // that sound is lost; the next request opens another
        }
    }
    pa_threaded_mainloop_signal(p->m_loop, 0);
}

// A dropped stream's callbacks are cleared first, so this is m_stream's.
void PulseWavePlayer::onWritable(pa_stream* /*stream*/, std::size_t room, void* self)
{
    static_cast<PulseWavePlayer*>(self)->writeLocked(room);
}

} // namespace tolvex
