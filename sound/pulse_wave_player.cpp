#include "pulse_wave_player.h"

#include "engine.h"
#include "stream_placement.h"
#include "texts.h"
#include "wave_render.h"

#include <pulse/introspect.h>
#include <pulse/rtclock.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace tolvex {

namespace {

// How long a request may wait for the server, connecting included; the
// file's decoding is not counted. A local server answers in well under a
// ms; one that has not confirmed the sound by then is treated as absent, so
// that a stuck server never freezes the window. PipeWire readies a new
// stream only after a graph cycle or two: 10 to 40 ms.
constexpr auto kServerWait = std::chrono::milliseconds(60);
// Server-side buffer of the stream. Small, so that a sound starts soon and
// a new request cuts the sound still playing at once.
constexpr pa_usec_t kStreamBufferUs = 50'000;
// Queued at once, in the request and whenever the server asks for more, so
// that a busy machine cannot starve a long sound: about 0.4 s of the stream.
constexpr std::size_t kChunkBytes = std::size_t{32} * 1024;
// Past the estimated end of a sound, before it counts as played out: the
// sink's own latency and a late start.
constexpr pa_usec_t kPlayOutMarginUs = 250'000;
// How long a played-out stream is left running on PipeWire, which takes 3 to
// 6 ms to resume a paused one: as long as a player may take over a press, so
// that a tone answering the last one starts at once. PulseAudio resumes a
// paused stream at once, and a stream left running there is no faster.
constexpr pa_usec_t kWarmUs = pa_usec_t{Engine::kTimeLimitSecs} * PA_USEC_PER_SEC;

// Every sound is rendered to the shipped tones' own format, so that the one
// stream serves any file, and is of the kind PipeWire readies soonest.
constexpr StreamFormat kStreamFormat{44100, 1};

// For requests whose answer nobody waits for; null when it was not sent.
void send(pa_operation* op)
{
    if (op != nullptr) pa_operation_unref(op);
}

const char* phaseName(PulseWavePlayer::Phase phase)
{
    using P = PulseWavePlayer::Phase;
    switch (phase) {
    case P::Closed: return "Closed";
    case P::Opening: return "Opening";
    case P::Idle: return "Idle";
    case P::Checking: return "Checking";
    case P::Reopening: return "Reopening";
    case P::Starting: return "Starting";
    case P::Playing: return "Playing";
    case P::Warm: return "Warm";
    }
    return "?";
}

} // namespace

const char* PulseWavePlayer::describe(Loss loss)
{
    switch (loss) {
    case Loss::Replaced: return "the stream was replaced";
    case Loss::NoServer: return "no audio server runs, or it went away";
    case Loss::StreamRefused: return "the audio server refused to make a stream";
    case Loss::StreamEnded: return "the audio server ended the stream";
    case Loss::WriteRefused: return "the audio stream did not take the sound";
    case Loss::StartRefused: return "the audio server refused to start the stream";
    case Loss::NoAnswer: return "the audio server did not answer in time";
    }
    return "unknown";
}

PulseWavePlayer::PulseWavePlayer() : m_connection([this](bool ready) { onConnection(ready); }) {}

// The connection goes first and drops the stream: that is no loss of sound.
PulseWavePlayer::~PulseWavePlayer()
{
    if (!m_connection.running()) return;
    const PulseConnection::Lock lock(m_connection);
    m_ending = true;
}

void PulseWavePlayer::log(const std::string& line)
{
    if (m_log) {
        m_log(line);
    } else {
        std::fprintf(stderr, "tolvex: %s\n", line.c_str());
    }
}

void PulseWavePlayer::fault(const std::string& what)
{
    ++m_faults;
    log("sound player: " + what);
}

// One line when sound stops working and one when it comes back, so that
// "no sound" can be read from the journal without a line per press.
void PulseWavePlayer::report(Loss loss)
{
    if (m_ending || loss == Loss::Replaced || m_silent) return;
    m_silent = true;
    log(std::string("no sound: ") + describe(loss));
}

// Not when a stream opens: a server may make streams and fail every one.
void PulseWavePlayer::heard()
{
    if (m_ending || !m_silent) return;
    m_silent = false;
    log("sound works again");
}

bool PulseWavePlayer::enter(Phase next)
{
    // Closed is fall()'s alone, so that every fall has its reason.
    if (next == Phase::Closed || !mayFollow(m_phase, next)) {
        fault(std::string("refused a change from ") + phaseName(m_phase) + " to " + phaseName(next));
        return false;
    }
    arrive(next);
    return true;
}

