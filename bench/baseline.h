// The baseline the benchmarks express their times in: a warm copy of a
// buffer between two buffers, timed in the same process just before the
// figure it divides, so that the ratio holds across machines and cache
// states.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The median time of a warm copy of the given number of bytes.
inline double copySeconds(size_t bytes)
{
    constexpr int Copies = 31, WarmingCopies = 3;
    std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
    auto copy = [&] {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    };
    for (int k = 0; k < WarmingCopies; ++k)
        copy();
    std::vector<double> times;
    for (int k = 0; k < Copies; ++k) {
        auto start = Clock::now();
        copy();
        times.push_back(secondsSince(start));
    }
    std::nth_element(times.begin(), times.begin() + Copies / 2, times.end());
    return times[Copies / 2];
}

// Records seconds per iteration as a multiple of the baseline under the
// counter's name; a benchmark without a baseline fails rather than leave
// the figure out.
inline void reportRatio(benchmark::State& state, const char* counter, double seconds, double baseline)
{
    if (!(baseline > 0) || state.iterations() == 0) {
        state.SkipWithError("no baseline copy time to express the figure in");
        return;
    }
    state.counters[counter] = seconds / baseline;
}

}  // namespace bench
