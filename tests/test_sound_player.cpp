// Playback through a real audio server: the tests run against a private
// server (PulseAudio, or PipeWire with its pulse server) whose default sink
// is a null sink, and listen to that sink's monitor. A second null sink,
// <sink>_b, stands for another output the desktop may switch to.

#include "damaged_waves.h"
#include "monitor_recorder.h"
#include "pulse_wave_player.h"
#include "tone_analysis.h"
#include "tone_files.h"
#include "wave_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>
#include <pulse/stream.h>
#include <sndfile.h>

#include <array>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <optional>
#include <string>

// While set, writes to a paused stream (any new one) get a part frame more, which libpulse refuses.
static std::atomic<bool> g_refusePausedWrites{false};
// NOLINTNEXTLINE(readability-identifier-naming): replaces libpulse's in this program, doing as it does.
extern "C" int pa_stream_write(pa_stream* s, const void* data, std::size_t n, pa_free_cb_t freeCb, std::int64_t offset,
                               pa_seek_mode_t seek)
{
    const bool refuse = g_refusePausedWrites && pa_stream_is_corked(s) == 1;
    return pa_stream_write_ext_free(s, data, n + (refuse ? 1 : 0), freeCb, const_cast<void*>(data), offset, seek);
}

namespace {

using namespace tolvex;
using namespace tolvex::testing;

constexpr int kRate = MonitorRecorder::kRate;
constexpr std::array<double, 4> kPadHz = {415.0, 252.0, 209.0, 310.0};
// Above any noise of a null sink (which is exact silence), far below the
// 0.5 amplitude of the test tones.
constexpr int kLoud = 1000;

std::size_t samplesFor(double ms) { return static_cast<std::size_t>(ms * kRate / 1000.0); }

double toMs(double samples) { return samples * 1000.0 / kRate; }

bool runPactl(const QStringList& args)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), args);
    return pactl.waitForFinished(5000) && pactl.exitStatus() == QProcess::NormalExit && pactl.exitCode() == 0;
}

