// A flight's aircraft flown by JSBSim: the script of the flight's "model"
// run in step with the panel's frames, each frame's record turned into the
// host's variables (aircraft_mapping.h) and the radios' signals from the
// scenery (navigation.h). Linux only, as JsbsimProcess is.
//
// JSBSim integrates at a whole multiple of the frame rate, at least 120
// steps a second, and writes one record a frame; a frame takes the record
// of its own moment. The same files give the same records, so a modelled
// flight reads the same every time it is run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "devhost/flight/flight.h"
#include "devhost/model/jsbsim_process.h"
#include "devhost/model/model_output.h"
#include "devhost/model/scenery.h"

namespace devhost {

class JsbsimModel final : public AircraftModel {
public:
    // Starts JSBSim and reads its first record; throws ModelError (a script,
    // aircraft or property that is not there, a model that dies) or
    // SceneryError.
    JsbsimModel(const FlightModelSpec& spec, const std::string& program, double framesPerSecond);

    void advanceTo(double seconds, VariableStore& variables) override;

private:
    static JsbsimRun runFor(const FlightModelSpec& spec, const std::string& program, double framesPerSecond);
    bool readRecord();

    std::optional<Scenery> scenery_;
    JsbsimProcess process_;
    std::optional<ModelOutput> output_;
    std::vector<double> values_;   // of the latest record
    double halfFrame_;
};

// The folder a script's aircraft lives under: the nearest folder above the
// script that holds aircraft/. Throws ModelError when there is none.
std::string modelRootOf(const std::string& script);

}  // namespace devhost
