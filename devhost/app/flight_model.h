// The flight model for the commands that fly flights: the JSBSim program
// they use (--jsbsim) and the model a flight's "model" asks for.
#pragma once

#include <CLI/CLI.hpp>

#include <memory>
#include <string>

#include "devhost/flight/flight.h"

namespace devhost {

void addJsbsimOption(CLI::App& command, std::string& program);

// Nothing for a flight without "model"; else JSBSim started on its script
// (devhost/model/jsbsim_model.h). Throws when the program is not there, with
// how to get it, and for the model's faults. devhost.exe has no flight model
// and says so.
std::unique_ptr<AircraftModel> flightModelFor(const Flight& flight, const std::string& program,
                                              double framesPerSecond);

}  // namespace devhost
