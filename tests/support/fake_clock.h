#pragma once
// The one stand-in for the game's clock and random draws: time moves when a
// test moves it (and with real time too, if asked), and the draws come from
// a script, then from a fallback.

#include "platform.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

namespace tolvex::testing {

class FakeClock : public Platform {
public:
    // Seconds since midnight at nowMs 0; a float holds whole and half
    // seconds exactly here, so 1.5 s and 3 s differences come out exact.
    double midnightOffset = 1000.0;
    std::int64_t nowMs = 0;
    std::deque<float> randoms;         // scripted draws, in order
    std::function<float()> unscripted; // draws after the script; empty: a fixed generator
    std::uint32_t lcg = 12345;
    int seeds = 0;

    float Clock() override
    {
        double s = midnightOffset + static_cast<double>(nowMs) / 1000.0;
        if (m_realFrom) s += std::chrono::duration<double>(std::chrono::steady_clock::now() - *m_realFrom).count();
        if (s >= 86400.0) s -= 86400.0;
        return static_cast<float>(s);
    }
    float Random() override
    {
        if (!randoms.empty()) {
            const float r = randoms.front();
            randoms.pop_front();
            return r;
        }
        if (unscripted) return unscripted();
        lcg = lcg * 1664525u + 1013904223u;
        return static_cast<float>(lcg >> 8) * (1.0f / 16777216.0f);
    }
    void SeedRandom() override { ++seeds; }

    // Make Clock() read exactly `seconds` now.
    void readNow(double seconds) { midnightOffset = seconds - static_cast<double>(nowMs) / 1000.0; }
    // From now on real time passes on this clock too, on top of what tests add.
    void followRealTime() { m_realFrom = std::chrono::steady_clock::now(); }
    // The draw that makes the game pick pad p.
    static float forPad(int p) { return (static_cast<float>(p) + 0.5f) / 4.0f; }

private:
    std::optional<std::chrono::steady_clock::time_point> m_realFrom;
};

} // namespace tolvex::testing
