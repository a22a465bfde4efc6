// Runs frames for callgrind to count, inside functions bench/run.sh names
// to callgrind as the only parts to collect:
//   vardex_count_frames FRAMES   the default panel at the demo flight's
//                                cruise (flown there first): countedFrames
//   vardex_count_frames --flight the whole demo flight, frame by frame with
//                                its variables and actions: countedFlight;
//                                prints the number of frames run
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/flight/flight.h"

namespace {

constexpr double CruiseAt = 180;  // s into the demo flight

}  // namespace

// Out of line and unmangled, so callgrind finds them by these names.
extern "C" [[gnu::noinline]] void countedFrames(devhost::Host& host, int frames)
{
    host.frame(frames);
}

extern "C" [[gnu::noinline]] void countedFlight(devhost::FlightRunner& runner, uint64_t frames)
{
    runner.run(frames);
}

int main(int argc, char** argv)
{
    const bool wholeFlight = argc == 2 && std::string_view(argv[1]) == "--flight";
    if (argc != 2 || (!wholeFlight && std::atoi(argv[1]) <= 0)) {
        std::fprintf(stderr, "usage: %s FRAMES|--flight (a positive count of frames to run at cruise, or the whole demo flight)\n",
                     argv[0]);
        return 2;
    }
    try {
        devhost::Host host(devhost::moduleUnderTest());
        host.placePanel(devhost::defaultPanel());
        const devhost::Flight flight = devhost::demoFlight();
        devhost::FlightRunner runner(host, flight);
        if (wholeFlight) {
            const uint64_t frames = runner.framesFor(flight.duration);
            countedFlight(runner, frames);
            std::printf("%llu\n", static_cast<unsigned long long>(frames));
        } else {
            runner.run(runner.framesFor(CruiseAt));
            countedFrames(host, std::atoi(argv[1]));
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
