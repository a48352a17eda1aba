#include "qt_wave_player.h"

#include "wave_render.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>

#include <algorithm>

namespace tolvex {

namespace {

// Server-side buffer of a stream. Small, so that a new request cuts the
// sound still playing at once; underruns cannot happen because the whole
// sound is queued up front.
constexpr qint64 kStreamBufferUs = 50'000;
// Queued in the request itself; anything longer is fed from the event loop.
// Stays well below PulseAudio's default 4 MiB stream limit.
constexpr qint64 kUpfrontBytes = qint64{1024} * 1024;
constexpr int kFeedIntervalMs = 20;
// How long a played-out stream stays open. Starting a stream while none is
// open costs the server tens of ms now and then, against ~1 ms otherwise;
// an open stream keeps a 20 ms tick running, so not for long.
constexpr int kLingerMs = 1500;

// What the shipped tones are made of; a sink for it is opened ahead.
QAudioFormat ToneFormat()
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

QtWavePlayer::QtWavePlayer(QObject* parent)
    : QObject(parent)
{
    m_feedTimer.setInterval(kFeedIntervalMs);
    m_feedTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_feedTimer, &QTimer::timeout, this, &QtWavePlayer::feed);
    m_closeTimer.setSingleShot(true);
    m_closeTimer.setInterval(kLingerMs);
    connect(&m_closeTimer, &QTimer::timeout, this, &QtWavePlayer::closeIfPlayedOut);

    // Connecting to the audio server and making the sink are done now, not
    // at the first tone.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (!device.isNull() && device.isFormatSupported(ToneFormat())) {
        // One silent start: the first stream of a process costs several ms
        // more than the next ones. Nothing is written, so nothing sounds.
        QAudioSink* sink = sinkFor(device, ToneFormat());
        sink->setBufferSize(static_cast<qsizetype>(ToneFormat().bytesForDuration(kStreamBufferUs)));
        sink->start();
        sink->stop();
    }
}

QtWavePlayer::~QtWavePlayer()
{
    stop();
    // Qt 6.4's sink runs the event loop in its destructor. Let that happen
    // now, while this player is still whole and has nothing left to run;
    // left to ~QObject, a queued state change would reach a half-destroyed
    // player.
    const QList<QAudioSink*> sinks = findChildren<QAudioSink*>(Qt::FindDirectChildrenOnly);
    for (QAudioSink* sink : sinks)
        disconnect(sink, nullptr, this, nullptr);
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    m_sink = nullptr;
    qDeleteAll(sinks);
}

void QtWavePlayer::stop()
{
    m_playing = false;
    m_feedTimer.stop();
    m_closeTimer.stop();
    if (m_sink != nullptr && m_sink->state() != QAudio::StoppedState)
        m_sink->stop();
    m_out = nullptr;
    m_pcm.clear();
    m_written = 0;
}

QAudioFormat QtWavePlayer::chooseFormat(const QAudioDevice& device, const DecodedWave& wave) const
{
    // The file's own rate and channels when the device takes them, so that
    // nothing is resampled here.
    QAudioFormat format;
    format.setSampleRate(wave.sampleRate);
    format.setChannelCount(wave.channels);
    for (auto sampleFormat : {QAudioFormat::Int16, QAudioFormat::Float, QAudioFormat::Int32}) {
        format.setSampleFormat(sampleFormat);
        if (device.isFormatSupported(format))
            return format;
    }
    return device.preferredFormat();
}

QAudioSink* QtWavePlayer::sinkFor(const QAudioDevice& device, const QAudioFormat& format)
{
    if (m_sink != nullptr && m_sinkDevice == device && m_sinkFormat == format)
        return m_sink;
    if (m_sink != nullptr) {
        m_sink->stop();
        // Later: a sink must not die inside one of its own signals, and Qt
        // 6.4's runs the event loop from its destructor.
        m_sink->deleteLater();
    }
    m_sink = new QAudioSink(device, format, this);
    // An open stream keeps a 20 ms tick running on this thread even in
    // silence; close it soon after the sound has played out, so that idle is
    // idle.
    connect(m_sink, &QAudioSink::stateChanged, this, [this, sink = m_sink](QAudio::State state) {
        if (sink != m_sink || !m_playing || state != QAudio::IdleState)
            return;
        if (m_sink->state() == QAudio::IdleState && m_written >= m_pcm.size())
            m_closeTimer.start();
    }, Qt::QueuedConnection);
    m_sinkDevice = device;
    m_sinkFormat = format;
    return m_sink;
}

std::int32_t QtWavePlayer::PlayWave(const std::string& fileName)
{
    // One sound at a time: every request ends the one still playing, even a
    // request that is then refused.
    stop();

    const std::shared_ptr<const DecodedWave> wave = m_cache.load(fileName);
    if (!wave)
        return 0;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return 0;
    const QAudioFormat format = chooseFormat(device, *wave);
    // Whole frames are queued below, so the frame size must be known.
    const qint64 frameBytes = format.bytesPerFrame();
    if (!format.isValid() || frameBytes <= 0)
        return 0;
    QByteArray pcm = RenderWave(*wave, format);
    if (pcm.isEmpty())
        return 0;

    QAudioSink* sink = sinkFor(device, format);
    // Set before every start: a reused sink otherwise keeps the (smaller)
    // size the server granted last time.
    sink->setBufferSize(static_cast<qsizetype>(format.bytesForDuration(kStreamBufferUs)));
    QIODevice* out = sink->start();
    if (out == nullptr || sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
        sink->stop();
        return 0;
    }
    // The server only starts a stream once its buffer is full; a sound
    // shorter than that gets trailing silence.
    const qsizetype granted = sink->bufferSize();
    if (pcm.size() < granted) {
        const qsizetype padded = (granted + frameBytes - 1) / frameBytes * frameBytes;
        pcm.append(QByteArray(padded - pcm.size(), format.sampleFormat() == QAudioFormat::UInt8 ? '\x80' : '\0'));
    }

    // Whole frames only: PulseAudio rejects a partial frame, and Qt 6.4's
    // sink stays locked up after such a rejected write.
    const qint64 upfront = std::min<qint64>(pcm.size(), kUpfrontBytes / frameBytes * frameBytes);
    const qint64 first = out->write(pcm.constData(), upfront);
    if (first <= 0 || sink->error() != QAudio::NoError) {
        sink->stop();
        return 0;
    }
    m_out = out;
    m_pcm = std::move(pcm);
    m_written = first;
    m_playing = true;
    if (m_written < m_pcm.size())
        m_feedTimer.start();
    return 1;
}

void QtWavePlayer::closeIfPlayedOut()
{
    if (m_playing && m_sink != nullptr && m_sink->state() == QAudio::IdleState && m_written >= m_pcm.size())
        stop();
}

void QtWavePlayer::feed()
{
    const qint64 frameBytes = m_sinkFormat.bytesPerFrame();
    if (m_sink == nullptr || m_out.isNull() || m_sink->state() == QAudio::StoppedState || frameBytes <= 0) {
        m_feedTimer.stop();
        return;
    }
    while (m_written < m_pcm.size()) {
        const qint64 room = m_sink->bytesFree() / frameBytes * frameBytes;
        if (room <= 0)
            return;
        const qint64 n =
            m_out->write(m_pcm.constData() + m_written, std::min<qint64>(room, m_pcm.size() - m_written));
        if (n <= 0)
            return;
        m_written += n;
    }
    m_feedTimer.stop();
}

} // namespace tolvex
