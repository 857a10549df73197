#pragma once
// The real time of one run, and the median of several, for the benchmarks that time contenders in turn.
#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace orvasel::bench {

inline double millisecondsOf(const std::function<void()>& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace orvasel::bench
