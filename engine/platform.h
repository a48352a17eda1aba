#pragma once

#include <cstdint>
#include <random>

namespace tolvex {

// Clock and random numbers, injected so the engine runs on a test clock.
class Platform {
public:
    virtual ~Platform() = default;
    // Seconds since local midnight, with a fractional part.
    virtual float Clock() = 0;
    // Next pseudo-random value, at least 0 and below 1.
    virtual float Random() = 0;
    // Reseed the generator from the clock.
    virtual void SeedRandom() = 0;
};

// The real services: the system's wall clock and a Mersenne twister.
class SystemPlatform final : public Platform {
public:
    float Clock() override;
    float Random() override;
    void SeedRandom() override;

private:
    std::mt19937 m_rng;
};

} // namespace tolvex
