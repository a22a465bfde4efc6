// Runs frames of the default panel at the demo flight's cruise for
// callgrind to count: the flight flown to its cruise first, then the frames
// to count inside countedFrames, which bench/run.sh names to callgrind as
// the only part to collect.
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/flight/flight.h"

namespace {

constexpr double CruiseAt = 180;  // s into the demo flight

}  // namespace

// Out of line and unmangled, so callgrind finds it by this name.
extern "C" [[gnu::noinline]] void countedFrames(devhost::Host& host, int frames)
{
    host.frame(frames);
}

int main(int argc, char** argv)
{
    if (argc != 2 || std::atoi(argv[1]) <= 0) {
        std::fprintf(stderr, "usage: %s FRAMES (a positive count of frames to run at cruise)\n", argv[0]);
        return 2;
    }
    try {
        devhost::Host host(devhost::moduleUnderTest());
        host.placePanel(devhost::defaultPanel());
        devhost::FlightRunner runner(host, devhost::demoFlight());
        runner.run(runner.framesFor(CruiseAt));
        countedFrames(host, std::atoi(argv[1]));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
