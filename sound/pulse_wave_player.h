#pragma once

#include "tone_cache.h"
#include "wave_player.h"

#include <QByteArray>

#include <pulse/def.h>
#include <pulse/sample.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

struct pa_context;
struct pa_operation;
struct pa_server_info;
struct pa_sample_spec;
struct pa_stream;
struct pa_threaded_mainloop;
struct pa_time_event;

namespace tolvex {

// Plays WAVE files on the desktop's default audio output, one at a time,
// through libpulse (PulseAudio, or PipeWire's pulse server). Its one stream
// names no device, so the server puts it on its default output and moves it
// along; the stream is kept open, paused between sounds, and replaced when
// it is found on another output than the default. The server is never waited
// on for longer than a few tens of ms: a stream not ready by then is a
// refused tone.
// Callable from one thread; the stream is fed from libpulse's own thread,
// and every member but the tone cache is touched only under its lock.
class PulseWavePlayer : public WavePlayer {
public:
    // Starts connecting to the server; returns without waiting for it.
    PulseWavePlayer();
    ~PulseWavePlayer() override;
    PulseWavePlayer(const PulseWavePlayer&) = delete;
    PulseWavePlayer& operator=(const PulseWavePlayer&) = delete;

    // Nonzero when the file was decoded and the server took the stream in
    // time; 0 otherwise. Any request silences the sound still playing.
    std::int32_t PlayWave(const std::string& fileName) override;

    // Silences the current sound, if any.
    void stop();

private:
    using Deadline = std::chrono::steady_clock::time_point;

    // All of these run with the mainloop's lock held.
    void connectLocked();
    void dropContextLocked();
    void dropStreamLocked();
    template <typename Done> bool waitLocked(Done done, Deadline deadline);
    void openStreamLocked();
    void cutLocked();
    void forgetPauseLocked();
    void pauseLaterLocked(pa_usec_t after);
    void closeLaterLocked();
    bool readyLocked(Deadline deadline);
    std::int32_t queueLocked(QByteArray pcm, std::size_t frameBytes);
    void writeLocked(std::size_t room);
    void checkOutputThenStartLocked();
    void forgetCheckLocked();
    void startLocked();
    void pauseOncePlayedLocked(std::size_t queued);

    static void onContextState(pa_context* context, void* self);
    static void onStreamState(pa_stream* stream, void* self);
    static void onWritable(pa_stream* stream, std::size_t room, void* self);
    static void onServerInfo(pa_context* context, const pa_server_info* info, void* self);

    ToneCache m_cache;
    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    pa_time_event* m_pause = nullptr; // when the sound has played out, then when the paused stream closes
    pa_operation* m_check = nullptr;  // which output is the default: the queued sound waits for the answer
    bool m_started = false;           // the queued sound was let play
    bool m_startWhenReady = false;    // the queued sound moves to a stream still being opened
    std::string m_defaultOutput;      // the server's default output at its last answer
    QByteArray m_pcm;
    std::size_t m_written = 0;
    std::size_t m_frameBytes = 0;
};

} // namespace tolvex
