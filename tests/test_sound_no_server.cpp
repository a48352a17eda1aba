// The player with no audio server to talk to: PULSE_SERVER names a socket
// that does not exist.

#include "pulse_wave_player.h"
#include "wave_files.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SoundWithoutServer, PlayerReturnsZeroForEveryAttempt)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("Beep1.wav").toStdString();
    ASSERT_TRUE(tolvex::testing::writeSineWave(path, 415.0, 0.3));

    tolvex::PulseWavePlayer player;
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    ASSERT_TRUE(pactl.waitForFinished(10000));
    EXPECT_NE(pactl.exitCode(), 0) << "a server answers where none should";

    for (int attempt = 0; attempt < 3; ++attempt) {
        EXPECT_EQ(player.PlayWave(path), 0) << "attempt " << attempt;
    }
}

} // namespace
