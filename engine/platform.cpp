#include "platform.h"

#include <chrono>
#include <ctime>

namespace tolvex {

float SystemPlatform::Clock()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t secs = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&secs, &local);
    const auto fraction = duration_cast<microseconds>(now - system_clock::from_time_t(secs)).count();
    const double sinceMidnight =
        local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + static_cast<double>(fraction) / 1e6;
    return static_cast<float>(sinceMidnight);
}

float SystemPlatform::Random()
{
    // 24 random bits make every float in [0, 1) on a 2^-24 grid, never 1.
    return static_cast<float>(m_rng() >> 8) * (1.0f / 16777216.0f);
}

void SystemPlatform::SeedRandom()
{
    // The clock's full resolution, so two runs started in the same second differ.
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    std::seed_seq seq{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    m_rng.seed(seq);
}

} // namespace tolvex