void PulseWavePlayer::fall(Loss why)
{
    forget(m_check);
    forget(m_start);
    if (m_stream != nullptr) {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_write_callback(m_stream, nullptr, nullptr);
        if (PA_STREAM_IS_GOOD(pa_stream_get_state(m_stream))) pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
        m_stream = nullptr;
    }
    arrive(Phase::Closed);
    report(why);
}

void PulseWavePlayer::arrive(Phase next)
{
    m_phase = next;
    // A request of the server belongs to one phase.
    if ((m_check != nullptr && next != Phase::Checking) || (m_start != nullptr && next != Phase::Starting))
        fault(std::string("a request left over in ") + phaseName(next));
    if (m_timer != nullptr) {
        m_connection.api()->time_free(m_timer);
        m_timer = nullptr;
    }
    if (next == Phase::Idle || next == Phase::Warm || next == Phase::Closed) {
        m_pcm.clear();
        m_written = 0;
    }
    // A timer judges when a sound has played out: on PipeWire a stream
    // whose drain was cut by the next sound's flush played that sound
    // silently.
    if (next == Phase::Playing && m_written >= static_cast<std::size_t>(m_pcm.size())) arm(playOutUs());
    // Then the stream pauses, so that a quiet game costs the server and this
    // thread nothing and lets the output sleep.
    if (next == Phase::Warm) arm(m_slowToResume ? kWarmUs : 0);
    if (next == Phase::Playing) heard();
    m_connection.wake();
}

void PulseWavePlayer::arm(pa_usec_t afterUs)
{
    m_timer = pa_context_rttime_new(
        m_connection.context(), pa_rtclock_now() + afterUs,
        [](pa_mainloop_api* api, pa_time_event* event, const timeval*, void* self) {
            auto* p = static_cast<PulseWavePlayer*>(self);
            api->time_free(event);
            p->m_timer = nullptr;
            // Played out leads to Warm, Warm to a pause.
            if (p->m_phase == Phase::Playing) {
                p->enter(Phase::Warm);
            } else {
                send(pa_stream_cork(p->m_stream, 1, nullptr, nullptr));
                p->enter(Phase::Idle);
            }
        },
        this);
}

pa_usec_t PulseWavePlayer::playOutUs() const
{
    const pa_buffer_attr* attr = pa_stream_get_buffer_attr(m_stream);
    const std::size_t ahead = m_lastWrite + (attr != nullptr ? attr->tlength : 0);
    return pa_bytes_to_usec(ahead, pa_stream_get_sample_spec(m_stream)) + kPlayOutMarginUs;
}

// The stream is opened as soon as the server answers, not at the first
// sound: PipeWire readies a new one in 10 to 40 ms (above).
void PulseWavePlayer::onConnection(bool ready)
{
    if (!ready) {
        fall(Loss::NoServer);
    } else if (m_phase == Phase::Closed) {
        openStream();
    }
}

void PulseWavePlayer::openStream()
{
    if (m_phase != Phase::Closed) fall(Loss::Replaced);
    pa_sample_spec samples{};
    samples.format = PA_SAMPLE_S16NE;
    samples.rate = static_cast<std::uint32_t>(kStreamFormat.sampleRate);
    samples.channels = static_cast<std::uint8_t>(kStreamFormat.channelCount);
    pa_channel_map map{};
    if (pa_channel_map_init_extend(&map, samples.channels, PA_CHANNEL_MAP_WAVEEX) != nullptr)
        m_stream = pa_stream_new(m_connection.context(), texts::kSoundStreamName, &samples, &map);
    if (m_stream == nullptr) {
        fall(Loss::StreamRefused);
        return;
    }
    pa_stream_set_state_callback(m_stream, &PulseWavePlayer::onStreamState, this);
    pa_stream_set_write_callback(m_stream, &PulseWavePlayer::onWritable, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(kStreamBufferUs, &samples));
    attr.prebuf = static_cast<std::uint32_t>(-1);
    attr.minreq = static_cast<std::uint32_t>(-1);
    attr.fragsize = static_cast<std::uint32_t>(-1);
    // No device named: the server picks its default output of the moment.
    // Paused until there is something to play.
    if (pa_stream_connect_playback(m_stream, nullptr, &attr, PA_STREAM_START_CORKED, nullptr, nullptr) < 0) {
        fall(Loss::StreamRefused);
        return;
    }
    enter(Phase::Opening);
}

void PulseWavePlayer::forget(pa_operation*& op)
{
    if (op == nullptr) return;
    // Its answer must not come later, to a sound that is gone.
    pa_operation_cancel(op);
    pa_operation_unref(op);
    op = nullptr;
}

