#pragma once
// Summaries of timing samples and the rows of the results table.

#include "x_session.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace tolvex::bench {

using Clock = std::chrono::steady_clock;

inline double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Stats {
    std::size_t n = 0;
    double min = 0, median = 0, p99 = 0, max = 0;
};

// Nearest-rank percentiles: with fewer than 100 samples p99 is the maximum.
inline double percentile(std::vector<double> sorted, double p)
{
    if (sorted.empty()) return std::nan("");
    std::sort(sorted.begin(), sorted.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

inline Stats summarise(const std::vector<double>& v)
{
    Stats s;
    s.n = v.size();
    if (v.empty()) return s;
    s.min = *std::min_element(v.begin(), v.end());
    s.max = *std::max_element(v.begin(), v.end());
    s.median = percentile(v, 50);
    s.p99 = percentile(v, 99);
    return s;
}

inline std::string fmt(double v, int decimals = 2)
{
    if (std::isnan(v)) return "n/a";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

// One Markdown row: | measure | runs | median | p99 | max | target | result |.
// An empty target is a figure given for information. `suffix` follows every
// measure's name, to tell runs against different audio servers apart.
class Table {
public:
    explicit Table(std::string path, std::string suffix = {}) : m_path(std::move(path)), m_suffix(std::move(suffix)) {}

    void row(const std::string& measure, const Stats& s, const std::string& unit, const std::string& target, bool met,
             int decimals = 2)
    {
        write(measure, std::to_string(s.n), fmt(s.median, decimals) + " " + unit, fmt(s.p99, decimals) + " " + unit,
              fmt(s.max, decimals) + " " + unit, target, target.empty() ? "info" : (met ? "met" : "**missed**"));
    }

    void single(const std::string& measure, std::size_t runs, double value, const std::string& unit,
                const std::string& target, bool met, int decimals = 2)
    {
        write(measure, std::to_string(runs), fmt(value, decimals) + " " + unit, "", "", target,
              target.empty() ? "info" : (met ? "met" : "**missed**"));
    }

private:
    void write(const std::string& name, const std::string& runs, const std::string& median, const std::string& p99,
               const std::string& max, const std::string& target, const std::string& result)
    {
        const std::string measure = name + m_suffix;
        std::ofstream out(m_path, std::ios::app);
        out << "| " << measure << " | " << runs << " | " << median << " | " << p99 << " | " << max << " | " << target
            << " | " << result << " |\n";
        std::printf("%-60s n=%-4s median %-12s p99 %-12s max %-12s target %-14s %s\n", measure.c_str(), runs.c_str(),
                    median.c_str(), p99.c_str(), max.c_str(), target.c_str(), result.c_str());
        std::fflush(stdout);
    }

    std::string m_path;
    std::string m_suffix;
};

// Runs `measure` with a private X server's display name; 1 if Xvfb failed.
inline int onPrivateDisplay(const std::function<int(const std::string&)>& measure)
{
    x11::XvfbServer xvfb;
    if (xvfb.name().empty()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    return measure(xvfb.name());
}

} // namespace tolvex::bench
