// The command buttons' readings of their parameter texts.
#include "panel/toggle_commands.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TEST(PanelWindowId, TheFirstNameThatBeginsTheTextWins)
{
    EXPECT_EQ(panelWindowId("GPS_PANEL tCOMPASS_PANEL"), 225);
    EXPECT_EQ(panelWindowId("ANNUNCIATOR2_PANEL"), 150);
    EXPECT_EQ(panelWindowId("IFR_MAIN_PANEL"), 175) << "not MAIN_PANEL, which it only contains";
    EXPECT_EQ(panelWindowId("MAIN_PANELS"), 0) << "a prefix is enough";
    EXPECT_EQ(panelWindowId("gps_panel"), 0) << "names are upper case";
}

TEST(PanelWindowId, OtherwiseTheLeadingNumberOrZero)
{
    EXPECT_EQ(panelWindowId(" 42 and more"), 42);
    EXPECT_EQ(panelWindowId("-3"), -3);
    EXPECT_EQ(panelWindowId("NOWHERE"), 0);
    EXPECT_EQ(panelWindowId("99999999999"), std::numeric_limits<int32_t>::max());
}

TEST(PanelWindowId, NoTextIsNoWindow)
{
    EXPECT_EQ(panelWindowId(nullptr), -1);
    EXPECT_EQ(panelWindowId(""), -1);
}

TEST(TooltipId, NamesOrHostHelpNumbersFrom40960)
{
    EXPECT_EQ(tooltipId("TOGGLE_COLLECTIVE_WINDOW"), 43915u);
    EXPECT_EQ(tooltipId("TOGGLE_RADIO_WINDOWS"), 43910u);
    EXPECT_EQ(tooltipId("40960"), 40960u);
    EXPECT_EQ(tooltipId("40959"), 0u);
    EXPECT_EQ(tooltipId("12"), 0u);
    EXPECT_EQ(tooltipId("-43914"), 0u);
    EXPECT_EQ(tooltipId("99999999999"), 2147483647u);
    EXPECT_EQ(tooltipId(nullptr), 0u);
    EXPECT_EQ(tooltipId(""), 0u);
}

TEST(ViewStepsPerClick, SmallCountsAsGivenLargeOnesCapped)
{
    EXPECT_EQ(viewStepsPerClick(3), 3);
    EXPECT_EQ(viewStepsPerClick(-2), 2);
    EXPECT_EQ(viewStepsPerClick(15), 15);
    EXPECT_EQ(viewStepsPerClick(16), 16);
    EXPECT_EQ(viewStepsPerClick(17), 16);
    EXPECT_EQ(viewStepsPerClick(-16), 16);
    EXPECT_EQ(viewStepsPerClick(std::numeric_limits<int32_t>::max()), 16);
    EXPECT_EQ(viewStepsPerClick(std::numeric_limits<int32_t>::min()), 16);
}

}  // namespace
