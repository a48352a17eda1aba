#pragma once

#include "wave_player.h"
#include "tone_cache.h"
#include "wave_decoder.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
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
    QAudioFormat chooseFormat(const QAudioDevice& device, const DecodedWave& wave) const;
    QAudioSink* sinkFor(const QAudioDevice& device, const QAudioFormat& format);
    void feed();
    void closeIfPlayedOut();

    ToneCache m_cache;

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

} // namespace tolvex
