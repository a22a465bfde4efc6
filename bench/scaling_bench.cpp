// Costs that must grow in step with their input, not with its square:
// reading a flight script of n checkpoints and n actions, and tearing down a
// host of n placed gauges. Google Benchmark fits each to a complexity; a
// fit of N^2 where these say N is a regression.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "devhost/core/host.h"
#include "devhost/flight/flight.h"

namespace {

std::string flightOf(int64_t n)
{
    std::string text = "{\n\"duration\": 100,\n\"actions\": [\n";
    for (int64_t k = 0; k < n; ++k)
        text += std::string(k ? ",\n" : "") + "  {\"at\": 1, \"hover\": \"Airspeed\", \"x\": 1, \"y\": 2}";
    text += "\n],\n\"checkpoints\": [\n";
    for (int64_t k = 0; k < n; ++k)
        text += std::string(k ? ",\n" : "") + "  {\"at\": 2, \"label\": \"c\"}";
    return text + "\n]\n}\n";
}

void FlightScript_Parse(benchmark::State& state)
{
    const std::string text = flightOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(devhost::parseFlight(text, "bench.json"));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(FlightScript_Parse)->RangeMultiplier(4)->Range(1 << 8, 1 << 14)->Complexity(benchmark::oN);

void Host_Teardown(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto host = std::make_unique<devhost::Host>(devhost::moduleUnderTest());
        for (int64_t k = 0; k < state.range(0); ++k)
            host->place("Shut_Down");
        state.ResumeTiming();
        host.reset();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(Host_Teardown)->RangeMultiplier(4)->Range(1 << 8, 1 << 14)->Complexity(benchmark::oN)->Unit(benchmark::kMillisecond);

}  // namespace
