#include "devhost/model/jsbsim_model.h"

#include <fmt/format.h>

#include <cmath>
#include <filesystem>

#include "devhost/core/text_file.h"
#include "devhost/core/variables.h"
#include "devhost/model/aircraft_mapping.h"
#include "devhost/model/navigation.h"

namespace devhost {

namespace {

constexpr double LeastStepsPerSecond = 120;   // JSBSim's usual rate: its aircraft are tuned for it

}  // namespace

std::string modelRootOf(const std::string& script)
{
    std::error_code error;
    const std::filesystem::path start = std::filesystem::absolute(script, error).parent_path();
    for (std::filesystem::path folder = start; !folder.empty(); folder = folder.parent_path()) {
        if (std::filesystem::is_directory(folder / "aircraft", error))
            return folder.string();
        if (folder == folder.parent_path())
            break;
    }
    throw ModelError(script, 0, "no aircraft/ folder above the script: JSBSim finds its aircraft in <root>/aircraft/, "
                                "its scripts usually in <root>/scripts/ (as in fdm/)");
}

JsbsimRun JsbsimModel::runFor(const FlightModelSpec& spec, const std::string& program, double framesPerSecond)
{
    // Read here so that a script that is missing, a folder or unreadable is
    // told as such, not as JSBSim's failure to load it.
    if (const TextFile file = readWholeFile(spec.script, "JSBSim script"); file.problem)
        throw ModelError(spec.script, 0, *file.problem);
    const std::span<const std::string> properties = modelProperties();
    return {.program = program,
            .script = spec.script,
            .root = modelRootOf(spec.script),
            .properties = {properties.begin(), properties.end()},
            .outputRate = framesPerSecond,
            .simulationRate = framesPerSecond * std::ceil(LeastStepsPerSecond / framesPerSecond)};
}

JsbsimModel::JsbsimModel(const FlightModelSpec& spec, const std::string& program, double framesPerSecond)
    : scenery_(spec.scenery.empty() ? std::nullopt : std::optional<Scenery>(loadScenery(spec.scenery))),
      process_(runFor(spec, program, framesPerSecond)),
      halfFrame_(0.5 / framesPerSecond)
{
    const std::optional<std::string> labels = process_.nextLine();
    if (!labels)
        throw ModelError(spec.script, 0, "JSBSim wrote no output at all");
    try {
        output_.emplace(*labels, modelProperties());
    } catch (const std::runtime_error& error) {
        throw ModelError(spec.script, 0, fmt::format("the aircraft has {}, which devhost reads for the panel "
                                                     "(devhost/model/aircraft_mapping.h)", error.what()));
    }
    if (!readRecord())
        throw ModelError(spec.script, 0, "JSBSim ended before its first record");
}

bool JsbsimModel::readRecord()
{
    const std::optional<std::string> line = process_.nextLine();
    if (!line)
        return false;
    try {
        values_ = output_->read(*line);
    } catch (const std::runtime_error& error) {
        throw ModelError(process_.run().script, 0, fmt::format("JSBSim's output: {}", error.what()));
    }
    return true;
}

void JsbsimModel::advanceTo(double seconds, VariableStore& variables)
{
    while (output_->time() < seconds - halfFrame_)
        if (!readRecord())
            throw ModelError(process_.run().script, 0,
                             fmt::format("the script ends at {:.2f} s, before the flight's {:.2f} s: its <run end=...> "
                                         "must reach the flight's duration", output_->time(), seconds));
    const ModelState state = modelState(values_);
    for (const VariableValue& value : instrumentValues(state, variables.get(var::AltimeterMillibars),
                                                       scenery_ ? scenery_->magneticVariation : 0.0))
        variables.set(value.id, value.value);
    if (scenery_)
        updateRadios(*scenery_,
                     AircraftPosition{.position = {.latitude = state.latitudeDeg, .longitude = state.longitudeDeg},
                                      .altitudeFt = state.altitudeMslFt,
                                      .headingTrue = state.headingTrueDeg},
                     variables);
}

}  // namespace devhost