QStringList pactlLines(const QStringList& args)
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), args);
    if (!pactl.waitForFinished(5000) || pactl.exitCode() != 0) return {};
    return QString::fromUtf8(pactl.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The streams playing into `sink`, by index, as the server lists them;
// nullopt when the server cannot be asked.
std::optional<QStringList> streamsOn(const QString& sink)
{
    QString sinkIndex;
    for (const QString& line : pactlLines({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")})) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() > 1 && f[1] == sink) sinkIndex = f[0];
    }
    if (sinkIndex.isEmpty()) return std::nullopt;
    QStringList streams;
    for (const QString& line :
         pactlLines({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sink-inputs")})) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() > 1 && f[1] == sinkIndex) streams.append(f[0]);
    }
    return streams;
}

// Moves stream `input` to `sink`, as a mixer does, again while PipeWire's
// session manager leaves the move unheeded, until the server lists it there.
bool moveStream(const QString& input, const QString& sink)
{
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!runPactl({QStringLiteral("move-sink-input"), input, sink})) return false;
        if (QTest::qWaitFor([&] { return streamsOn(sink).value_or(QStringList()).contains(input); }, 1000)) return true;
    }
    return false;
}

// Whether the one stream playing into `sink` is paused; nullopt when there
// is not exactly one, or the server cannot be asked.
std::optional<bool> streamCorked(const QString& sink)
{
    const std::optional<QStringList> streams = streamsOn(sink);
    if (!streams || streams->size() != 1) return std::nullopt;
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"),
                {QStringLiteral("-f"), QStringLiteral("json"), QStringLiteral("list"), QStringLiteral("sink-inputs")});
    if (!pactl.waitForFinished(5000) || pactl.exitCode() != 0) return std::nullopt;
    for (const QJsonValue v : QJsonDocument::fromJson(pactl.readAllStandardOutput()).array()) {
        const QJsonObject input = v.toObject();
        if (QString::number(input.value(QStringLiteral("index")).toInt()) == streams->first())
            return input.value(QStringLiteral("corked")).toBool();
    }
    return std::nullopt;
}

QString defaultSink()
{
    const QStringList lines = pactlLines({QStringLiteral("get-default-sink")});
    return lines.isEmpty() ? QString() : lines.first().trimmed();
}

// RUNNING, IDLE or SUSPENDED, as the server lists `sink`.
QString sinkState(const QString& sink)
{
    for (const QString& line : pactlLines({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sinks")})) {
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() > 4 && f[1] == sink) return f[4].trimmed();
    }
    return {};
}

// The folder of the socket that PULSE_SERVER names ("unix:<folder>/native").
QString recordedSocketDir()
{
    const QString socket = qEnvironmentVariable("PULSE_SERVER");
    return socket.startsWith(QStringLiteral("unix:")) ? socket.mid(5, socket.lastIndexOf(QLatin1Char('/')) - 5)
                                                      : QString();
}

// The process that serves PULSE_SERVER: PulseAudio, whose pid file lies
// beside its socket, or PipeWire's pulse server, recorded by its start
// script; 0 if neither is found.
pid_t serverPid()
{
    const QString state = qEnvironmentVariable("TOLVEX_AUDIO_STATE");
    for (const QString& path :
         {recordedSocketDir() + QStringLiteral("/pid"), state + QStringLiteral("/pids/pipewire-pulse")}) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) return static_cast<pid_t>(f.readAll().trimmed().toLong());
    }
    return 0;
}

// Makes `sink` the default output and waits until the server reports it
// (PipeWire's session manager takes it up a moment later).
bool switchDefaultSink(const QString& sink)
{
    if (!runPactl({QStringLiteral("set-default-sink"), sink})) return false;
    QElapsedTimer clock;
    clock.start();
    while (defaultSink() != sink) {
        if (clock.elapsed() > 5000) return false;
        QTest::qWait(20);
    }
    return true;
}

// "pipewire" or "pulse": the server the test plays on, PipeWire's pulse
// server or PulseAudio; empty when it cannot be asked.
QString serverKind()
{
    static const QString server = [] {
        for (const QString& line : pactlLines({QStringLiteral("info")}))
            if (line.startsWith(QStringLiteral("Server Name:")))
                return line.contains(QStringLiteral("PipeWire")) ? QStringLiteral("pipewire") : QStringLiteral("pulse");
        return QString();
    }();
    return server;
}

// Makes the usual output the default again when it goes, whatever happened
// meanwhile: the next tests expect it.
struct RestoreDefaultSink {
    RestoreDefaultSink() = default;
    RestoreDefaultSink(const RestoreDefaultSink&) = delete;
    RestoreDefaultSink& operator=(const RestoreDefaultSink&) = delete;
    ~RestoreDefaultSink() { switchDefaultSink(QStringLiteral(TOLVEX_TEST_SINK)); }
};

// Runs the script that starts or stops ("start", "stop") the server the test
// plays on. Started again, it listens on the socket that PULSE_SERVER names,
// as a desktop's server does.
bool runServerScript(const QString& action)
{
    const QString server = serverKind();
    const QString state = qEnvironmentVariable("TOLVEX_AUDIO_STATE");
    const QString socketDir = recordedSocketDir();
    if (server.isEmpty() || state.isEmpty() || socketDir.isEmpty()) return false;
    QProcess sh;
    sh.setProcessChannelMode(QProcess::ForwardedChannels);
    sh.start(QStringLiteral("sh"), {QStringLiteral(TOLVEX_AUDIO_SCRIPTS "/%1_%2.sh").arg(server, action), state,
                                    QStringLiteral(TOLVEX_TEST_SINK), socketDir});
    return sh.waitForFinished(60000) && sh.exitStatus() == QProcess::NormalExit && sh.exitCode() == 0;
}

class SoundPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_oldCwd = QDir::currentPath();
        // Tone names are relative to the working directory.
        ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
        ASSERT_FALSE(defaultSink().isEmpty()) << "no audio output: is the test server up?";
        PulseWavePlayer::Testing::setLog(m_player, [this](const std::string& line) { m_logged.push_back(line); });
    }

    void TearDown() override
    {
        QDir::setCurrent(m_oldCwd);
        EXPECT_EQ(PulseWavePlayer::Testing::faults(m_player), 0) << "a change of phase outside the table";
    }

    void startRecording() { ASSERT_TRUE(m_recorder.start()) << m_recorder.diagnostics().toStdString(); }

    // Starts `name` and returns the recording position of the request.
    std::size_t play(const std::string& name, qint64* callMs = nullptr)
    {
        const std::size_t at = m_recorder.mark();
        QElapsedTimer clock;
        clock.start();
        EXPECT_NE(m_player.PlayWave(name), 0) << name;
        if (callMs != nullptr) *callMs = clock.elapsed();
        return at;
    }

    // Lets the recorder run until it holds `ms` past sample `from`.
    static bool RecordUntil(MonitorRecorder& recorder, std::size_t from, double ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (recorder.mark() < from + samplesFor(ms)) {
            if (clock.elapsed() > 5000 + static_cast<qint64>(ms)) return false;
            QTest::qWait(10);
        }
        return true;
    }

    // Records the second sink as well.
    void startRecordingBoth()
    {
        startRecording();
        ASSERT_TRUE(m_recorderB.start()) << m_recorderB.diagnostics().toStdString();
    }

    // Asks for `file` and lets both recordings run 400 ms past the request,
    // whose place in each it gives.
    void playRecordingBoth(const char* file, std::size_t& atA, std::size_t& atB)
    {
        atA = m_recorder.mark();
        atB = m_recorderB.mark();
        ASSERT_NE(m_player.PlayWave(file), 0) << file;
        ASSERT_TRUE(RecordUntil(m_recorder, atA, 400));
        ASSERT_TRUE(RecordUntil(m_recorderB, atB, 400));
    }

    // `what`, a tone of `hz` asked for at `from` of `s`, sounds there at its
    // pitch over `ms` from just past its onset.
    static void ExpectHeard(const Samples& s, std::size_t from, double hz, const std::string& what, double ms = 200)
    {
        const long onset = firstLoudSample(s, from, kLoud);
        ASSERT_GE(onset, 0) << what << " not heard";
        const std::size_t begin = static_cast<std::size_t>(onset) + samplesFor(30);
        EXPECT_NEAR(steadyFrequency(s, begin, samplesFor(ms), kRate), hz, hz * 0.02)
            << what << "; by part " << ::testing::PrintToString(partFrequencies(s, begin, samplesFor(ms), kRate));
    }

    // ...there alone: nothing sounds in `silent` from `fromSilent` on.
    static void ExpectHeardOnlyOn(const Samples& heard, std::size_t from, const Samples& silent, std::size_t fromSilent,
                                  double hz, const std::string& what)
    {
        ExpectHeard(heard, from, hz, what);
        EXPECT_LE(peakMagnitude(silent, fromSilent, samplesFor(400)), 16) << what << " also heard on the other sink";
    }

    QTemporaryDir m_dir;
    QString m_oldCwd;
    MonitorRecorder m_recorder{QStringLiteral(TOLVEX_TEST_SINK ".monitor")};
    MonitorRecorder m_recorderB{QStringLiteral(TOLVEX_TEST_SINK "_b.monitor")};
    std::vector<std::string> m_logged; // what the player logs, in order; outlives it
    PulseWavePlayer m_player;
};

