#pragma once

#include "wave_player.h"
#include "wave_decoder.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

class QAudioSink;
class QIODevice;

namespace tolvex {

// Plays WAVE files on the default audio output through QAudioSink, one at a
// time. Lives on the window's event thread; the tail of a long sound is fed
// from that thread's event loop.
class QtWavePlayer : public QObject, public WavePlayer {
    Q_OBJECT
public:
    explicit QtWavePlayer(QObject* parent = nullptr);
    ~QtWavePlayer() override;

    // Nonzero when the file was decoded and the audio output took the
    // stream; 0 otherwise. Any request silences the sound still playing.
    std::int32_t PlayWave(const std::string& fileName) override;

    // Silences the current sound, if any.
    void stop();

private:
    struct CacheEntry {
        std::filesystem::file_time_type modified;
        std::uintmax_t size = 0;
        std::shared_ptr<const DecodedWave> wave;
        std::uint64_t lastUse = 0;
    };

    std::shared_ptr<const DecodedWave> load(const std::string& fileName);
    QAudioFormat chooseFormat(const QAudioDevice& device, const DecodedWave& wave) const;
    QAudioSink* sinkFor(const QAudioDevice& device, const QAudioFormat& format);
    void feed();
    void closeIfPlayedOut();

    std::map<std::string, CacheEntry> m_cache;
    std::uint64_t m_useCounter = 0;

    QAudioSink* m_sink = nullptr;
    QAudioDevice m_sinkDevice;
    QAudioFormat m_sinkFormat;

    QPointer<QIODevice> m_out;
    QByteArray m_pcm;
    qint64 m_written = 0;
    bool m_playing = false;  // a sound was queued and has not been stopped
    QTimer m_feedTimer;
    QTimer m_closeTimer;
};

// Ends the process at once with `status`, flushing stdio but skipping the
// static destructors. Qt 6.4 drops its PulseAudio connection in one of them
// without taking the connection's lock, which crashes now and then when the
// server sends something at that moment; call this after the application
// object is gone instead of returning from main().
[[noreturn]] void ExitWithoutAudioTeardown(int status);

} // namespace tolvex
