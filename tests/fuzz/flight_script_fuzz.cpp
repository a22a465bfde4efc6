// Flight scripts: any text is read or refused with a FlightError; a script
// that is read holds only times a run can reach.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "devhost/flight/flight.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const devhost::Flight flight = devhost::parseFlight(text, "fuzz.json");
        if (!(flight.duration >= 0 && flight.duration <= devhost::MaxFlightSeconds + 1))
            std::abort();
        for (const devhost::VariableTrack& track : flight.tracks)
            for (const devhost::Keyframe& key : track.keys)
                if (!(key.time >= 0 && key.time <= devhost::MaxFlightSeconds))
                    std::abort();
        for (const devhost::Checkpoint& checkpoint : flight.checkpoints)
            if (!(checkpoint.time >= 0 && checkpoint.time <= devhost::MaxFlightSeconds))
                std::abort();
    } catch (const devhost::FlightError& error) {
        if (error.problem().empty() || error.problem().size() > 1000)
            std::abort();
    }
    return 0;
}
