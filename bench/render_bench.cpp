// The renderer's cost on the default panel's main window during the demo
// flight's cruise, at 1024 x 768 and at 3840 x 2880:
// - a full repaint: every gauge's layer drawn anew and the window put
//   together (the prepared bitmaps kept);
// - a steady frame: after one frame of the cruise (the flight's values from
//   180 s to 200 s, over and over, the clock running on), only the gauges
//   whose display changed drawn again and their rectangles put together;
// - a first frame: a new renderer's first picture, every bitmap prepared;
// - an animation: a picture every second of the cruise drawn and written
//   as an animated WebP, in pictures a second (bench/run.sh times the
//   whole command instead).
// The first two are multiples of a warm copy of the window's pixels between
// two buffers, timed in the same benchmark immediately before the figure,
// so that they compare across machines and cache states; the first frame
// is in milliseconds. Only the drawing is timed; the module's frame is
// frame_bench's business.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "bench/baseline.h"
#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/flight/flight.h"
#include "devhost/render/animation.h"
#include "devhost/render/panel_renderer.h"

namespace {

constexpr Point MainWindow = {1024, 768};
constexpr Point LargeWindow = {3840, 2880};
constexpr double CruiseFrom = 180, CruiseTo = 200;

// The switches' clicks go to SDL's silent driver unless the caller chose one.
bool silentClicks = setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;

struct Cruise {
    devhost::Host host{devhost::moduleUnderTest()};
    devhost::Flight flight = devhost::demoFlight();
    devhost::PanelRenderer renderer{host};
    double time = CruiseFrom;

    explicit Cruise(Point size)
    {
        host.placePanel(devhost::defaultPanel());
        devhost::FlightRunner runner(host, flight);
        runner.run(runner.framesFor(CruiseFrom));
        renderer.render(0, size);  // bitmaps prepared once, as in a running panel
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
// mean as multiples of the baseline copy of a window of that size, timed
// just before. Fails when there is no baseline to divide by.
template <typename Before, typename Body>
void timeDrawing(benchmark::State& state, Point size, Before before, Body body)
{
    const double copy = bench::copySeconds(size_t(size.x) * size_t(size.y) * 4);
    double total = 0;
    for (auto _ : state) {
        before();
        auto start = bench::Clock::now();
        body();
        const double spent = bench::secondsSince(start);
        state.SetIterationTime(spent);
        total += spent;
    }
    bench::reportRatio(state, "x_copies", state.iterations() ? total / double(state.iterations()) : 0, copy);
    state.counters["copy_us"] = copy * 1e6;
}

Point windowSize(const benchmark::State& state) { return {int(state.range(0)), int(state.range(1))}; }

void MainPanel_FullRepaint(benchmark::State& state)
{
    const Point size = windowSize(state);
    Cruise cruise(size);
    timeDrawing(state, size, [&] { cruise.renderer.invalidate(); }, [&] { cruise.renderer.render(0, size); });
}
BENCHMARK(MainPanel_FullRepaint)
    ->UseManualTime()
    ->Args({MainWindow.x, MainWindow.y})
    ->Args({LargeWindow.x, LargeWindow.y});

void MainPanel_SteadyFrame(benchmark::State& state)
{
    const Point size = windowSize(state);
    Cruise cruise(size);
    size_t redrawn = 0, frames = 0;
    timeDrawing(
        state, size, [&] { cruise.frame(); },
        [&] {
            cruise.renderer.render(0, size);
            redrawn += cruise.renderer.redrawn();
            ++frames;
        });
    state.counters["gauges_redrawn"] = frames ? double(redrawn) / double(frames) : 0;
}
BENCHMARK(MainPanel_SteadyFrame)
    ->UseManualTime()
    ->Args({MainWindow.x, MainWindow.y})
    ->Args({LargeWindow.x, LargeWindow.y});

// A new renderer each time: its bitmaps prepared and every layer drawn.
void MainPanel_FirstFrame(benchmark::State& state)
{
    const Point size = windowSize(state);
    Cruise cruise(size);
    for (auto _ : state) {
        auto start = bench::Clock::now();
        devhost::PanelRenderer renderer(cruise.host);
        benchmark::DoNotOptimize(renderer.render(0, size));
        state.SetIterationTime(bench::secondsSince(start));
    }
}
BENCHMARK(MainPanel_FirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Args({MainWindow.x, MainWindow.y});

// Twenty pictures a second of flight apart, drawn and handed to the WebP
// writer, and the file completed; the flight's frames between them are not
// timed.
void Animation_Cruise(benchmark::State& state)
{
    constexpr int Pictures = 20;
    Cruise cruise(MainWindow);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "vardex_bench_cruise.webp";
    for (auto _ : state) {
        std::unique_ptr<devhost::AnimationSink> webp = devhost::openAnimation(path, 1.0);
        for (int picture = 0; picture < Pictures; ++picture) {
            state.PauseTiming();
            for (int frame = 0; frame < cruise.host.options().framesPerSecond; ++frame)
                cruise.frame();
            state.ResumeTiming();
            webp->add(cruise.renderer.render(0, MainWindow));
        }
        webp->finish();
    }
    state.SetItemsProcessed(state.iterations() * Pictures);
    std::filesystem::remove(path);
}
BENCHMARK(Animation_Cruise)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
