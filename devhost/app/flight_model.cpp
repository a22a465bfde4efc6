#include "devhost/app/flight_model.h"

#ifndef _WIN32
#include "devhost/model/jsbsim_model.h"
#endif

namespace devhost {

void addJsbsimOption(CLI::App& command, std::string& program)
{
    command.add_option("--jsbsim", program,
                       "the JSBSim program that flies flights with a \"model\" (default: $VARDEX_JSBSIM, where "
                       "scripts/install-deps.sh puts it, or JSBSim on the PATH)");
}

std::unique_ptr<AircraftModel> flightModelFor(const Flight& flight, const std::string& program, double framesPerSecond)
{
    if (!flight.model)
        return nullptr;
#ifdef _WIN32
    (void)program;
    (void)framesPerSecond;
    throw FlightError(flight.source, flight.model->line,
                      "this flight flies on the flight model, which devhost on Linux runs; devhost.exe has none");
#else
    return std::make_unique<JsbsimModel>(*flight.model, findJsbsim(program), framesPerSecond);
#endif
}

}  // namespace devhost
