#pragma once

#include "pulse_connection.h"
#include "tone_cache.h"
#include "wave_player.h"

#include <QByteArray>

#include <pulse/def.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

struct pa_operation;
struct pa_server_info;
struct pa_stream;
struct pa_time_event;

namespace tolvex {

// Plays WAVE files on the desktop's default audio output, one at a time,
// through libpulse (PulseAudio, or PipeWire's pulse server). Its one stream
// names no device, so the server puts it on its default output and moves it
// along. The stream is opened as soon as the server answers and kept
// between sounds, paused, so that a quiet game keeps no output device
// running; on PipeWire, which is slow to resume it, only after as long as a
// player may take over a press. The server is never waited on for
// longer than a few tens of ms.
// Callable from one thread; the stream is fed from libpulse's own thread,
// and every member but the tone cache is touched only under the
// connection's lock.
class PulseWavePlayer : public WavePlayer {
public:
    // The stream's phases. Each request starts from Idle or Warm (or opens
    // the stream) and ends in Playing, or is refused and goes back:
    //
    //   Closed -> Opening -> Idle or Warm -> Checking -> Starting -> Playing -> Warm or Idle
    //                                           |           ^
    //                                           v           |
    //                              (Closed) Opening -> Reopening
    //
    // Checking is passed over when the server cannot be asked for its
    // default output. A request cut short goes back to Idle or Warm (a
    // Reopening one to Opening, whose stream serves the next request); Warm
    // ends in Idle; any phase may lose its stream and fall into Closed,
    // through fall() alone, which takes the reason (Loss).
    enum class Phase {
        Closed,    // no stream: no server yet, or it went away
        Opening,   // asked for; the server has not readied it yet
        Idle,      // ready and paused, nothing queued
        Checking,  // a sound asked for (queued, if the stream is paused); which output is the default?
        Reopening, // the default changed under the stream: the sound waits for a new one there
        Starting,  // told to play; the server has not confirmed it yet
        Playing,   // the server confirmed: the sound plays, fed as the server asks
        Warm,      // played out and left running a while (PipeWire), nothing queued
    };

    // The one table of changes; enter() refuses any other, and Closed.
    static constexpr bool mayFollow(Phase from, Phase to)
    {
        using P = Phase;
        if (to == P::Closed) return true;
        switch (from) {
        case P::Closed: return to == P::Opening;
        case P::Opening: return to == P::Idle || to == P::Reopening;
        case P::Idle: return to == P::Checking || to == P::Starting;
        case P::Checking: return to == P::Starting || to == P::Idle || to == P::Warm;
        case P::Reopening: return to == P::Starting || to == P::Opening;
        case P::Starting: return to == P::Playing || to == P::Idle || to == P::Warm;
        case P::Playing: return to == P::Playing || to == P::Warm || to == P::Idle;
        case P::Warm: return to == P::Idle || to == P::Checking || to == P::Starting;
        }
        return false;
    }

    // Why the stream was dropped, or a request refused. Each but Replaced is
    // a loss of sound, whether a request meets it or the server drops an
    // idle stream: it starts an episode, logged once on standard error; the
    // next sound the server confirms ends it, logged once too.
    enum class Loss {
        Replaced,      // on purpose, for a new one: no loss
        NoServer,      // no server runs, or it went away
        StreamRefused, // the server would not make a stream
        StreamEnded,   // the server ended the stream
        WriteRefused,  // the stream did not take the sound
        StartRefused,  // the server would not start the stream
        NoAnswer,      // the server did not answer in time
    };
    static const char* describe(Loss loss);

    // Returns without waiting for the server.
    PulseWavePlayer();
    ~PulseWavePlayer() override;
    PulseWavePlayer(const PulseWavePlayer&) = delete;
    PulseWavePlayer& operator=(const PulseWavePlayer&) = delete;

    // Nonzero once the server has confirmed that the sound plays, or has at
    // least answered the request and been told to play it when its word is
    // late; 0 when the file cannot be played, or the server does not answer
    // in time. Any request silences the sound still playing.
    std::int32_t PlayWave(const std::string& fileName) override;

    // For tests: the phase, changes asked for, faults made, the log.
    struct Testing {
        static Phase phase(PulseWavePlayer& p);
        // The output the player knows its stream is on; empty without one.
        static std::string device(PulseWavePlayer& p);
        // False, with a fault, when enter() refuses it.
        static bool enter(PulseWavePlayer& p, Phase next);
        // Changes refused, and requests held alongside the wrong phase,
        // counted since the player was made.
        static int faults(const PulseWavePlayer& p) { return p.m_faults; }
        // Each line the player logs goes here instead of standard error.
        static void setLog(PulseWavePlayer& p, std::function<void(const std::string&)> log);
    };

private:
    // A change in the table but into Closed; false, as a fault, for any other.
    bool enter(Phase next);
    // The one way into Closed: drops the stream, for `why`.
    void fall(Loss why);
    // The one place where the phase changes and its timer is armed.
    void arrive(Phase next);
    void fault(const std::string& what);
    void log(const std::string& line);
    // Sound stopped working (not for Loss::Replaced).
    void report(Loss loss);
    // The server took a sound: an episode of no sound ends.
    void heard();
    void arm(pa_usec_t afterUs);
    void onConnection(bool ready);
    void openStream();
    void cut();
    void queue(QByteArray pcm);
    // Writes the sound's first part unless it is written; false, fallen into
    // Closed, when the stream takes none of it.
    bool fill();
    void write(std::size_t room);
    void start();
    void forget(pa_operation*& op);
    pa_usec_t playOutUs() const;

    static void onStreamState(pa_stream* stream, void* self);
    static void onWritable(pa_stream* stream, std::size_t room, void* self);
    static void onServerInfo(pa_context* context, const pa_server_info* info, void* self);
    static void onStarted(pa_stream* stream, int success, void* self);

    ToneCache m_cache;
    Phase m_phase = Phase::Closed;
    pa_stream* m_stream = nullptr;
    pa_operation* m_check = nullptr;  // Checking: which output is the default
    pa_operation* m_start = nullptr;  // Starting: the server's word that it plays
    pa_time_event* m_timer = nullptr; // Playing, all of it queued: played out; Warm: pause
    std::string m_defaultOutput;      // at the server's last answer
    bool m_slowToResume = false;      // PipeWire's pulse server, by its last answer
    QByteArray m_pcm;                 // the sound of the current request
    std::size_t m_written = 0;
    std::size_t m_lastWrite = 0;
    bool m_silent = false; // in an episode of no sound, logged
    bool m_ending = false; // the player is going: nothing more is logged
    int m_faults = 0;
    std::function<void(const std::string&)> m_log;
    // Last: its thread may call back as soon as it exists, and it drops the
    // stream above when it goes.
    PulseConnection m_connection;
};

} // namespace tolvex
