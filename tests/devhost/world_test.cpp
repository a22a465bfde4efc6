// The modelled flights' world: the shipped scenery, and what the radios
// receive in it as the aircraft moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <tuple>

#include "devhost/core/registers.h"
#include "devhost/core/text_file.h"
#include "devhost/core/variables.h"
#include "devhost/model/navigation.h"

namespace devhost {
namespace {

const std::string sceneryPath = std::string(VARDEX_SOURCE_DIR) + "/fdm/scenery/wendmoor.json";

class World : public ::testing::Test {
protected:
    const Scenery world = loadScenery(sceneryPath);
    const double approachTrue = world.ils.courseMagnetic + world.magneticVariation + 180;  // from the field outwards

    RadioTuning ils() const { return {.navKhz = world.ils.frequencyKhz}; }
    RadioTuning ndb() const { return {.adfTenths = world.ndb.frequencyTenths}; }
};

// A needle's side: 0 when centred.
int side(double deviation) { return std::fabs(deviation) < 1 ? 0 : deviation > 0 ? 1 : -1; }

TEST(Geodesy, DistancesAndBearingsOfKnownPairs)
{
    const struct {
        GeoPoint from, to;
        double nm, bearing;
    } cases[] = {
        {{0, 0}, {0, 1}, 60.04, 90},                                   // a degree of the equator
        {{0, 0}, {1, 0}, 60.04, 0},                                    // a degree of a meridian
        {{51.4775, -0.4614}, {40.6398, -73.7789}, 2991.06, 287.93},    // London Heathrow to New York JFK
        {{-33.9461, 151.1772}, {-37.6690, 144.8410}, 380.83, 232.25},  // Sydney to Melbourne
    };
    for (const auto& c : cases) {
        EXPECT_NEAR(distanceNm(c.from, c.to), c.nm, 0.01) << c.to.latitude;
        EXPECT_NEAR(bearingTrue(c.from, c.to), c.bearing, 0.01) << c.to.latitude;
    }
}

TEST_F(World, IlsNeedlesPointToTheCentrelineAndThePathAsTheIndicatorShowsIt)
{
    // 5 NM out on the extended centreline; "left" as the pilot flying
    // inbound sees it (south of this westward approach).
    const double slope = std::tan(world.ils.glidePathDeg * std::numbers::pi / 180);
    const double onPathFt = world.runway.elevationFt + 5 * FeetPerNauticalMile * slope + world.ils.crossingHeightFt;
    const GeoPoint centre = travel(world.runway.threshold, approachTrue, 5);
    const struct {
        const char* where;
        double leftNm, aboveFt;
        int course, glide;  // sign: course +1 needle right, glide +1 needle down
    } cases[] = {
        {"on both", 0, 0, 0, 0},
        {"left", 0.1, 0, +1, 0},
        {"right", -0.1, 0, -1, 0},
        {"above", 0, 200, 0, +1},
        {"below", 0, -200, 0, -1},
    };
    for (const auto& c : cases) {
        const AircraftPosition aircraft{travel(centre, approachTrue + 90, c.leftNm), onPathFt + c.aboveFt, 0};
        const RadioSignals s = radioSignals(world, aircraft, ils());
        EXPECT_EQ(s.navFlags, ApproachSignal) << c.where;
        EXPECT_EQ(side(s.courseDeviation), c.course) << c.where;
        EXPECT_EQ(side(s.glideDeviation), c.glide) << c.where;
        EXPECT_NEAR(s.courseAngle / 65536 * 360, world.ils.courseMagnetic, 1e-9);
    }
}

TEST_F(World, AdfRelativeBearingOfTheBeaconAheadAndAbeam)
{
    const GeoPoint east = travel(world.ndb.position, approachTrue, 10);  // the beacon lies on the inbound course
    const double inbound = bearingTrue(east, world.ndb.position);
    const struct {
        double heading, bearing;
    } cases[] = {{inbound, 0}, {inbound - 90, 90}, {inbound + 90, 270}, {inbound + 180, 180}};
    for (const auto& c : cases)
        EXPECT_NEAR(radioSignals(world, {east, 3000, c.heading}, ndb()).adfBearing, c.bearing, 1e-9) << c.heading;
}

TEST_F(World, NoSignalOutOfRangeBehindTheLocaliserOrMistuned)
{
    const GeoPoint threshold = world.runway.threshold;
    const struct {
        const char* why;
        GeoPoint at;
        RadioTuning tuning;
    } cases[] = {
        {"localiser 30 NM out", travel(threshold, approachTrue, 30), ils()},
        {"behind the localiser", travel(threshold, approachTrue - 180, 5), ils()},
        {"abeam the field", travel(threshold, approachTrue + 90, 5), ils()},
        {"NAV on another channel", threshold, {.navKhz = 110300}},
        {"VOR out of range", travel(world.vor.position, 0, world.vor.rangeNm + 1), {.navKhz = world.vor.frequencyKhz}},
        {"beacon out of range", travel(world.ndb.position, 0, world.ndb.rangeNm + 1), ndb()},
        {"ADF a tenth off", world.ndb.position, {.adfTenths = world.ndb.frequencyTenths + 1}},
        {"nothing tuned", threshold, {}},
    };
    for (const auto& c : cases) {
        const RadioSignals s = radioSignals(world, {c.at, 2000, 90}, c.tuning);
        EXPECT_FALSE(s.navReceived || s.adfReceived) << c.why;
        EXPECT_EQ(s.navFlags, 0u) << c.why;
        EXPECT_EQ(std::make_tuple(s.courseDeviation, s.glideDeviation, s.radial, s.adfBearing),
                  std::make_tuple(0.0, 0.0, 0.0, 90.0)) << c.why;
    }
}

TEST_F(World, TheFrameWritesWhatTheRadiosTunedInTheStoreReceive)
{
    VariableStore variables;
    variables.setInteger(var::Nav1Frequency, radioRegister(world.vor.frequencyKhz));
    const AdfRegisters adf = adfRegisters(world.ndb.frequencyTenths);
    variables.setInteger(var::AdfFrequency, adf.frequency);
    variables.setInteger(var::AdfExtension, adf.extension);
    // At the threshold, 8 NM from the VOR on 150 true, heading for the beacon.
    const GeoPoint threshold = world.runway.threshold;
    const AircraftPosition aircraft{threshold, 300, bearingTrue(threshold, world.ndb.position)};
    updateRadios(world, aircraft, variables);
    EXPECT_NEAR(variables.get(45), 149.91 - world.magneticVariation, 0.01);  // the radial, magnetic
    EXPECT_NEAR(std::fmod(variables.get(39) + 180, 360) - 180, 0, 1e-6);    // the beacon dead ahead
}

TEST_F(World, SceneryProblemsAreToldWithTheirLine)
{
    const std::string good = readTextFile(sceneryPath, "scenery").text;
    const struct {
        const char* from;
        const char* to;
        const char* line;  // the text on the line named
        const char* says;
    } cases[] = {
        {"109.30", "109.20", "\"frequency_mhz\": 109.20", "not a localiser channel"},
        {"\"frequency_khz\": 383", "\"frequency_khz\": 1800", "1800", "not an ADF frequency"},
        {"6562", "\"long\"", "\"long\"", "\"runway.length_ft\" must be a number"},
        {"\"ident\": \"WDM\",", "\"ident\": \"WDM\", \"bogus\": 1,", "bogus", "unknown entry \"vor.bogus\""},
        {"\"name\": \"26\",", "\"name\": \"26\"", "\"threshold\"", "not valid JSON"},
        {"\"range_nm\": 40", "\"range\": 40", "\"range\"", "unknown entry \"vor.range\""},
    };
    for (const auto& c : cases) {
        std::string text = good;
        text.replace(text.find(c.from), std::string_view(c.from).size(), c.to);
        const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<long>(text.find(c.line)), '\n');
        try {
            parseScenery(text, "w.json");
            ADD_FAILURE() << c.says;
        } catch (const SceneryError& error) {
            EXPECT_EQ(error.line(), line) << error.what();
            EXPECT_NE(error.problem().find(c.says), std::string::npos) << error.what();
        }
    }
}

}  // namespace
}  // namespace devhost
