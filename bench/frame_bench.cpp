// The module's per-frame cost: one frame of the default panel (all 41
// gauges: code 6, every element updated), reported as a multiple of a
// baseline measured in the same run, so that the figure compares across
// machines: copying 64 KiB.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"

namespace {

double baselineSeconds = 0;  // per iteration, set by the baseline, which runs first

template <typename Body>
double secondsPerIteration(benchmark::State& state, Body body)
{
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state)
        body();
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    return state.iterations() ? spent.count() / static_cast<double>(state.iterations()) : 0;
}

void Baseline_Copy64KiB(benchmark::State& state)
{
    std::vector<unsigned char> from(64 * 1024, 0x5A), to(64 * 1024);
    baselineSeconds = secondsPerIteration(state, [&] {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    });
}
BENCHMARK(Baseline_Copy64KiB);

void DefaultPanel_OneFrame(benchmark::State& state)
{
    devhost::Host host(devhost::moduleUnderTest());
    host.placePanel(devhost::defaultPanel());
    host.variables().set(61, 250);
    host.frame();  // the first frame's lookups out of the way
    double seconds = secondsPerIteration(state, [&] { host.frame(); });
    if (baselineSeconds > 0)
        state.counters["x_baseline"] = seconds / baselineSeconds;
    state.counters["gauges"] = static_cast<double>(host.gauges().size());
}
BENCHMARK(DefaultPanel_OneFrame);

}  // namespace

BENCHMARK_MAIN();