// Silences the sound of the last request, whatever became of it. A running
// stream is only emptied: pausing and resuming it for the next sound would
// cost PipeWire 3 to 6 ms (kWarmUs).
void PulseWavePlayer::cut()
{
    forget(m_check);
    forget(m_start);
    switch (m_phase) {
    case Phase::Closed:
    case Phase::Opening:
    case Phase::Idle: return;
    case Phase::Warm:
        // Emptied all the same: PipeWire started a sound on a stream that had
        // run empty for seconds some 2 ms later than on one just emptied.
        send(pa_stream_flush(m_stream, nullptr, nullptr));
        return;
    case Phase::Reopening: enter(Phase::Opening); return; // the new stream serves the next sound
    case Phase::Checking:
    case Phase::Starting:
    case Phase::Playing:
        send(pa_stream_flush(m_stream, nullptr, nullptr));
        enter(pa_stream_is_corked(m_stream) == 1 ? Phase::Idle : Phase::Warm);
        return;
    }
}

std::int32_t PulseWavePlayer::PlayWave(const std::string& fileName)
{
    if (!m_connection.running()) return 0;
    // Decoded before the server is dealt with, in one go: every extra turn
    // wakes libpulse's thread and the server, and on a busy machine the
    // window's thread may then wait for a core.
    const std::shared_ptr<const DecodedWave> wave = m_cache.load(fileName);
    QByteArray pcm = wave ? renderWave(*wave, kStreamFormat) : QByteArray();

    // A long file takes tens of ms to decode and render, which must not eat
    // into the server's time.
    const auto deadline = std::chrono::steady_clock::now() + kServerWait;
    const PulseConnection::Lock lock(m_connection);
    // One sound at a time: every request ends the one still playing, even a
    // request that is then refused.
    cut();
    if (pcm.isEmpty()) return 0;
    // A server that went away is looked for again, so that tones come back
    // once it runs again.
    if (!m_connection.ready(deadline)) {
        report(Loss::NoServer);
        return 0;
    }
    if (m_phase == Phase::Closed) openStream();
    // A stream still being readied is kept for the next request.
    m_connection.waitFor([this] { return m_phase != Phase::Opening; }, deadline);
    if (m_phase == Phase::Opening) report(Loss::NoAnswer); // a fall into Closed reported itself
    if (m_phase != Phase::Idle && m_phase != Phase::Warm) return 0;

    queue(std::move(pcm));
    m_connection.waitFor(
        [this] {
            return m_phase == Phase::Playing || m_phase == Phase::Idle || m_phase == Phase::Warm ||
                   m_phase == Phase::Closed;
        },
        deadline);
    if (m_phase == Phase::Playing) return 1;
    // The server answered this request's question and was told to play, but
    // its word on it is late: waking a suspended output (a USB or Bluetooth
    // device) holds it back. That server is alive, and the sound follows.
    if (m_phase == Phase::Starting) return 1;
    // Not answered in time: a server that stopped answering. The sound must
    // not start after the refusal, whenever the server wakes.
    if (m_phase != Phase::Closed) report(Loss::NoAnswer);
    cut();
    return 0;
}

void PulseWavePlayer::queue(QByteArray pcm)
{
    const auto frameBytes = static_cast<std::size_t>(kStreamFormat.bytesPerFrame());
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
    // A paused stream takes the sound at once, ready to start. A running one
    // takes it only once the server has answered: written ahead, it would
    // play whenever a stuck server woke, after the request was refused.
    if (m_phase == Phase::Idle && !fill()) return;
    // The server is asked which output is the default, not a remembered
    // announcement: its answer comes after any change of the default made
    // before the question, and after the news of a move of this stream that
    // the change caused.
    m_check = pa_context_get_server_info(m_connection.context(), &PulseWavePlayer::onServerInfo, this);
    if (m_check == nullptr) {
        if (fill()) start();
        return;
    }
    enter(Phase::Checking);
}

bool PulseWavePlayer::fill()
{
    if (m_written == 0) write(pa_stream_writable_size(m_stream));
    if (m_stream != nullptr && m_written > 0) return true;
    fall(Loss::WriteRefused);
    return false;
}

