// The renderer's cost on the default panel's main window during the demo
// flight's cruise, as multiples of copying the window's pixels (1024 x 768,
// 4 bytes each) measured in the same run:
// - a full repaint: every gauge's layer drawn anew and the window put
//   together (the prepared bitmaps kept);
// - a steady frame: after one frame of the cruise (the flight's values from
//   180 s to 200 s, over and over, the clock running on), only the gauges
//   whose display changed drawn again and their rectangles put together.
// Only the drawing is timed; the module's frame is frame_bench's business.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/flight/flight.h"
#include "devhost/render/panel_renderer.h"

namespace {

constexpr Point MainWindow = {1024, 768};
constexpr double CruiseFrom = 180, CruiseTo = 200;
double copySeconds = 0;  // per copy of the window's pixels, set by the baseline, which runs first

void Baseline_CopyPanelPixels(benchmark::State& state)
{
    const size_t bytes = size_t(MainWindow.x) * MainWindow.y * 4;
    std::vector<unsigned char> from(bytes, 0x5A), to(bytes);
    auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
    copySeconds = state.iterations() ? spent.count() / double(state.iterations()) : 0;
}
BENCHMARK(Baseline_CopyPanelPixels);

// The switches' clicks go to SDL's silent driver unless the caller chose one.
bool silentClicks = setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

struct Cruise {
    devhost::Host host{devhost::moduleUnderTest()};
    devhost::Flight flight = devhost::demoFlight();
    devhost::PanelRenderer renderer{host};
    double time = CruiseFrom;

    Cruise()
    {
        host.placePanel(devhost::defaultPanel());
        devhost::FlightRunner runner(host, flight);
        runner.run(runner.framesFor(CruiseFrom));
        renderer.render(0, MainWindow);  // bitmaps prepared once, as in a running panel
    }

    void frame()
    {
        time = time + 1.0 / host.options().framesPerSecond;
        if (time > CruiseTo)
            time = CruiseFrom;
        for (const devhost::VariableTrack& track : flight.tracks)
            if (auto value = track.valueAt(time))
                host.variables().set(track.id, *value);
        host.frame();
    }
};

// Times body() alone, per iteration, after before() (untimed); reports the
// mean as multiples of the baseline copy.
template <typename Before, typename Body>
void timeDrawing(benchmark::State& state, Before before, Body body)
{
    double total = 0;
    for (auto _ : state) {
        before();
        auto start = std::chrono::steady_clock::now();
        body();
        std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(spent.count());
        total += spent.count();
    }
    if (copySeconds > 0 && state.iterations() > 0)
        state.counters["x_copies"] = total / double(state.iterations()) / copySeconds;
}

void MainPanel_FullRepaint(benchmark::State& state)
{
    Cruise cruise;
    timeDrawing(state, [&] { cruise.renderer.invalidate(); }, [&] { cruise.renderer.render(0, MainWindow); });
}
BENCHMARK(MainPanel_FullRepaint)->UseManualTime();

void MainPanel_SteadyFrame(benchmark::State& state)
{
    Cruise cruise;
    size_t redrawn = 0, frames = 0;
    timeDrawing(
        state, [&] { cruise.frame(); },
        [&] {
            cruise.renderer.render(0, MainWindow);
            redrawn += cruise.renderer.redrawn();
            ++frames;
        });
    state.counters["gauges_redrawn"] = frames ? double(redrawn) / double(frames) : 0;
}
BENCHMARK(MainPanel_SteadyFrame)->UseManualTime();

}  // namespace
