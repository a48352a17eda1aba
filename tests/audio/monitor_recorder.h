#pragma once

// Records an audio server's sink monitor with parec, as 44.1 kHz 16-bit mono.

#include "tone_analysis.h"

#include <QByteArray>
#include <QProcess>
#include <QString>

namespace tolvex::testing {

class MonitorRecorder {
public:
    static constexpr int kRate = 44100;

    explicit MonitorRecorder(QString source);
    ~MonitorRecorder();

    // Starts parec and returns once audio flows; false if it never does.
    bool start(int timeoutMs = 5000);
    // Takes in everything parec has delivered so far; returns the number of
    // samples recorded up to now.
    std::size_t mark();
    void stop();

    const Samples& samples() const { return m_samples; }
    // The latest latency that parec reports for its stream, in ms.
    double reportedLatencyMs() const;
    QString diagnostics() const;

private:
    void take();

    QString m_source;
    QProcess m_process;
    QByteArray m_pending;
    QByteArray m_errors;
    Samples m_samples;
};

} // namespace tolvex::testing
