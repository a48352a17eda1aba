// The decoded-tone cache, on files alone: no audio server is involved.

#include "tone_cache.h"
#include "wave_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace tolvex;
using namespace tolvex::testing;

class ToneCacheTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const
    {
        return m_dir.filePath(QString::fromStdString(name)).toStdString();
    }

    QTemporaryDir m_dir;
    ToneCache m_cache;
};

// A tone asked for again is the same decoded wave, not a second decoding.
TEST_F(ToneCacheTest, SameFileTwiceIsDecodedOnce)
{
    ASSERT_TRUE(writeSineWave(path("Beep1.wav"), 440.0, 0.1));
    const auto first = m_cache.load(path("Beep1.wav"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(m_cache.load(path("Beep1.wav")), first);
    EXPECT_EQ(m_cache.size(), 1U);
}

// A file replaced since it was cached plays its new contents; one gone is refused.
TEST_F(ToneCacheTest, ReplacedOrRemovedFileIsNoticed)
{
    ASSERT_TRUE(writeSineWave(path("Ram1.wav"), 440.0, 0.1));
    const auto first = m_cache.load(path("Ram1.wav"));
    ASSERT_NE(first, nullptr);

    ASSERT_TRUE(std::filesystem::remove(path("Ram1.wav")));
    ASSERT_TRUE(writeSineWave(path("Ram1.wav"), 440.0, 0.2, 22050));
    const auto second = m_cache.load(path("Ram1.wav"));
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->sampleRate, 22050);

    ASSERT_TRUE(std::filesystem::remove(path("Ram1.wav")));
    EXPECT_EQ(m_cache.load(path("Ram1.wav")), nullptr);
    // The wave handed out before stays valid for whoever still plays it.
    EXPECT_EQ(second->sampleRate, 22050);
}

// Relative names are the working directory's: the same file by two names is one entry.
TEST_F(ToneCacheTest, RelativeAndAbsoluteNamesShareAnEntry)
{
    ASSERT_TRUE(writeSineWave(path("Ham2.wav"), 440.0, 0.1));
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.path().toStdString());
    const auto relative = m_cache.load("Ham2.wav");
    std::filesystem::current_path(cwd);
    EXPECT_EQ(m_cache.load(path("Ham2.wav")), relative);
    EXPECT_EQ(m_cache.size(), 1U);
}

// The cache is bounded, and the entry used longest ago is the one that goes.
TEST_F(ToneCacheTest, FullCacheDropsTheLeastRecentlyUsed)
{
    const std::size_t files = ToneCache::kEntries + 1;
    for (std::size_t i = 0; i < files; ++i)
        ASSERT_TRUE(writeSineWave(path("t" + std::to_string(i) + ".wav"), 440.0, 0.01));
    const auto kept = m_cache.load(path("t0.wav"));
    for (std::size_t i = 1; i < ToneCache::kEntries; ++i) m_cache.load(path("t" + std::to_string(i) + ".wav"));
    const auto dropped = m_cache.load(path("t1.wav"));
    m_cache.load(path("t0.wav")); // t0 is now more recent than t1 .. t31
    for (std::size_t i = 2; i < ToneCache::kEntries; ++i) m_cache.load(path("t" + std::to_string(i) + ".wav"));
    m_cache.load(path("t" + std::to_string(ToneCache::kEntries) + ".wav"));

    EXPECT_EQ(m_cache.size(), ToneCache::kEntries);
    EXPECT_EQ(m_cache.load(path("t0.wav")), kept);
    EXPECT_NE(m_cache.load(path("t1.wav")), dropped);
}

// Nothing that is not a regular, decodable file enters the cache.
TEST_F(ToneCacheTest, UnplayableNamesAreRefusedAndNotKept)
{
    ASSERT_TRUE(std::filesystem::create_directory(path("Beep3.wav")));
    ASSERT_TRUE(writeBytes(path("Beep4.wav"), {'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v', 'e'}));
    for (const std::string& name : {path("Beep2.wav"), path("Beep3.wav"), path("Beep4.wav"), std::string()})
        EXPECT_EQ(m_cache.load(name), nullptr) << name;
    EXPECT_EQ(m_cache.size(), 0U);
}

} // namespace
