// Values as pilots write them, through --set and flight scripts, read back
// from what the gauges show; and the band edges.
#include <gtest/gtest.h>

#include "devhost_run.h"

namespace devhost::testing {
namespace {

// What the gauge's needle reads after the setting: the first reading of the
// click report's last line.
std::string readingAfter(const std::string& gauge, const std::string& setting)
{
    const Outcome outcome = devhost("click --gauge " + gauge + " --at 0,0 --frames 54 --set " + setting);
    const size_t line = outcome.out.find("after 54 frames: " + gauge);
    if (line == std::string::npos)
        return outcome.out + outcome.err;
    const size_t from = outcome.out.find_first_not_of(' ', line + 17 + gauge.size());
    std::string reading = outcome.out.substr(from, outcome.out.find_first_of("|\n", from) - from);
    return reading.substr(0, reading.find_last_not_of(' ') + 1);
}

TEST(Values, UnitsAreConvertedToTheHostsEncoding)
{
    EXPECT_EQ(readingAfter("Airspeed", "airspeed=250kmh"), "250 km/h");
    EXPECT_EQ(readingAfter("Airspeed", "airspeed=135kt"), "250 km/h");
    EXPECT_EQ(readingAfter("Altimeter", "altitude=3000m"), readingAfter("Altimeter", "altitude=9842.52"));
    EXPECT_EQ(readingAfter("Vertical_Speed", "vertical_speed=5m/s"), "5.0 m/s");
    EXPECT_EQ(readingAfter("Tachometer_1", "rpm_1=8000rpm"), "8000 rpm");
    EXPECT_EQ(readingAfter("Exhaust_Gas_Temp", "egt_1=650C"), "650 °C");
    EXPECT_EQ(readingAfter("Oil_Pressure_1", "oil_pressure_1=4kg/cm2"), "4.00 kg/cm2");
    EXPECT_EQ(readingAfter("Fuel_Quantity_Main_Front", "fuel_front_level=60%"), "454 l");
}

TEST(Values, FrequenciesAndCodesInTheirNaturalFormWithinTheirBands)
{
    auto tooltip = [](const std::string& gauge, const std::string& at, const std::string& setting) {
        const Outcome outcome = devhost("hover --gauge " + gauge + " --at " + at + " --set " + setting);
        return outcome.status == 0 ? outcome.out : outcome.err;
    };
    EXPECT_NE(tooltip("Radio_COM_SK10", "150,40", "com1_freq=118.000").find("118.000 MHz"), std::string::npos);
    EXPECT_NE(tooltip("Radio_COM_SK10", "150,40", "com1_freq=136.975").find("136.975 MHz"), std::string::npos);
    EXPECT_NE(tooltip("Radio_COM_SK10", "150,40", "com1_freq=0x2280").find("122.800 MHz"), std::string::npos)
        << "the raw register still works";
    EXPECT_NE(tooltip("Radio_COM_SK10", "150,40", "com1_freq=137.000").find("118.000 to 136.975 MHz"),
              std::string::npos);
    EXPECT_NE(tooltip("Radio_COM_SK10", "150,40", "com1_freq=117.975").find("outside the COM band"),
              std::string::npos);
    EXPECT_NE(tooltip("Radio_NAV_E10K", "150,100", "nav1_freq=117.95").find("117.950 MHz"), std::string::npos);
    EXPECT_NE(tooltip("Radio_NAV_E10K", "150,100", "nav1_freq=107.95").find("108.000 to 117.950 MHz"),
              std::string::npos);
    EXPECT_NE(tooltip("Radio_XPDR_FUG25A6", "1,1", "transponder=7778").find("digit 8 is not 0 to 7"),
              std::string::npos);
    EXPECT_NE(tooltip("Radio_ADF_EZ6", "1,1", "adf=1800").find("100.0 to 1799.9 kHz"), std::string::npos);
    EXPECT_EQ(devhost("hover --gauge Radio_ADF_EZ6 --at 1,1 --set adf=1799.9").status, 0);
    EXPECT_NE(tooltip("Airspeed", "1,1", "4294967357=250").find("out of range (1 to 4294967295)"), std::string::npos);
}

TEST(Values, FlightScriptsTakeTheSameForms)
{
    writeScratch("tuned.json", R"({"duration": 2, "variables": {"com1_freq": [[0, "122.80"]],
                                    "airspeed": [[0, "250kmh"]]}})");
    const nlohmann::json run = devhostJson("run --flight tuned.json --json");
    const auto& gauges = run["reports"].back()["snapshot"]["gauges"];
    std::string readings;
    for (const auto& gauge : gauges)
        for (const auto& reading : gauge["readings"])
            readings += reading.get<std::string>() + "\n";
    EXPECT_NE(readings.find("250 km/h"), std::string::npos) << readings;
    EXPECT_NE(readings.find("122.800 MHz"), std::string::npos) << readings;
}

}  // namespace
}  // namespace devhost::testing
