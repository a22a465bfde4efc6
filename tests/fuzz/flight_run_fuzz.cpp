// Flight scripts played, not only read: each input that reads as a flight
// runs for up to three seconds on the built-in panel, in one module loaded
// once, and the panel is taken down again. A script may fail at run time
// only with a FlightError (an action on a gauge that is not there).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "devhost/core/host.h"
#include "devhost/core/panel_file.h"
#include "devhost/flight/flight.h"
#include "tests/fuzz/shared_host.h"

namespace {

constexpr double MostSeconds = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    devhost::Flight flight;
    try {
        flight = devhost::parseFlight(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const devhost::FlightError&) {
        return 0;
    }
    static const devhost::Panel panel = devhost::defaultPanel();
    devhost::Host& h = sharedHost();
    h.placePanel(panel);
    try {
        devhost::FlightRunner runner(h, flight);
        runner.runFor(std::min(flight.duration, MostSeconds));
    } catch (const devhost::FlightError& error) {
        if (error.problem().empty())
            std::abort();
    }
    (void)h.probe();
    while (!h.gauges().empty())
        h.remove(*h.gauges().back());
    h.clearEvents();
    return 0;
}
