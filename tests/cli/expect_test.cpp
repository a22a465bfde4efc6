// Flights that check themselves: what checkpoints expect, the exit code,
// the failure table, and the reports CI reads.
#include <gtest/gtest.h>

#include <regex>

#include "devhost_run.h"

namespace devhost::testing {
namespace {

TEST(Expectations, TheDemoFlightIsAPassingRegressionFlight)
{
    const Outcome run = devhost("run --no-events");
    EXPECT_EQ(run.status, 0) << run.out.substr(run.out.rfind("expectations:"));
    EXPECT_TRUE(std::regex_search(run.out, std::regex(R"(expectations: [1-9][0-9]* checked, 0 failed)")));
}

TEST(Expectations, AFailureExitsOneWithATableAndTheReportsForCi)
{
    writeScratch("checked.json", R"({"duration": 3, "variables": {"airspeed": [[0, "450kmh"]]},
        "checkpoints": [{"at": 2, "label": "level", "expect": {
            "Airspeed": "450 km/h ±2", "Metric_Switch": "metric", "airspeed": "450kmh ±1",
            "Altimeter": "100 m ±5", "Landing_Indicator": {"localiser": "0 ±0.2 dots"}, "com1_freq": "122.80"}}]})");
    const Outcome run = devhost("run --flight checked.json --no-events --junit report.xml");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(std::regex_search(run.out, std::regex(R"(2\.0 s +Altimeter +100 m ±5 +0 m)"))) << run.out;
    EXPECT_TRUE(std::regex_search(run.out, std::regex(R"(2\.0 s +com1_freq +122\.80 +118\.000 MHz)"))) << run.out;
    EXPECT_NE(run.out.find("6 checked, 2 failed"), std::string::npos);

    std::ifstream file(scratchFolder() + "/report.xml");
    const std::string xml((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(xml.find(R"(<testsuites tests="6" failures="2">)"), std::string::npos) << xml;
    const auto count = [&](const std::string& tag) {
        size_t n = 0;
        for (size_t at = xml.find(tag); at != std::string::npos; at = xml.find(tag, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("<testcase "), 6u);
    EXPECT_EQ(count("<failure "), 2u);
    EXPECT_EQ(count("</testcase>"), 2u);
    EXPECT_NE(xml.rfind("</testsuites>\n"), std::string::npos);

    const Outcome tap = devhost("run --flight checked.json --tap");
    EXPECT_EQ(tap.status, 1);
    EXPECT_EQ(tap.out.substr(0, 20), "TAP version 13\n1..6\n");
    EXPECT_NE(tap.out.find("not ok 4 - 2.0 s: Altimeter 100 m ±5"), std::string::npos) << tap.out;
}

// Paused at one moment, a click and then Expect are recorded at one "at";
// a keyframe of the frequency does not undo the knob's clicks after it.
TEST(Expectations, WhatThePilotDidHoldsWhenChecked)
{
    writeScratch("clicked.json", R"json({"variables": {"com1_freq": [[0, "122.80"]]},
        "actions": [{"at": 1, "click": "Radio_COM_SK10", "x": 45, "y": 46},
                    {"at": 2, "click": "Radio_COM_SK10", "x": 218, "y": 250},
                    {"at": 2.5, "click": "Radio_COM_SK10", "x": 218, "y": 250}],
        "checkpoints": [{"at": 1, "expect": {"Radio_COM_SK10": "COM1 main switch (on)"}},
                        {"at": 4, "expect": {"Radio_COM_SK10": "122.850 MHz", "com1_freq": "122.85"}}]})json");
    const Outcome run = devhost("run --flight clicked.json --tap");
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_NE(run.out.find("1..3\n"), std::string::npos) << run.out;
}

// On a panel without Shut_Down the demo's notice switches no radio off:
// the check that a radio is off is passed over, and said so.
TEST(Expectations, ChecksOfWhatAMissingGaugeWouldChangeArePassedOver)
{
    writeScratch("three.cfg", "[Window00]\nsize_mm=800,400\ngauge00=Vardex_Instr!Airspeed, 0, 0, 150, 165\n"
                              "gauge01=Vardex_Instr!Altimeter, 160, 0, 150, 165\n"
                              "gauge02=Vardex_Instr!Radio_COM_SK10, 320, 0, 300, 300\n");
    const Outcome run = devhost("run --panel three.cfg --no-events");
    EXPECT_EQ(run.status, 0) << run.out.substr(run.out.rfind("expectations:"));
    EXPECT_TRUE(std::regex_search(run.out, std::regex(R"(, [1-9][0-9]* passed over \(they follow actions on gauges not on the panel\))")))
        << run.out.substr(run.out.rfind("expectations:"));
}

TEST(Expectations, ScriptsThatCannotBeMeantAreRefusedWithTheirLine)
{
    using namespace std::string_literals;
    const struct {
        std::string script;
        const char* says;
    } cases[] = {
        {"{\"checkpoints\": [\n{\"at\": 1, \"expect\": {\"airspede\": \"1\"}}]}", ":2: \"expect\": unknown variable"},
        {"{\"checkpoints\": [\n{\"at\": 1, \"expect\": {\"Airspeed\": \"±5\"}}]}", ":2: \"expect\" of \"Airspeed\""},
        {"{\"duration\": 2}\n\0garbage"s, ":2: a NUL byte"},
        {"{\"x\\u0000y\": 1}", "unknown entry \"x\\0y\" (expected"},
    };
    for (const auto& c : cases) {
        writeScratch("bad.json", c.script);
        const Outcome run = devhost("run --flight bad.json");
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    std::string wide = "{\"variables\": {";
    for (int key = 0; key <= 10000; ++key)
        wide += (key ? ",\"k" : "\"k") + std::to_string(key) + "\": [[0, 1]]";
    writeScratch("wide.json", wide + "}}");
    EXPECT_NE(devhost("run --flight wide.json").err.find("an object of more than 10000 keys"), std::string::npos);
    writeScratch("twice.json", "{\"duration\": 1,\n\"duration\": 2}");
    EXPECT_NE(devhost("run --flight twice.json").err.find("twice.json:2: \"duration\" is given twice"), std::string::npos);
}

}  // namespace
}  // namespace devhost::testing
