// Flight scripts: what they say, how a bad one is told off, and how the
// runner plays one against the host.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "devhost/flight/flight.h"
#include "fixture_paths.h"

namespace devhost {
namespace {

using testing::fixture;

FlightError errorOf(std::string_view text)
{
    try {
        parseFlight(text, "trip.json");
    } catch (const FlightError& error) {
        return error;
    }
    return FlightError("", -1, "no error");
}

TEST(FlightScripts, AnUnknownVariableIsNamedWithFileAndLine)
{
    FlightError error = errorOf("{\n  \"variables\": {\n    \"airspeed\": [[0, 1]],\n    \"warp\": [[0, 1]]\n  }\n}");
    EXPECT_EQ(error.file(), "trip.json");
    EXPECT_EQ(error.line(), 4);
    EXPECT_NE(error.problem().find("unknown variable \"warp\""), std::string::npos);
    EXPECT_NE(std::string(error.what()).find("trip.json:4:"), std::string::npos);
}

TEST(FlightScripts, BrokenJsonIsReportedAtItsLine)
{
    FlightError error = errorOf("{\n  \"name\": \"x\",\n  \"duration\": ,\n}");
    EXPECT_EQ(error.line(), 3);
    EXPECT_NE(error.problem().find("not valid JSON"), std::string::npos);
}

TEST(FlightScripts, ActionsAreCheckedEntryByEntry)
{
    const char* text = "{\n\"actions\": [\n  {\"at\": 1, \"hover\": \"Nested\", \"x\": 1, \"y\": 2},\n"
                       "  {\"at\": 2, \"click\": \"Nested\", \"remove\": \"Nested\", \"x\": 1, \"y\": 2}\n]}";
    FlightError error = errorOf(text);
    EXPECT_EQ(error.line(), 4);
    EXPECT_NE(error.problem().find("exactly one of"), std::string::npos);
    EXPECT_EQ(errorOf("{\"actions\": [{\"at\": 1, \"click\": \"Nested\"}]}").problem(),
              "a click or hover needs \"x\" and \"y\" (gauge pixels)");
    EXPECT_NE(errorOf("{\"actions\": [{\"at\": -1, \"notice\": 14}]}").problem().find("out of range: expected 0 to"),
              std::string::npos);
    EXPECT_NE(errorOf("{\"actions\": [{\"at\": 1, \"click\": \"N\", \"x\": 1, \"y\": 1, \"button\": \"middle\"}]}")
                  .problem()
                  .find("\"left\" or \"right\""),
              std::string::npos);
}

TEST(FlightScripts, KeyframesMustRiseInTimeAndIntegerValuesMustFit)
{
    EXPECT_NE(errorOf("{\"variables\": {\"airspeed\": [[5, 1], [5, 2]]}}").problem().find("must rise"),
              std::string::npos);
    EXPECT_NE(errorOf("{\"variables\": {\"nav1_flags\": [[0, -1]]}}").problem().find("unsigned 32-bit"),
              std::string::npos);
    EXPECT_NE(errorOf("{\"variables\": {\"nav1_flags\": [[0, \"0xZZ\"]]}}").problem().find("not an unsigned"),
              std::string::npos);
    EXPECT_NE(errorOf("{\"speed\": 3}").problem().find("unknown entry"), std::string::npos);
}

TEST(FlightScripts, NumbersBeyondTheirRangeAreRefusedAsOutOfRangeWithTheirLine)
{
    for (const char* text : {"{\n\"duration\": 1e20}", "{\n\"checkpoints\": [{\"at\": 1e308}]}",
                             "{\n\"actions\": [{\"at\": 1, \"notice\": 18446744073709551615}]}",
                             "{\n\"duration\": 1e400}"}) {
        FlightError error = errorOf(text);
        EXPECT_EQ(error.line(), 2) << text;
        EXPECT_NE(error.problem().find("out of range"), std::string::npos) << error.what();
        EXPECT_EQ(error.problem().find("json.exception"), std::string::npos) << error.what();
    }
    // The reader's own account of a syntax error, not a cut-off piece of it.
    EXPECT_NE(errorOf("{\"duration\": Infinity}").problem().find("invalid literal"), std::string::npos);
}

TEST(FlightScripts, DoublesGlideBetweenKeyframesAndIntegersStep)
{
    Flight flight = parseFlight(R"({"variables": {
        "airspeed": [[10, 100], [20, 200]],
        "61": [[0, 0]],
        "nav1_flags": [[0, 0], [10, "0x80"]]}})",
                                "f.json");
    ASSERT_EQ(flight.tracks.size(), 3u);
    const VariableTrack& airspeed = flight.tracks[0];
    EXPECT_FALSE(airspeed.valueAt(9.9).has_value()) << "left alone before its first keyframe";
    EXPECT_DOUBLE_EQ(*airspeed.valueAt(15), 150);
    EXPECT_DOUBLE_EQ(*airspeed.valueAt(25), 200) << "the last value holds";
    EXPECT_EQ(flight.tracks[1].id, 61u) << "a variable by its host number";
    const VariableTrack& flags = flight.tracks[2];
    EXPECT_TRUE(flags.integer);
    EXPECT_DOUBLE_EQ(*flags.valueAt(9.99), 0);
    EXPECT_DOUBLE_EQ(*flags.valueAt(10), 128);
    EXPECT_DOUBLE_EQ(flight.duration, 21) << "without a duration: one second past the last keyframe";
}

