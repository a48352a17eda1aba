// Turning decoded samples into the bytes a stream of a given format takes,
// and the stream a sound plays on.
#include "stream_placement.h"
#include "wave_render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

using namespace tolvex;

namespace {

StreamFormat formatOf(int rate, int channels) { return {rate, channels}; }

DecodedWave waveOf(int rate, int channels, std::vector<float> samples)
{
    DecodedWave w;
    w.sampleRate = rate;
    w.channels = channels;
    w.samples = std::move(samples);
    return w;
}

std::vector<std::int16_t> int16s(const QByteArray& bytes)
{
    std::vector<std::int16_t> v(static_cast<std::size_t>(bytes.size()) / 2);
    std::memcpy(v.data(), bytes.constData(), v.size() * 2);
    return v;
}

struct SizeCase {
    const char* name;
    int inRate, inChannels, inFrames;
    int outRate, outChannels;
    qsizetype expectedBytes;
};

class RenderSize : public ::testing::TestWithParam<SizeCase> {};

// Every output frame is whole, and resampling keeps the duration.
TEST_P(RenderSize, HoldsWholeFramesForTheSameDuration)
{
    const SizeCase& c = GetParam();
    const DecodedWave wave =
        waveOf(c.inRate, c.inChannels, std::vector<float>(static_cast<std::size_t>(c.inFrames * c.inChannels), 0.25f));
    const QByteArray out = renderWave(wave, formatOf(c.outRate, c.outChannels));
    EXPECT_EQ(out.size(), c.expectedBytes);
}

INSTANTIATE_TEST_SUITE_P(Formats, RenderSize,
                         ::testing::Values(SizeCase{"SameShape", 44100, 1, 441, 44100, 1, 882},
                                           SizeCase{"MonoToStereo", 44100, 1, 100, 44100, 2, 400},
                                           SizeCase{"StereoToMono", 8000, 2, 80, 8000, 1, 160},
                                           SizeCase{"UpsampledFourfold", 11025, 1, 100, 44100, 1, 800},
                                           SizeCase{"DownsampledRoundsUp", 48000, 1, 3, 44100, 1, 6},
                                           SizeCase{"OneFrame", 4000, 8, 1, 192000, 2, 4 * 48}),
                         [](const auto& info) { return std::string(info.param.name); });

// Nothing to render, or no way to store it: no bytes rather than garbage.
TEST(renderWave, IsEmptyForNoFramesOrAnUnusableFormat)
{
    EXPECT_TRUE(renderWave(waveOf(44100, 1, {}), formatOf(44100, 1)).isEmpty());
    EXPECT_TRUE(renderWave(waveOf(0, 1, {0.1f}), formatOf(44100, 1)).isEmpty());
    EXPECT_TRUE(renderWave(waveOf(44100, 1, {0.1f}), formatOf(44100, 0)).isEmpty());
    EXPECT_TRUE(renderWave(waveOf(44100, 1, {0.1f}), formatOf(0, 1)).isEmpty());
}

// Out-of-range and non-finite samples from a float file are clipped or
// silenced, never wrapped around.
TEST(renderWave, ClipsAndSilencesWildSamples)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const QByteArray out = renderWave(waveOf(44100, 1, {2.0f, -3.0f, inf, -inf, nan, 0.5f}), formatOf(44100, 1));
    ASSERT_EQ(out.size(), 12);
    EXPECT_EQ(int16s(out), (std::vector<std::int16_t>{32767, -32768, 32767, -32768, 0, 16384}));
}

// A stereo file on a mono stream is heard as the mean of its channels.
TEST(renderWave, MixesChannelsDownToMono)
{
    const QByteArray out = renderWave(waveOf(8000, 2, {0.5f, -0.5f, 0.5f, 0.0f}), formatOf(8000, 1));
    ASSERT_EQ(out.size(), 4);
    EXPECT_EQ(int16s(out), (std::vector<std::int16_t>{0, 8192}));
}

// Where a queued sound plays after the server's answer on its default
// output: only a change of the default moves it, and only if the server has
// not moved the stream itself.
TEST(StreamPlacement, FollowsOnlyAChangeOfTheDefault)
{
    struct Case {
        const char *last, *now, *stream;
        Placement expected;
    };
    const Case cases[] = {
        {"", "speakers", "headset", Placement::StartHere},                  // the first answer
        {"speakers", "speakers", "speakers", Placement::StartHere},         // unchanged
        {"speakers", "headset", "headset", Placement::StartHere},           // changed, stream moved
        {"speakers", "headset", "speakers", Placement::ReopenOnNewDefault}, // changed, not moved
        {"speakers", "speakers", "headset", Placement::StartHere},          // moved by a mixer
        {"speakers", "", "speakers", Placement::StartHere},                 // no default named
        {"speakers", "headset", "", Placement::StartHere},                  // the stream's output unknown
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeSound(c.last, c.now, c.stream), c.expected) << c.last << " " << c.now << " " << c.stream;
}

} // namespace
