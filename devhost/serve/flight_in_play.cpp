#include "devhost/serve/flight_in_play.h"

#include "devhost/core/input_error.h"
#include "devhost/core/text_file.h"
#include "devhost/serve/request_error.h"

namespace devhost {

using Json = nlohmann::json;

FlightInPlay FlightInPlay::demo()
{
    return {demoFlight(), std::string(DemoFlightSource)};
}

FlightInPlay FlightInPlay::read(const std::string& path)
{
    const std::string text = readTextFileOrThrow<FlightError>(path, "flight script");
    FlightInPlay in{parseFlight(text, path), Json::parse(text, nullptr, false, true)};
    if (in.script.is_discarded())
        in.script = path;
    return in;
}

FlightInPlay FlightInPlay::sent(std::string_view scriptText)
{
    checkNesting(scriptText);
    try {
        Flight flight = parseFlight(scriptText, "the flight sent");
        return {std::move(flight), Json::parse(scriptText, nullptr, false, true)};
    } catch (const InputError& error) {
        throw RequestError(error.what());
    }
}

}  // namespace devhost
