// Clicks and tooltips, hit-tested as the simulator does: nested regions
// whose entries' boxes are relative to the region they stand in.
#include <gtest/gtest.h>

#include <cstdint>

#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"
#include "fixture_paths.h"

namespace devhost {
namespace {

using namespace testing;

class Mouse : public ::testing::Test {
protected:
    Host host{fixture("fixture_gauges")};
    GaugeInstance& nested = host.place("Nested");  // 200 x 200 gauge pixels

    std::vector<std::pair<uint32_t, uint32_t>> reports() const
    {
        std::vector<std::pair<uint32_t, uint32_t>> out;
        for (const EventRecord& e : host.events())
            out.emplace_back(e.id, e.value);
        return out;
    }
};

TEST_F(Mouse, ALeftClickReachesTheHandlerWithThePointWithinTheAreaAndTheFlags)
{
    ClickResult result = host.click(nested, 15, 17);
    EXPECT_TRUE(result.hit);
    EXPECT_TRUE(result.handled);
    EXPECT_EQ(result.areaIndex, 1);
    EXPECT_EQ(reports(), (std::vector<std::pair<uint32_t, uint32_t>>{{reportOuterClickPoint, 5007},
                                                                     {reportOuterClickFlags, ClickLeft}}));
}

TEST_F(Mouse, TheClickRecordsGaugeWordIsTheClickedInstancesDefinition)
{
    GaugeInstance& other = host.place("Nested");
    host.click(nested, 15, 15);
    EXPECT_EQ(host.probe(nested).userData, 77u) << "the handler wrote through the record's gauge word";
    EXPECT_EQ(host.probe(other).userData, 0u);
    EXPECT_EQ(nested.original()->userData, 0u);
}

TEST_F(Mouse, AnAreaInsideARegionIsPlacedRelativeToTheRegionsOrigin)
{
    // The inner area (0,0,30,30) lies in the region at (100,50).
    EXPECT_FALSE(host.click(nested, 5, 5).hit) << "not at the gauge's own origin";
    ClickResult result = host.click(nested, 112, 53);
    EXPECT_TRUE(result.handled);
    ASSERT_FALSE(reports().empty());
    EXPECT_EQ(reports().front(), (std::pair<uint32_t, uint32_t>{reportInnerClickPoint, 12003}));
    EXPECT_FALSE(host.click(nested, 131, 53).hit) << "the area ends 30 pixels into the region";
}

TEST_F(Mouse, AnAreaReactsOnlyToTheButtonsInItsClickFlagWord)
{
    EXPECT_FALSE(host.click(nested, 15, 15, ClickRight).hit) << "the outer area takes left clicks only";
    ClickResult right = host.click(nested, 112, 53, ClickRight);
    EXPECT_TRUE(right.handled);
    EXPECT_EQ(reports().back(), (std::pair<uint32_t, uint32_t>{reportInnerClickFlags, ClickRight}));
}

TEST_F(Mouse, AKeyEventAreaMakesTheHostSendItsEventWithValueZero)
{
    EXPECT_FALSE(host.click(nested, 5, 105).hit) << "right clicks only";
    ClickResult result = host.click(nested, 5, 105, ClickRight);
    EXPECT_TRUE(result.hit);
    EXPECT_FALSE(result.handled);
    EXPECT_EQ(result.keyEvent, 66435u);
    ASSERT_EQ(host.events().size(), 1u);
    EXPECT_EQ(host.events()[0].id, 66435u);
    EXPECT_EQ(host.events()[0].value, 0u);
}

TEST_F(Mouse, ClicksOnAScaledGaugeAreScaledToTheGaugesPixels)
{
    GaugeInstance& small = host.place("Nested", "", 100, 100);
    host.click(small, 56, 26);  // gauge pixels (112, 52)
    ASSERT_FALSE(reports().empty());
    EXPECT_EQ(reports().front(), (std::pair<uint32_t, uint32_t>{reportInnerClickPoint, 12002}));
}

TEST_F(Mouse, TheInnermostRegionsTooltipIsFormattedFromItsArguments)
{
    EXPECT_EQ(host.hover(nested, 120, 70), "Inner 12.50 (ON)");
}

TEST_F(Mouse, OutsideInnerRegionsTheWholeGaugesTooltipShows)
{
    EXPECT_EQ(host.hover(nested, 5, 5), std::string(hostHelpText(12289)));
    EXPECT_NE(host.hover(nested, 5, 5), "");
}

TEST_F(Mouse, ARegionWithAHelpIdAndNoTooltipShowsTheHostsTextForIt)
{
    EXPECT_EQ(host.hover(nested, 10, 160), std::string(hostHelpText(43776)));
}

TEST_F(Mouse, OutsideTheGaugeNothingIsHitAndNoTooltipShows)
{
    EXPECT_FALSE(host.click(nested, 250, 10).hit);
    EXPECT_EQ(host.hover(nested, -1, 10), "");
}

TEST_F(Mouse, PointsNearTheEndsOfIntMissAGaugePlacedSmallerThanItsOwnPixels)
{
    GaugeInstance& small = host.place("Nested", "", 50, 50);
    for (int v : {INT32_MAX, INT32_MIN, INT32_MAX - 1})
        for (int w : {v, 0}) {
            EXPECT_FALSE(host.click(small, v, w).hit) << v << "," << w;
            EXPECT_EQ(host.hover(small, w, v), "");
        }
}

}  // namespace
}  // namespace devhost