TEST(FlightRunning, KeyframesReachTheHostAndActionsHappenAtTheirTime)
{
    Host host(fixture("fixture_gauges"));
    host.place("Nested");
    host.place("Recorder");
    Flight flight = parseFlight(R"({
        "duration": 3,
        "variables": {"airspeed": [[0, 0], [2, 100]]},
        "actions": [
            {"at": 1, "click": "Nested", "x": 112, "y": 53, "button": "right"},
            {"at": 1.5, "hover": "Nested", "x": 120, "y": 70},
            {"at": 2, "notice": 14},
            {"at": 2.5, "remove": "Recorder"}
        ]})",
                                "f.json");
    FlightRunner runner(host, flight);
    runner.runFor(1.0);
    EXPECT_NEAR(host.variables().get(61), 50 * 17 / 18.0, 1e-9) << "the last frame ran at 17/18 s";
    EXPECT_TRUE(runner.log().empty());
    runner.step();
    ASSERT_EQ(runner.log().size(), 1u);
    EXPECT_EQ(runner.log()[0].frame, 18u);
    EXPECT_EQ(runner.log()[0].what, "right click on Nested at (112,53): handled");
    runner.run(runner.framesFor(3.0) - 19);
    EXPECT_TRUE(runner.finished());
    ASSERT_EQ(runner.log().size(), 4u);
    EXPECT_EQ(runner.log()[1].what, "hover over Nested at (120,70): \"Inner 12.50 (ON)\"");
    EXPECT_EQ(runner.log()[2].what, "notice 14 to every gauge");
    EXPECT_EQ(host.find("Recorder"), nullptr);
}

TEST(FlightRunning, AnActionOnAGaugeNotOnThePanelNamesItsLine)
{
    Host host(fixture("fixture_gauges"));
    Flight flight = parseFlight("{\"actions\": [\n{\"at\": 0, \"remove\": \"Gunsight\"}]}", "f.json");
    FlightRunner runner(host, flight);
    try {
        runner.step();
        FAIL() << "no error";
    } catch (const FlightError& error) {
        EXPECT_EQ(error.line(), 2);
        EXPECT_NE(error.problem().find("no gauge \"Gunsight\""), std::string::npos);
    }
}

TEST(DemoFlight, IsTheTextOfTheExampleFile)
{
    std::ifstream file(VARDEX_SOURCE_DIR "/examples/demo_flight.json", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(demoFlightText(), text.str());
}

}  // namespace
}  // namespace devhost
