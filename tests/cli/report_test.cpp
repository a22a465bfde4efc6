// What `devhost run` reports: readings in words, events told once per run
// of frames and filtered, and each JSON report carrying only its own events.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "devhost_run.h"

namespace devhost::testing {
namespace {

// The needle's reading and the module's tooltip name one number, as the
// face and the tooltip both show it.
TEST(Reports, NeedleReadingsAgreeWithTheGaugesOwnTooltips)
{
    const std::string run = devhost("run --seconds 55.3").out;  // the flaps on their way up
    const std::string report = run.substr(run.find("== end of run =="));
    for (const std::string gauge : {"Tachometer_1", "Oil_Pressure_1", "Fuel_Pressure_1", "Engine_1_Press_Diff",
                                    "Fuel_Quantity_Main_Front", "Flaps_Indicator"}) {
        std::smatch match;
        ASSERT_TRUE(std::regex_search(report, match,
                                      std::regex(gauge + R"( +([0-9.]+) [^|]*\| [^(]*\( *([0-9.]+))")))
            << gauge << " in\n" << report;
        EXPECT_EQ(match[1], match[2]) << gauge;
    }
    const auto tachometerLine = [](const std::string& text) {
        const size_t at = text.rfind("Tachometer_1");
        return text.substr(at, text.find("Tachometer_2", at) - at);
    };
    EXPECT_EQ(tachometerLine(report).find("needle"), std::string::npos) << "drawing records only when asked";
    EXPECT_NE(tachometerLine(devhost("run --seconds 1 --records").out).find("needle"), std::string::npos);
}

// Every gauge says what it shows in words at every checkpoint of the demo
// flight, never as the drawing records that --records adds.
TEST(Reports, EveryGaugeReadsInWordsThroughTheDemoFlight)
{
    const nlohmann::json run = devhostJson("run --json --no-events");
    const std::regex record(R"(^(needle|icon|slider|strip|sprite|text) |\(nothing moving\))");
    ASSERT_GE(run["reports"].size(), 5u);
    for (const auto& report : run["reports"]) {
        std::set<std::string> names;
        for (const auto& gauge : report["snapshot"]["gauges"]) {
            const std::string name = names.insert(gauge["name"].get<std::string>()).first->c_str();
            ASSERT_FALSE(gauge["readings"].empty()) << name << " at " << report["label"];
            for (const std::string reading : gauge["readings"])
                EXPECT_FALSE(std::regex_search(reading, record)) << name << ": " << reading;
        }
        EXPECT_EQ(names.size(), 41u);
    }
}

// Hands read as times, the gyro as heading and course, windows by their text.
TEST(Reports, ClockGyroAndTextWindowsReadInWords)
{
    const std::string run = devhost("run --seconds 100").out;
    const std::string report = run.substr(run.find("== end of run =="));
    EXPECT_TRUE(std::regex_search(report, std::regex(R"(Junghans_Timer +time 12:01 \| stopwatch 0:00)"))) << report;
    EXPECT_TRUE(std::regex_search(report, std::regex(R"(Directionnal_Gyro +heading [0-9]+ °, course [0-9]+ °)")));
    EXPECT_TRUE(std::regex_search(report, std::regex(R"(Registration +"D-HVDX")")));
}

TEST(Reports, AnEventRepeatedEveryFrameIsOneLineAndEventsCanBeChosen)
{
    const std::string report = devhost("run --seconds 5").out;
    EXPECT_NE(report.find("frames     0-89    key event 65836 ADF_IDENT_OFF"), std::string::npos) << report;
    EXPECT_EQ(devhost("run --seconds 5 --no-events").out.find("events:"), std::string::npos);
    const std::string chosen = devhost("run --seconds 5 --events NAV1_IDENT_OFF").out;
    EXPECT_NE(chosen.find("NAV1_IDENT_OFF"), std::string::npos);
    EXPECT_EQ(chosen.find("ADF_IDENT_OFF"), std::string::npos);
}

TEST(Reports, EachJsonReportCarriesOnlyTheEventsSinceTheOneBefore)
{
    const nlohmann::json run = devhostJson("run --frames 90 --every-frames 30 --json");
    uint64_t previousEnd = 0, counted = 0;
    for (const auto& report : run["reports"]) {
        for (const auto& event : report["snapshot"]["events"]) {
            EXPECT_GE(event["frame"].get<uint64_t>(), previousEnd);
            counted += event["count"].get<uint64_t>();
        }
        previousEnd = report["snapshot"]["frame"].get<uint64_t>();
    }
    EXPECT_GE(counted, 90u) << "the ADF holds its tone off every frame, each told once";
    EXPECT_LT(counted, 400u);
}

}  // namespace
}  // namespace devhost::testing
