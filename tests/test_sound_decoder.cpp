#include "wave_decoder.h"
#include "damaged_waves.h"
#include "wave_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <string>

namespace {

using namespace tolvex;
using namespace tolvex::testing;

struct GoodCase {
    const char* name;
    int format;
    int rate;
    int channels;
    double tolerance; // of the encoding
    bool wholeBlocks; // block-coded: the last block is filled with silence
};

void PrintTo(const GoodCase& c, std::ostream* os) { *os << c.name; }

class DecodesWave : public ::testing::TestWithParam<GoodCase> {};

TEST_P(DecodesWave, GivesTheSamplesWritten)
{
    const GoodCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("tone.wav").toStdString();
    ASSERT_TRUE(writeSine(path, c.format, 415.0, 0.25, c.rate, c.channels));

    WaveRefusal why = WaveRefusal::Empty;
    const auto wave = decodeWaveFile(path, &why);
    ASSERT_TRUE(wave.has_value()) << waveRefusalName(why);
    EXPECT_EQ(why, WaveRefusal::None);
    EXPECT_EQ(wave->sampleRate, c.rate);
    EXPECT_EQ(wave->channels, c.channels);
    const std::int64_t written = std::llround(0.25 * c.rate);
    if (c.wholeBlocks) {
        EXPECT_GE(wave->frames(), written);
        EXPECT_LT(wave->frames(), written + 4096);
    } else {
        EXPECT_EQ(wave->frames(), written);
    }
    for (std::int64_t i = 0; i < std::min(written, wave->frames()); i += 97) {
        const double expected = 0.5 * std::sin(2.0 * std::numbers::pi * 415.0 * static_cast<double>(i) / c.rate);
        for (int ch = 0; ch < c.channels; ++ch)
            ASSERT_NEAR(wave->samples[static_cast<std::size_t>(i * c.channels + ch)], expected, c.tolerance)
                << "frame " << i << " channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodesWave,
    ::testing::Values(GoodCase{"Pcm16Mono44k", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, 1.0 / 16384, false},
                      GoodCase{"Pcm24Stereo48k", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 2, 1.0 / 16384, false},
                      GoodCase{"FloatMono22k", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, 1, 1e-6, false},
                      GoodCase{"Unsigned8Mono8k", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 8000, 1, 1.0 / 64, false},
                      GoodCase{"ImaAdpcmMono", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 44100, 1, 0.05, true},
                      GoodCase{"WavexPcm16Stereo", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 44100, 2, 1.0 / 16384, false}),
    [](const auto& info) { return std::string(info.param.name); });

class RefusesFile : public ::testing::TestWithParam<DamagedWave> {};

TEST_P(RefusesFile, ForItsReason)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("Beep1.wav").toStdString();
    ASSERT_TRUE(GetParam().make(path));

    WaveRefusal why = WaveRefusal::None;
    EXPECT_FALSE(decodeWaveFile(path, &why).has_value());
    EXPECT_STREQ(waveRefusalName(why), waveRefusalName(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Damaged, RefusesFile, ::testing::ValuesIn(damagedWaves()),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(decodeWaveFile, AcceptsExactlyTenSeconds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("long.wav").toStdString();
    ASSERT_TRUE(writeSineWave(path, 252.0, kMaxWaveSeconds, 8000));
    const auto wave = decodeWaveFile(path);
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->frames(), 80000);
}

} // namespace
