// Random play: presses, releases, new games, settings, sound sets and refused
// tones interleaved with timer ticks, checking the state's invariants after
// every event and that every game finds its way back to idle.
#include "engine_invariants.h"
#include "engine_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <random>
#include <set>

using namespace tolvex;
using namespace tolvex::testing;

namespace {

BoardFacts factsOf(const FakeBoard& b)
{
    BoardFacts f;
    for (int i = 0; i < kTimerCount; ++i) f.running[i] = b.timers[i].interval > 0;
    f.newGameEnabled = b.newGameEnabled;
    f.levelEnabled.fill(b.levelsEnabled);
    return f;
}

std::string brokenInvariant(const Rig& rig) { return tolvex::testing::brokenInvariant(rig.st(), factsOf(rig.board)); }

bool idle(const Rig& rig) { return tolvex::testing::idle(rig.st(), factsOf(rig.board)); }

struct Stats {
    std::uint64_t events = 0;
    std::uint64_t games = 0;
    std::uint64_t wins = 0;
};

// One seed of random play. Returns false (with a message) at the first fault.
::testing::AssertionResult playSeed(std::uint32_t seed, int inputs, Stats& stats)
{
    std::mt19937 rng(seed);
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(rng); };
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };

    Rig rig;
    rig.board.keepLog = false;
    rig.time.lcg = seed * 2654435761u + 1;
    std::string fault;
    auto check = [&] {
        ++stats.events;
        if (fault.empty() && !rig.engine.HandlerRunning()) {
            const std::string broken = brokenInvariant(rig);
            if (!broken.empty()) fault = broken + " at " + std::to_string(rig.time.nowMs) + " ms";
        }
    };
    rig.afterTick = check;
    // A refused tone's box stays open a while; ticks inside it are dropped.
    rig.board.onWarning = [&] {
        if (chance(0.5)) rig.advance(pick(0, 400));
    };
    rig.startUp();
    check();

    std::set<int> held;
    // With a strong player the game sometimes gets far, even to a win.
    const bool skilled = chance(0.4);
    const double accuracy = skilled ? 0.998 : 0.0;
    for (int i = 0; i < inputs && fault.empty(); ++i) {
        rig.advance(pick(0, 3) == 0 ? pick(0, 5) : pick(10, 700));
        rig.player.result = chance(0.03) ? 0 : 1;
        const int what = skilled && chance(0.7) ? 0 : pick(0, 99);
        if (what < 45) {
            const GameState& s = rig.st();
            int pad = pick(0, 3);
            const std::size_t next = s.PlayerInput.size();
            if (s.PlayerTurn && !s.GameOver && next < s.Sequence.size() && chance(accuracy))
                pad = s.Sequence[next] - '0';
            if (held.count(pad)) {
                rig.release(pad);
                held.erase(pad);
            } else {
                rig.press(pad);
                held.insert(pad);
            }
            if (chance(0.8) && held.count(pad)) { // most presses are short clicks
                rig.advance(pick(0, 150));
                rig.release(pad);
                held.erase(pad);
            }
        } else if (what < 60) {
            if (!held.empty()) {
                const int pad = *held.begin();
                rig.release(pad);
                held.erase(pad);
            }
        } else if (what < 72) {
            if (rig.board.newGameEnabled) {
                if (rig.board.levelsEnabled && chance(0.5)) rig.chooseLevel(pick(0, 3));
                rig.engine.OnNewGameClick();
                ++stats.games;
            }
        } else if (what < 78) {
            const int v = chance(0.3) ? pick(0, 2) : pick(0, 1000);
            if (chance(0.5))
                rig.engine.OnGapSetting(v);
            else
                rig.engine.OnLitSetting(v);
        } else if (what < 84) {
            rig.chooseSoundSet(pick(0, 4));
        } else if (what < 85 || (!skilled && what < 87)) {
            // Let things run out: every held pad released, no presses for a while.
            for (int pad : held) rig.release(pad);
            held.clear();
            const bool wasWon = rig.st().Won == kTrue;
            if (!rig.settle(200000) || !idle(rig))
                return ::testing::AssertionFailure() << "seed " << seed << ": not idle 200 s after the last press";
            stats.wins += wasWon;
        }
        check();
    }
    if (!fault.empty()) return ::testing::AssertionFailure() << "seed " << seed << ": " << fault;
    for (int pad : held) rig.release(pad);
    if (!rig.settle(200000) || !idle(rig))
        return ::testing::AssertionFailure() << "seed " << seed << ": not idle at the end";
    return ::testing::AssertionSuccess();
}

} // namespace

TEST(RandomPlay, InvariantsHoldAndGamesEndInIdle)
{
    const auto start = std::chrono::steady_clock::now();
    Stats stats;
    std::uint32_t seeds = 0;
    while (stats.events < 2'000'000) {
        ASSERT_TRUE(playSeed(1000 + seeds, 2000, stats));
        ++seeds;
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << "random play: " << stats.events << " events, " << seeds << " seeds, " << stats.games << " games, "
              << stats.wins << " wins, " << secs << " s\n";
    EXPECT_GT(stats.wins, 0u);
}
