// The player with no audio server to talk to: PULSE_SERVER names a socket
// that does not exist.

#include "pulse_wave_player.h"
#include "wave_files.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SoundWithoutServer, PlayerReturnsZeroAtOnce)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("Beep1.wav").toStdString();
    ASSERT_TRUE(tolvex::testing::WriteSineWave(path, 415.0, 0.3));

    QElapsedTimer clock;
    clock.start();
    tolvex::PulseWavePlayer player;
    EXPECT_LT(clock.elapsed(), 2000) << "making the player";
    EXPECT_TRUE(QMediaDevices::audioOutputs().isEmpty());

    for (int attempt = 0; attempt < 3; ++attempt) {
        clock.restart();
        EXPECT_EQ(player.PlayWave(path), 0) << "attempt " << attempt;
        EXPECT_LT(clock.elapsed(), 200) << "attempt " << attempt;
    }
}

} // namespace