// A cancelled check never answers, so this is m_check's answer.
void PulseWavePlayer::onServerInfo(pa_context* /*context*/, const pa_server_info* info, void* self)
{
    auto* p = static_cast<PulseWavePlayer*>(self);
    pa_operation_unref(p->m_check);
    p->m_check = nullptr;
    if (p->m_phase != Phase::Checking) return;
    const std::string now = info != nullptr && info->default_sink_name != nullptr ? info->default_sink_name : "";
    const char* device = pa_stream_get_device_name(p->m_stream);
    const Placement placement = placeSound(p->m_defaultOutput, now, device != nullptr ? device : "");
    if (!now.empty()) p->m_defaultOutput = now;
    p->m_slowToResume =
        info != nullptr && info->server_name != nullptr && std::strstr(info->server_name, "PipeWire") != nullptr;
    if (placement == Placement::StartHere) {
        if (p->fill()) p->start();
        return;
    }
    // The old stream never played it; the server places the new one as it
    // places any.
    QByteArray pcm = std::move(p->m_pcm);
    p->openStream();
    if (p->m_stream == nullptr) return;
    p->m_pcm = std::move(pcm);
    p->enter(Phase::Reopening);
}

void PulseWavePlayer::start()
{
    // Playing resumes once the prebuffer is full, so the sound starts whole.
    // A running stream is told too: the answer is the server's word that it
    // has the sound.
    m_start = pa_stream_cork(m_stream, 0, &PulseWavePlayer::onStarted, this);
    if (m_start == nullptr) {
        fall(Loss::StartRefused);
        return;
    }
    enter(Phase::Starting);
}

// A cancelled start never answers, so this is m_start's answer.
void PulseWavePlayer::onStarted(pa_stream* /*stream*/, int success, void* self)
{
    auto* p = static_cast<PulseWavePlayer*>(self);
    pa_operation_unref(p->m_start);
    p->m_start = nullptr;
    if (p->m_phase != Phase::Starting) return;
    if (success != 0)
        p->enter(Phase::Playing);
    else
        p->fall(Loss::StartRefused);
}

void PulseWavePlayer::write(std::size_t room)
{
    const auto total = static_cast<std::size_t>(m_pcm.size());
    const auto frameBytes = static_cast<std::size_t>(kStreamFormat.bytesPerFrame());
    if (m_stream == nullptr || m_written >= total || room == static_cast<std::size_t>(-1)) return;
    // Whole frames only.
    const std::size_t n = std::min(std::max(room, kChunkBytes), total - m_written) / frameBytes * frameBytes;
    if (n == 0) return;
    if (pa_stream_write(m_stream, m_pcm.constData() + m_written, n, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        fall(Loss::WriteRefused);
        return;
    }
    m_written += n;
    m_lastWrite = n;
    if (m_written >= total && m_phase == Phase::Playing) enter(Phase::Playing);
}

// A dropped stream's callbacks are cleared first, so this is m_stream's.
void PulseWavePlayer::onStreamState(pa_stream* stream, void* self)
{
    auto* p = static_cast<PulseWavePlayer*>(self);
    const pa_stream_state_t s = pa_stream_get_state(stream);
    if (!PA_STREAM_IS_GOOD(s)) {
        p->fall(Loss::StreamEnded); // a request waiting on it is refused; the next opens another
    } else if (s == PA_STREAM_READY && p->m_phase == Phase::Opening) {
        p->enter(Phase::Idle);
    } else if (s == PA_STREAM_READY && p->m_phase == Phase::Reopening) {
        // A refused write drops the new stream: nothing is left to start.
        p->m_written = 0;
        if (p->fill()) p->start();
    }
    p->m_connection.wake();
}

// A dropped stream's callbacks are cleared first, so this is m_stream's.
void PulseWavePlayer::onWritable(pa_stream* /*stream*/, std::size_t room, void* self)
{
    static_cast<PulseWavePlayer*>(self)->write(room);
}

// Without libpulse's thread nothing else touches the player.
void PulseWavePlayer::Testing::setLog(PulseWavePlayer& p, std::function<void(const std::string&)> log)
{
    if (!p.m_connection.running()) {
        p.m_log = std::move(log);
        return;
    }
    const PulseConnection::Lock lock(p.m_connection);
    p.m_log = std::move(log);
}

PulseWavePlayer::Phase PulseWavePlayer::Testing::phase(PulseWavePlayer& p)
{
    if (!p.m_connection.running()) return p.m_phase;
    const PulseConnection::Lock lock(p.m_connection);
    return p.m_phase;
}

std::string PulseWavePlayer::Testing::device(PulseWavePlayer& p)
{
    if (!p.m_connection.running()) return {};
    const PulseConnection::Lock lock(p.m_connection);
    const char* name = p.m_stream != nullptr ? pa_stream_get_device_name(p.m_stream) : nullptr;
    return name != nullptr ? name : "";
}

bool PulseWavePlayer::Testing::enter(PulseWavePlayer& p, Phase next)
{
    if (!p.m_connection.running()) return false;
    const PulseConnection::Lock lock(p.m_connection);
    return p.enter(next);
}

} // namespace tolvex
