#include "monitor_recorder.h"

#include "wait_until.h"

#include <QRegularExpression>

#include <cstring>

namespace tolvex::testing {

MonitorRecorder::MonitorRecorder(QString source) : m_source(std::move(source)) {}

MonitorRecorder::~MonitorRecorder() { stop(); }

bool MonitorRecorder::start(int timeoutMs)
{
    // The recording stays on the monitor it names. PipeWire's session manager
    // would otherwise move it to the monitor of each new default output (the
    // fixtures keep PulseAudio from doing the same with a default source of
    // their own).
    m_process.start(QStringLiteral("parec"),
                    {QStringLiteral("-v"), QStringLiteral("--latency-msec=10"),
                     QStringLiteral("--property=node.dont-reconnect=true"), QStringLiteral("-d"), m_source,
                     QStringLiteral("--raw"), QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                     QStringLiteral("--channels=1")});
    if (!m_process.waitForStarted(timeoutMs)) return false;
    const auto flowing = [this] {
        take();
        return m_samples.size() >= kRate / 50;
    };
    waitUntil([&] { return flowing() || m_process.state() != QProcess::Running; },
              std::chrono::milliseconds(timeoutMs));
    return flowing();
}

void MonitorRecorder::take()
{
    while (m_process.waitForReadyRead(0)) {}
    m_pending += m_process.readAllStandardOutput();
    m_errors += m_process.readAllStandardError();
    const qsizetype whole = m_pending.size() / 2 * 2;
    if (whole == 0) return; // memcpy may not be handed the null data of an empty vector
    const std::size_t old = m_samples.size();
    m_samples.resize(old + static_cast<std::size_t>(whole / 2));
    std::memcpy(m_samples.data() + old, m_pending.constData(), static_cast<std::size_t>(whole));
    m_pending.remove(0, whole);
}

std::size_t MonitorRecorder::mark()
{
    take();
    return m_samples.size();
}

void MonitorRecorder::stop()
{
    if (m_process.state() == QProcess::NotRunning) return;
    take();
    m_process.terminate();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
    take();
}

double MonitorRecorder::reportedLatencyMs() const
{
    static const QRegularExpression latency(QStringLiteral("Latency: (-?\\d+) usec"));
    double last = 0.0;
    auto it = latency.globalMatch(QString::fromLatin1(m_errors));
    while (it.hasNext()) last = it.next().captured(1).toDouble() / 1000.0;
    return last;
}

QString MonitorRecorder::diagnostics() const { return QString::fromLatin1(m_errors.right(600)); }

} // namespace tolvex::testing
