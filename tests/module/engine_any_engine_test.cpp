// Exhaust_Gas_Temp and Oil_Pressure placed for any engine by the panel
// file's parameter text, through the development host.
#include <gtest/gtest.h>

#include <string>

#include "devhost/core/tooltip_format.h"
#include "tests/module/dial_fixture.h"

namespace {

// Every engine's exhaust-gas temperature at once, each distinct.
constexpr double egtOfEngine[] = {0, 1000.0, 1200.0, 1400.0, 1600.0};
constexpr uint32_t egtVar[] = {0, 567, 577, 587, 597};

class AnyEngine : public DialTest {
protected:
    void SetUp() override
    {
        for (int engine = 1; engine <= 4; ++engine)
            host.variables().set(egtVar[engine], egtOfEngine[engine]);
    }

    double needleValue(devhost::GaugeInstance& gauge) { return nextFrame(gauge).value; }
};

TEST_F(AnyEngine, ExhaustGasNeedleReadsTheEngineTheParameterTextNames)
{
    EXPECT_EQ(needleValue(host.place("Exhaust_Gas_Temp", "2")), egtOfEngine[2]) << "variable 577";
    EXPECT_EQ(needleValue(host.place("Exhaust_Gas_Temp", "3")), egtOfEngine[3]) << "variable 587";
    EXPECT_EQ(needleValue(host.place("Exhaust_Gas_Temp", "4")), egtOfEngine[4]) << "variable 597";
}

TEST_F(AnyEngine, ExhaustGasTooltipIsTheHostsTextForThatEngine)
{
    auto& second = host.place("Exhaust_Gas_Temp", "2");
    auto& fourth = host.place("Exhaust_Gas_Temp", "4");
    auto& first = host.place("Exhaust_Gas_Temp");
    ASSERT_NE(devhost::hostHelpText(12514), devhost::hostHelpText(12513)) << "the host tells the engines apart";
    EXPECT_EQ(tooltip(second), devhost::hostHelpText(12514));
    EXPECT_EQ(tooltip(fourth), devhost::hostHelpText(12516));
    EXPECT_EQ(tooltip(first), devhost::hostHelpText(12513));
}

TEST_F(AnyEngine, ADigitOneBeforeAnyCommentMeansEngineOne)
{
    for (const char* text : {"1", "12", "21", "engine 1 of 2"}) {
        auto& gauge = host.place("Exhaust_Gas_Temp", text);
        EXPECT_EQ(needleValue(gauge), egtOfEngine[1]) << '"' << text << '"';
        EXPECT_EQ(tooltip(gauge), devhost::hostHelpText(12513)) << '"' << text << '"';
    }
}

TEST_F(AnyEngine, ADigitAfterACommentMarkerChangesNothing)
{
    for (const char* text : {"/2", "#3", "'4", "x / 4"}) {
        auto& gauge = host.place("Exhaust_Gas_Temp", text);
        EXPECT_EQ(needleValue(gauge), egtOfEngine[1]) << '"' << text << '"';
    }
}

TEST_F(AnyEngine, EachPlacedCopyKeepsItsOwnEngine)
{
    auto& first = host.place("Exhaust_Gas_Temp");
    auto& third = host.place("Exhaust_Gas_Temp", "3");
    host.frame(3);
    EXPECT_EQ(shown(first).value, egtOfEngine[1]);
    EXPECT_EQ(shown(third).value, egtOfEngine[3]);
}

TEST_F(AnyEngine, OilNeedleMovesToTheEngineButItsTooltipStaysOnEngineOne)
{
    host.variables().set(562, 2 * 2050.82);
    host.variables().set(572, 4 * 2050.82);
    host.variables().set(582, 6 * 2050.82);
    auto& third = host.place("Oil_Pressure", "3");
    auto& second = host.place("Oil_Pressure", "2");
    EXPECT_EQ(needleValue(third), 6 * 2050.82) << "variable 582";
    EXPECT_EQ(needleValue(second), 4 * 2050.82) << "variable 572";
    EXPECT_EQ(tooltip(third), "Engine 1 oil pressure (2.00 kg/cm2)");
    EXPECT_EQ(tooltip(second), "Engine 1 oil pressure (2.00 kg/cm2)");
}

TEST_F(AnyEngine, OilPressureWithoutParameterIsEngineOne)
{
    host.variables().set(562, 3 * 2050.82);
    host.variables().set(572, 9 * 2050.82);
    EXPECT_EQ(needleValue(host.place("Oil_Pressure")), 3 * 2050.82);
}

}  // namespace