TEST_F(SoundPlayerTest, EachPadSoundsAtItsPitch)
{
    for (std::size_t pad = 0; pad < kPadHz.size(); ++pad)
        ASSERT_TRUE(writeSineWave("Beep" + std::to_string(pad + 1) + ".wav", kPadHz[pad], 0.3));
    startRecording();

    std::array<std::size_t, 4> requested{};
    std::array<qint64, 4> callMs{};
    for (std::size_t pad = 0; pad < kPadHz.size(); ++pad) {
        requested[pad] = play("Beep" + std::to_string(pad + 1) + ".wav", &callMs[pad]);
        ASSERT_TRUE(RecordUntil(m_recorder, requested[pad], 450));
    }
    m_recorder.stop();
    const Samples& s = m_recorder.samples();

    for (std::size_t pad = 0; pad < kPadHz.size(); ++pad) {
        const long onset = firstLoudSample(s, requested[pad], kLoud);
        ASSERT_GE(onset, 0) << "pad " << pad << " was not heard";
        const double latencyMs = toMs(static_cast<double>(onset - static_cast<long>(requested[pad])));
        const double hz =
            dominantFrequency(s, static_cast<std::size_t>(onset) + samplesFor(30), samplesFor(250), kRate);
        std::printf("pad %zu: %.1f Hz recorded (tone %.0f Hz); call %lld ms; request to first sound %.1f ms "
                    "(parec reports %.1f ms latency)\n",
                    pad, hz, kPadHz[pad], static_cast<long long>(callMs[pad]), latencyMs,
                    m_recorder.reportedLatencyMs());
        EXPECT_NEAR(hz, kPadHz[pad], kPadHz[pad] * 0.02) << "pad " << pad;
        // Heard in answer to its own request, before the next one; how soon
        // is measured by the benchmark, not judged here.
        if (pad + 1 < kPadHz.size()) {
            EXPECT_LT(static_cast<std::size_t>(onset), requested[pad + 1]) << "pad " << pad;
        }
    }
}

