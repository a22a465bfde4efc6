// Values as a user types them, turned into the host's encodings, and the
// values devhost tells read back as they were told.
#include "devhost/core/values.h"

#include <gtest/gtest.h>

#include <string>

namespace devhost {
namespace {

std::string refusal(const std::string& setting)
{
    try {
        parseSetting(setting);
    } catch (const ValueError& error) {
        return error.what();
    }
    return "accepted";
}

TEST(Values, NumbersThatCannotBeMeantAreRefusedWithTheRange)
{
    const struct {
        const char* setting;
        const char* says;
    } cases[] = {
        {"com1_freq=150", "118.000 to 136.975 MHz"},
        {"com1_freq=117.975", "outside the COM band"},
        {"nav1_freq=118", "108.000 to 117.950 MHz"},
        {"adf_freq=1800", "100.0 to 1799.9 kHz"},
        {"adf_freq_ext=5", "hex"},
        {"rpm_1=176", "0 rpm to 15925 rpm"},
        {"rpm_1=-1rpm", "0 rpm to 15925 rpm"},
        {"egt_1=-273.16C", "-273.15 °C or more"},
        {"egt_1=-1K", "-273.15 °C or more"},
        {"fuel_front_level=101%", "0% to 100%"},
        {"9999=1", "not one the gauges read"},
        {"com1_freq=118.000 kHz", "not a unit"},
    };
    for (const auto& c : cases)
        EXPECT_NE(refusal(c.setting).find(c.says), std::string::npos) << c.setting << ": " << refusal(c.setting);
}

TEST(Values, BareNumbersAreTheNaturalUnitAndRegistersTakeHex)
{
    const struct {
        const char* setting;
        double host;
    } cases[] = {
        {"com1_freq=122", 0x2200},      {"com1_freq=118.000 MHz", 0x1800}, {"com1_freq=0x2280", 0x2280},
        {"nav1_freq=110", 0x1000},      {"adf_freq=345", 0x345},           {"adf_freq=345.0 kHz", 0x345},
        {"rpm_1=175", 175},             {"egt_1=273.15K", 491.67},         {"egt_1=-273.15C", 0},
        {"transponder=7700", 0x7700},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(parseSetting(c.setting).front().value, c.host) << c.setting;
}

// Every variable of the catalogue, told at its start value and at values
// typed in its forms, is accepted back as told and tells the same again.
TEST(Values, EveryValueToldIsAcceptedBackEqual)
{
    const char* typed[] = {"egt_1=273.15K", "egt_1=650C", "adf=1345.5", "com1_freq=136.975", "airspeed=250kmh",
                           "fuel_front_level=60%", "time_of_day=12:30", "vertical_speed=-3.3m/s", "ball=0.1"};
    std::vector<VariableValue> values;
    for (const VariableInfo& variable : knownVariables())
        values.push_back({variable.id, variable.initial});
    for (const char* setting : typed)
        for (const VariableValue& value : parseSetting(setting))
            values.push_back(value);
    for (const VariableValue& value : values) {
        const VariableInfo& variable = *findVariable(value.id);
        const std::string told = naturalText(variable, value.value);
        const std::string setting = std::string(variable.name) + "=" + told;
        ASSERT_EQ(refusal(setting), "accepted") << setting;
        EXPECT_EQ(naturalText(variable, parseSetting(setting).front().value), told) << setting;
    }
    EXPECT_EQ(naturalText(*findVariable("egt_1"), 491.67), "0 °C");
    EXPECT_EQ(naturalText(*findVariable("adf_freq"), 0x345), "345.0 kHz");
}

}  // namespace
}  // namespace devhost
