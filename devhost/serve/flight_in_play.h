// The flight the live panel plays, and how a recording names it: the
// built-in demo flight by name, any other as the script itself.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "devhost/flight/flight.h"

namespace devhost {

struct FlightInPlay {
    Flight flight;
    nlohmann::json script;

    // The built-in demo flight.
    static FlightInPlay demo();
    // A script file, read once: the flight is played from the text, and a
    // recording carries the script itself, so that it replays where the
    // file is not (its path when the text will not parse again). A
    // FlightError for a file that is not a flight.
    static FlightInPlay read(const std::string& path);
    // A script a page sent; RequestError for one that is not a flight.
    static FlightInPlay sent(std::string_view scriptText);
};

}  // namespace devhost