TEST_F(SoundPlayerTest, NewRequestCutsTheSoundStillPlaying)
{
    ASSERT_TRUE(writeSineWave("Ham1.wav", kPadHz[0], 2.0));
    ASSERT_TRUE(writeSineWave("Ham2.wav", kPadHz[1], 2.0));
    startRecording();

    const std::size_t first = play("Ham1.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, first, 400));
    const std::size_t second = play("Ham2.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, second, 700));
    m_recorder.stop();
    const Samples& s = m_recorder.samples();
    ASSERT_GT(s.size(), second + samplesFor(600));

    const long onset = firstLoudSample(s, first, kLoud);
    ASSERT_GE(onset, 0);
    ASSERT_LT(static_cast<std::size_t>(onset), second);
    const double firstBefore = toneLevel(s, static_cast<std::size_t>(onset) + samplesFor(20),
                                         second - onset - samplesFor(20), kRate, kPadHz[0]);
    // Generous slack for the time the new stream takes to start.
    const std::size_t after = second + samplesFor(200);
    const double firstAfter = toneLevel(s, after, samplesFor(400), kRate, kPadHz[0]);
    const double secondAfter = toneLevel(s, after, samplesFor(400), kRate, kPadHz[1]);
    std::printf("before the second request: %.3f at %.0f Hz; after: %.4f at %.0f Hz, %.3f at %.0f Hz\n", firstBefore,
                kPadHz[0], firstAfter, kPadHz[0], secondAfter, kPadHz[1]);
    EXPECT_GT(firstBefore, 0.2);
    EXPECT_GT(secondAfter, 0.2);
    EXPECT_LT(firstAfter, 0.01);
}

TEST_F(SoundPlayerTest, SilenceWhenNothingIsRequested)
{
    startRecording();
    const std::size_t from = m_recorder.mark();
    ASSERT_TRUE(RecordUntil(m_recorder, from, 500));
    m_recorder.stop();
    const Samples& s = m_recorder.samples();
    ASSERT_GT(s.size(), from + samplesFor(400)) << "the recording did not run";
    EXPECT_LE(peakMagnitude(s, from, s.size() - from), 16);
}

TEST_F(SoundPlayerTest, OtherWaveShapesPlayAtTheirPitch)
{
    struct Shape {
        const char* name;
        int format;
        int rate;
        int channels;
    };
    const std::array<Shape, 4> shapes = {{
        {"float-stereo-48k.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2},
        {"u8-mono-22k.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 22050, 1},
        {"pcm24-4ch-96k.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 96000, 4},
        {"adpcm-mono-44k.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 44100, 1},
    }};
    for (const Shape& shape : shapes)
        ASSERT_TRUE(writeSine(shape.name, shape.format, kPadHz[2], 0.4, shape.rate, shape.channels)) << shape.name;
    startRecording();

    std::array<std::size_t, 4> requested{};
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        requested[i] = play(shapes[i].name);
        ASSERT_TRUE(RecordUntil(m_recorder, requested[i], 400));
    }
    m_recorder.stop();
    const Samples& s = m_recorder.samples();
    for (std::size_t i = 0; i < shapes.size(); ++i) ExpectHeard(s, requested[i], kPadHz[2], shapes[i].name, 300);
}

// Shorter than the stream's buffer, which the server waits to see filled
// before it starts playing.
TEST_F(SoundPlayerTest, VeryShortSoundIsHeard)
{
    ASSERT_TRUE(writeSineWave("click.wav", kPadHz[0], 0.02));
    startRecording();
    const std::size_t at = play("click.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, at, 1000)); // well past its onset, even on a busy machine
    m_recorder.stop();
    const Samples& s = m_recorder.samples();
    const long onset = firstLoudSample(s, at, kLoud);
    ASSERT_GE(onset, 0) << "not heard";
    // Heard for its own length, then silence.
    EXPECT_GT(peakMagnitude(s, static_cast<std::size_t>(onset), samplesFor(15)), 10000);
    EXPECT_EQ(firstLoudSample(s, static_cast<std::size_t>(onset) + samplesFor(40), kLoud), -1);
}

// More than is queued in the request itself (under half a second): the rest
// is fed from libpulse's thread, so the tone must still sound after it.
TEST_F(SoundPlayerTest, LongSoundIsFedToTheEnd)
{
    // 96 kHz, 6 channels, float: 2.3 MB a second to decode and render.
    ASSERT_TRUE(writeSine("long.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, kPadHz[3], 1.2, 96000, 6));
    startRecording();
    const std::size_t at = play("long.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, at, 1100));
    m_recorder.stop();
    const Samples& s = m_recorder.samples();
    const long onset = firstLoudSample(s, at, kLoud);
    ASSERT_GE(onset, 0);
    const double late =
        toneLevel(s, static_cast<std::size_t>(onset) + samplesFor(700), samplesFor(300), kRate, kPadHz[3]);
    EXPECT_GT(late, 0.2);
}

// Between sounds the stream stays: it is opened before the first sound,
// paused once the sound has played out (on PipeWire, which is slow to resume
// it, only after as long as a player may take to answer: the default output's
// samples time that), and none is opened after a silence. An
// output with nothing else to play may then suspend (PulseAudio's module for
// it, loaded here for a sink of its own; PipeWire's session manager suspends
// idle outputs by itself). The player is sent there with PULSE_SINK, so that
// the server's default, which PipeWire's session manager remembers, never
// changes.
TEST_F(SoundPlayerTest, AQuietGameKeepsItsStreamButNoOutputRunning)
{
    const QString idle = QStringLiteral(TOLVEX_TEST_SINK "_idle");
    QStringList modules;
    struct Restore {
        QStringList& modules;
        ~Restore()
        {
            ::unsetenv("PULSE_SINK");
            for (const QString& m : modules) runPactl({QStringLiteral("unload-module"), m});
        }
    } restore{modules};
    const auto load = [&](const QStringList& args) {
        const QStringList out = pactlLines(QStringList{QStringLiteral("load-module")} + args);
        if (!out.isEmpty()) modules.append(out.first().trimmed());
        return !out.isEmpty();
    };
    ASSERT_TRUE(load({QStringLiteral("module-null-sink"), QStringLiteral("sink_name=") + idle}));
    load({QStringLiteral("module-suspend-on-idle"), QStringLiteral("timeout=1")}); // PulseAudio only
    ASSERT_TRUE(writeSineWave("Beep1.wav", kPadHz[0], 0.2));
    ASSERT_TRUE(streamsOn(idle)) << "the server cannot be asked";
    ASSERT_EQ(::setenv("PULSE_SINK", idle.toUtf8().constData(), 1), 0);
    startRecording();
    {
        PulseWavePlayer player;
        ASSERT_TRUE(QTest::qWaitFor([&] { return streamsOn(idle).value_or(QStringList()).size() == 1; }, 5000));
        const std::size_t at = m_recorder.mark();
        ASSERT_NE(player.PlayWave("Beep1.wav"), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sinkState(idle) == QStringLiteral("RUNNING"); }, 5000));
        ASSERT_TRUE(RecordUntil(m_recorder, at, 2000));
        const bool running = serverKind() == QStringLiteral("pipewire");
        EXPECT_EQ(streamCorked(idle), std::optional<bool>(!running)) << "1.8 s after the sound";
        ASSERT_TRUE(QTest::qWaitFor([&] { return sinkState(idle) == QStringLiteral("SUSPENDED"); }, 20000));
        EXPECT_EQ(streamCorked(idle), std::optional<bool>(true)) << "the stream was closed, or still runs";
    }
}

// A server that stops answering while the stream is open: the next request
// is refused within the player's bound, and the sound never starts behind
// the refusal; once the server answers again, so does the player.
TEST_F(SoundPlayerTest, AServerThatStopsAnsweringIsNoticedByTheNextRequest)
{
    ASSERT_TRUE(writeSineWave("Beep1.wav", kPadHz[0], 0.3));
    ASSERT_TRUE(writeSineWave("Beep4.wav", kPadHz[3], 0.3));
    const pid_t server = serverPid();
    ASSERT_GT(server, 0);
    startRecording();
    // Played out before the server stops, so that what follows is silence.
    ASSERT_TRUE(RecordUntil(m_recorder, play("Beep1.wav"), 400));
    ASSERT_EQ(::kill(server, SIGSTOP), 0);
    struct Resume {
        pid_t pid;
        ~Resume() { ::kill(pid, SIGCONT); }
    } resume{server};
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(m_player.PlayWave("Beep1.wav"), 0);
    EXPECT_LT(clock.elapsed(), 1000); // bounded, not hung; the bound itself is make bench's
    EXPECT_EQ(m_logged, std::vector<std::string>{"no sound: the audio server did not answer in time"});
    ASSERT_EQ(::kill(server, SIGCONT), 0);
    const std::size_t resumed = m_recorder.mark();
    ASSERT_TRUE(RecordUntil(m_recorder, resumed, 300));
    EXPECT_EQ(firstLoudSample(m_recorder.samples(), resumed, kLoud), -1) << "the refused sound played later";
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_player.PlayWave("Beep1.wav") != 0; }, 5000));
    const std::size_t at = play("Beep4.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, at, 400));
    m_recorder.stop();
    ExpectHeard(m_recorder.samples(), at, kPadHz[3], "Beep4.wav once the server answered again");
}

TEST_F(SoundPlayerTest, FileChangedOrGoneSincePlayedIsNoticed)
{
    ASSERT_TRUE(writeSineWave("Ram1.wav", kPadHz[0], 0.3));
    startRecording();
    const std::size_t first = play("Ram1.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, first, 400));

    // Replaced by a longer tone of another pitch: the new contents play.
    ASSERT_TRUE(QFile::remove("Ram1.wav"));
    ASSERT_TRUE(writeSineWave("Ram1.wav", kPadHz[1], 0.4));
    const std::size_t second = play("Ram1.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, second, 450));

    ASSERT_TRUE(QFile::remove("Ram1.wav"));
    EXPECT_EQ(m_player.PlayWave("Ram1.wav"), 0);
    m_recorder.stop();

    ExpectHeard(m_recorder.samples(), first, kPadHz[0], "Ram1.wav as first written");
    ExpectHeard(m_recorder.samples(), second, kPadHz[1], "Ram1.wav as replaced");
}

// The desktop switches its output while the game runs: the first tone after
// each switch sounds on the new default, and on it alone.
TEST_F(SoundPlayerTest, ToneFollowsTheDefaultOutput)
{
    const QString sinkA = QStringLiteral(TOLVEX_TEST_SINK);
    const QString sinkB = QStringLiteral(TOLVEX_TEST_SINK "_b");
    const RestoreDefaultSink restore;
    ASSERT_TRUE(writeSineWave("Beep1.wav", kPadHz[0], 0.3));
    ASSERT_TRUE(writeSineWave("Beep2.wav", kPadHz[1], 0.3));
    ASSERT_TRUE(writeSineWave("Beep3.wav", kPadHz[2], 0.3));
    ASSERT_NO_FATAL_FAILURE(startRecordingBoth());

    struct Tone {
        const char* file;
        double hz;
        bool onA;
        std::size_t atA = 0, atB = 0;
    };
    std::array<Tone, 3> tones = {
        {{"Beep1.wav", kPadHz[0], true}, {"Beep2.wav", kPadHz[1], false}, {"Beep3.wav", kPadHz[2], true}}};
    for (Tone& tone : tones) {
        ASSERT_TRUE(switchDefaultSink(tone.onA ? sinkA : sinkB));
        ASSERT_NO_FATAL_FAILURE(playRecordingBoth(tone.file, tone.atA, tone.atB));
    }
    m_recorder.stop();
    m_recorderB.stop();

    const Samples& onA = m_recorder.samples();
    const Samples& onB = m_recorderB.samples();
    for (const Tone& tone : tones) {
        const std::string what = std::string(tone.file) + (tone.onA ? " on the first sink" : " on the second sink");
        if (tone.onA)
            ExpectHeardOnlyOn(onA, tone.atA, onB, tone.atB, tone.hz, what);
        else
            ExpectHeardOnlyOn(onB, tone.atB, onA, tone.atA, tone.hz, what);
    }
}

// The default output changes and a mixer keeps the stream on the old one,
// so the sound goes to a new stream, which refuses it: that request alone is
// refused, with one line in the log and without ending the program.
TEST_F(SoundPlayerTest, ARefusedWriteOnTheNewOutputRefusesThatRequestAlone)
{
    const QString sinkA = QStringLiteral(TOLVEX_TEST_SINK);
    const QString sinkB = QStringLiteral(TOLVEX_TEST_SINK "_b");
    const RestoreDefaultSink restore;
    // Silence that keeps the stream running, so that the server moves it at once.
    ASSERT_TRUE(writeSineWave("Beep1.wav", 0.0, 8.0));
    ASSERT_TRUE(writeSineWave("Beep2.wav", kPadHz[1], 0.3));
    ASSERT_NE(m_player.PlayWave("Beep1.wav"), 0);
    ASSERT_TRUE(switchDefaultSink(sinkB));
    ASSERT_TRUE(QTest::qWaitFor([&] { return streamsOn(sinkB).value_or(QStringList()).size() == 1; }, 5000));
    ASSERT_TRUE(moveStream(streamsOn(sinkB)->first(), sinkA));
    // PipeWire may tell the player of the move after it answers its next question.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return PulseWavePlayer::Testing::device(m_player) == sinkA.toStdString(); }, 5000));

    g_refusePausedWrites = true;
    EXPECT_EQ(m_player.PlayWave("Beep2.wav"), 0);
    // A server that keeps failing new streams: no more lines, and none when a stream merely opens.
    for (int press = 0; press < 2; ++press) EXPECT_EQ(m_player.PlayWave("Beep2.wav"), 0) << press;
    g_refusePausedWrites = false;
    EXPECT_EQ(m_logged, std::vector<std::string>{"no sound: the audio stream did not take the sound"});

    // The next one plays: the server confirms it, and sound is back in the log.
    EXPECT_NE(m_player.PlayWave("Beep2.wav"), 0);
    EXPECT_EQ(m_logged,
              (std::vector<std::string>{"no sound: the audio stream did not take the sound", "sound works again"}));
}

// Out of Idle, changes outside the table, and Closed without fall()'s reason, are refused.
TEST_F(SoundPlayerTest, AChangeOutsideTheTableIsRefused)
{
    using P = PulseWavePlayer::Phase;
    ASSERT_TRUE(writeSineWave("Beep1.wav", kPadHz[0], 0.3));
    PulseWavePlayer player;
    ASSERT_TRUE(QTest::qWaitFor([&] { return PulseWavePlayer::Testing::phase(player) == P::Idle; }, 5000));
    for (const P to : {P::Closed, P::Opening, P::Idle, P::Reopening, P::Playing, P::Warm})
        EXPECT_TRUE(!PulseWavePlayer::Testing::enter(player, to) && PulseWavePlayer::Testing::phase(player) == P::Idle)
            << static_cast<int>(to);
    EXPECT_EQ(PulseWavePlayer::Testing::faults(player), 6);
    EXPECT_NE(player.PlayWave("Beep1.wav"), 0);
}

// A mixer moved the game's stream to another output: the next tone plays
// there, where the player sent it, and not on the default.
TEST_F(SoundPlayerTest, AStreamMovedByAMixerStaysWhereItWasSent)
{
    const QString sinkA = QStringLiteral(TOLVEX_TEST_SINK);
    const QString sinkB = QStringLiteral(TOLVEX_TEST_SINK "_b");
    // Eight seconds of silence keep the stream running, as between the presses
    // of a game, however long pactl takes; PipeWire's session manager may
    // leave a paused stream where it was until it runs again.
    ASSERT_TRUE(writeSineWave("Beep1.wav", 0.0, 8.0));
    ASSERT_TRUE(writeSineWave("Beep2.wav", kPadHz[1], 0.3));
    ASSERT_NO_FATAL_FAILURE(startRecordingBoth());

    const std::size_t first = play("Beep1.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, first, 150));
    const std::optional<QStringList> ours = streamsOn(sinkA);
    ASSERT_TRUE(ours && ours->size() == 1);
    ASSERT_TRUE(moveStream(ours->first(), sinkB));

    std::size_t atA = 0, atB = 0;
    ASSERT_NO_FATAL_FAILURE(playRecordingBoth("Beep2.wav", atA, atB));
    m_recorder.stop();
    m_recorderB.stop();
    ExpectHeardOnlyOn(m_recorderB.samples(), atB, m_recorder.samples(), atA, kPadHz[1],
                      "Beep2.wav where the mixer sent it");
}

// The audio server goes away and comes back: refusals without a crash while
// it is gone, tones again once it runs.
TEST_F(SoundPlayerTest, TonesComeBackWhenTheServerRunsAgain)
{
    ASSERT_TRUE(writeSineWave("Beep1.wav", kPadHz[0], 0.3));
    ASSERT_TRUE(writeSineWave("Beep4.wav", kPadHz[3], 0.3));
    ASSERT_NE(m_player.PlayWave("Beep1.wav"), 0);

    ASSERT_TRUE(runServerScript(QStringLiteral("stop"))) << "stopping the server";
    for (int attempt = 0; attempt < 3; ++attempt) {
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(m_player.PlayWave("Beep1.wav"), 0) << "attempt " << attempt;
        EXPECT_LT(clock.elapsed(), 1000) << "attempt " << attempt; // bounded, not hung; latency is make bench's
    }
    // One line for the whole time without sound, whichever part of the
    // server's going the player noticed first.
    ASSERT_EQ(m_logged.size(), 1u);
    EXPECT_EQ(m_logged[0].rfind("no sound: ", 0), 0u) << m_logged[0];

    ASSERT_TRUE(runServerScript(QStringLiteral("start"))) << "starting the server again";
    // Each refusal, if any, is quick; the first taken tone ends the wait.
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_player.PlayWave("Beep1.wav") != 0; }, 5000));
    startRecording();
    const std::size_t at = play("Beep4.wav");
    ASSERT_TRUE(RecordUntil(m_recorder, at, 400));
    m_recorder.stop();
    EXPECT_EQ(m_logged, (std::vector<std::string>{m_logged[0], "sound works again"}));
    ExpectHeard(m_recorder.samples(), at, kPadHz[3], "Beep4.wav after the server came back");
}

// Each damaged file is refused, and refused again, by a player that has just played a
// good file (so that the output itself is known to work).
class RefusedFileTest : public SoundPlayerTest, public ::testing::WithParamInterface<DamagedWave> {};

TEST_P(RefusedFileTest, ReturnsZeroEachTime)
{
    ASSERT_TRUE(writeSineWave("good.wav", kPadHz[0], 0.2));
    ASSERT_NE(m_player.PlayWave("good.wav"), 0);

    ASSERT_TRUE(GetParam().make("Campana1.wav"));
    EXPECT_EQ(m_player.PlayWave("Campana1.wav"), 0);
    // And once more, now that the player has seen the file.
    EXPECT_EQ(m_player.PlayWave("Campana1.wav"), 0);
}

INSTANTIATE_TEST_SUITE_P(Damaged, RefusedFileTest, ::testing::ValuesIn(damagedWaves()),
                         [](const auto& info) { return std::string(info.param.label); });

// The sixteen tone files of the game, as shipped.
TEST_F(SoundPlayerTest, ShippedTonesAllPlay)
{
    const QDir tones(QStringLiteral(TOLVEX_TONE_DIR));
    ASSERT_TRUE(QDir::setCurrent(tones.path())) << TOLVEX_TONE_DIR;
    startRecording();
    const SoundNaming naming = shippedNaming();

    struct Played {
        std::string name;
        std::size_t pad;
        std::size_t at;
    };
    std::vector<Played> played;
    for (int set = 1; set <= 4; ++set) {
        for (int pad = 0; pad < 4; ++pad) {
            const std::string name = toneFileName(naming, set, pad);
            played.push_back({name, static_cast<std::size_t>(pad), play(name)});
            ASSERT_TRUE(RecordUntil(m_recorder, played.back().at, 250));
        }
    }
    const std::size_t end = m_recorder.mark();
    m_recorder.stop();
    const Samples& s = m_recorder.samples();
    // Each tone is cut by the next request while still sounding. Its pitch
    // is measured from 20 ms after it is first heard, past the onset, until
    // the next request: the cut shows in the recording only after that, so
    // the window holds the tone alone, never its flushed tail or silence.
    for (std::size_t i = 0; i < played.size(); ++i) {
        const long onset = firstLoudSample(s, played[i].at, kLoud);
        ASSERT_GE(onset, 0) << played[i].name << " was not heard";
        const std::size_t from = static_cast<std::size_t>(onset) + samplesFor(20);
        const std::size_t until = i + 1 < played.size() ? played[i + 1].at : end;
        ASSERT_GT(until, from + samplesFor(100)) << played[i].name << " started late";
        const double hz = dominantFrequency(s, from, until - from, kRate);
        std::printf("%-13s %6.1f Hz strongest (pad pitch %.0f Hz), peak %d\n", played[i].name.c_str(), hz,
                    kPadHz[played[i].pad], peakMagnitude(s, from, until - from));
        EXPECT_GT(peakMagnitude(s, from, until - from), kLoud) << played[i].name << " was not heard";
        EXPECT_NEAR(hz, kPadHz[played[i].pad], kPadHz[played[i].pad] * 0.02) << played[i].name;
    }
}

} // namespace
