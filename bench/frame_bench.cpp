// The module's per-frame cost: one frame of the default panel (all 41
// gauges: code 6, every element updated), reported as a multiple of a
// baseline timed just before it, so that the figure compares across
// machines: a warm copy of 64 KiB.
#include <benchmark/benchmark.h>

#include "bench/baseline.h"
#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"

namespace {

constexpr size_t BaselineBytes = 64 * 1024;

void DefaultPanel_OneFrame(benchmark::State& state)
{
    devhost::Host host(devhost::moduleUnderTest());
    host.placePanel(devhost::defaultPanel());
    host.variables().set(61, 250);
    host.frame();  // the first frame's lookups out of the way
    const double baseline = bench::copySeconds(BaselineBytes);
    auto start = bench::Clock::now();
    for (auto _ : state)
        host.frame();
    const double spent = bench::secondsSince(start);
    bench::reportRatio(state, "x_baseline", state.iterations() ? spent / double(state.iterations()) : 0, baseline);
    state.counters["gauges"] = static_cast<double>(host.gauges().size());
}
BENCHMARK(DefaultPanel_OneFrame);

}  // namespace

BENCHMARK_MAIN();
