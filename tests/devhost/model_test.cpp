// The flight model's side of devhost that needs no JSBSim: reading its
// output, turning its state into host variables, and a flight's "model".
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "devhost/core/variables.h"
#include "devhost/flight/flight.h"
#include "devhost/model/aircraft_mapping.h"
#include "devhost/model/model_output.h"
#include "fixture_paths.h"

namespace devhost {
namespace {

const std::vector<std::string> Asked = {"velocities/vc-kts", "propulsion/engine[0]/n2", "propulsion/engine[1]/n2"};

TEST(ModelOutput, ColumnsAreFoundByPathOrByShortNameInTheOrderAsked)
{
    // JSBSim's CSV (prefixed paths, [0] left out) and its socket output's
    // short names that repeat; padded numbers, commas or tabs.
    const struct {
        std::string labels, record;
    } cases[] = {
        {"Time,/fdm/jsbsim/velocities/vc-kts,/fdm/jsbsim/propulsion/engine/n2,/fdm/jsbsim/propulsion/engine[1]/n2",
         "2.5, 150.25 ,  35,100"},
        {"<LABELS>,vc-kts,n2,n2", "2.5,150.25,35,100"},
        {"Time\tvelocities/vc-kts\textra\tn2\tn2\r", "2.5\t150.25\t9\t35\t100\r"},
    };
    for (const auto& c : cases) {
        ModelOutput output(c.labels, Asked);
        EXPECT_EQ(output.read(c.record), (std::vector<double>{150.25, 35, 100})) << c.labels;
        EXPECT_EQ(output.time(), 2.5);
    }
}

TEST(ModelOutput, AMissingPropertyOrABadRecordIsNamed)
{
    try {
        ModelOutput("Time,vc-kts,n2", Asked);
        FAIL() << "a property without a column was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "no property propulsion/engine[1]/n2");
    }
    ModelOutput output("Time,vc-kts,n2,n2", Asked);
    EXPECT_THROW(output.read("1,2,3"), std::runtime_error);
    EXPECT_THROW(output.read("1,2,x,4"), std::runtime_error);
    EXPECT_THROW(output.read("1,2,,4"), std::runtime_error);
}

TEST(AircraftMapping, EachPropertyBecomesTheHostValueInItsUnit)
{
    ModelState state;
    state.airspeedKnots = 250;
    state.pressureAltitudeFt = 5000;
    state.climbFeetPerSecond = 10;
    state.pitchDeg = 4;
    state.bankRightDeg = 30;
    state.headingTrueDeg = 0.5;
    state.turnRadPerSecond = 3 * std::numbers::pi / 180;
    state.sideForceG = -std::tan(15 * std::numbers::pi / 180);
    state.flapsFraction = 0.5;
    state.engines[1] = {.speedPercent = 91, .exhaustRankine = 1500, .pressureRatio = 2, .oilKgPerCm2 = 5, .fuelKgPerCm2 = 30};
    state.tanks[0] = {.percentFull = 50, .capacityGallons = 200};
    const auto shown = [&](double millibars, double variation) {
        VariableStore store;
        for (const VariableValue& value : instrumentValues(state, millibars, variation))
            store.set(value.id, value.value);
        return store;
    };
    const VariableStore standard = shown(1013.25, 1);
    const struct {
        const char* name;
        double value;
    } table[] = {
        {"airspeed", 250}, {"altitude", 5000}, {"vertical_speed", 10 * 0.3048 * 256}, {"pitch", 4},
        {"bank", -30},     // the host's bank is positive to the left
        {"heading", 359.5},  // true less an easterly variation, within a turn
        {"turn_rate", 1152},  // a standard-rate turn: the needle on its mark
        {"ball", 127},        // the side force's full-scale 15 degrees, the ball out of it
        {"flaps", 16383 / 2.0}, {"rpm_2", 9100 / 91.0}, {"egt_2", 1500}, {"oil_pressure_2", 5 * 2050.82},
        {"fuel_pressure_2", 30 * 2050.82}, {"press_ratio_2", 2}, {"fuel_front_level", 4194304},
        {"fuel_front_capacity", 200},
    };
    for (const auto& row : table)
        EXPECT_NEAR(standard.get(findVariable(row.name)->id), row.value, 1e-6) << row.name;
    // Set 10 mb above the standard, the altimeter reads 272 ft more; below, less.
    EXPECT_NEAR(shown(1023.25, 0).get(findVariable("altitude")->id), 5271.9, 0.5);
    EXPECT_NEAR(shown(1003.25, 0).get(findVariable("altitude")->id), 4725.9, 0.5);
}

// Stands in for JSBSim: the airspeed in knots is the flight's time.
class Clock : public AircraftModel {
public:
    void advanceTo(double seconds, VariableStore& variables) override { variables.set(61, seconds); }
};

TEST(ModelledFlights, TheModelSetsItsValuesAndTheScriptsKeyframesComeAfter)
{
    const Flight flight = parseFlight(R"({"duration": 2, "model": {"script": "../fdm/scripts/t.xml",
        "scenery": "/abs/w.json"}, "variables": {"pitch": [[0, 5]], "airspeed": [[1.5, 42]]}})", "flights/f.json");
    ASSERT_TRUE(flight.model);
    EXPECT_EQ(flight.model->script, "fdm/scripts/t.xml") << "from the flight's folder";
    EXPECT_EQ(flight.model->scenery, "/abs/w.json");
    Host host(testing::fixture("fixture_gauges"));
    EXPECT_THROW(FlightRunner(host, flight), FlightError) << "a command without a model refuses the flight";
    FlightRunner runner(host, flight, false, std::make_unique<Clock>());
    runner.runFor(1.0);
    EXPECT_NEAR(host.variables().get(61), 17 / 18.0, 1e-9);
    EXPECT_EQ(host.variables().get(78), 5);
    runner.runFor(1.0);
    EXPECT_EQ(host.variables().get(61), 42);
}

}  // namespace
}  // namespace devhost
