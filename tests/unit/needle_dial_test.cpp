// The needle-dial record as the host reads it: three elements drawn face,
// needle, bezel; the table, failures and tooltip the description gives.
#include "framework/needle_dial.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

GaugeDefinition owner{};
double shown = 0.0;

double VARDEX_HOSTAPI halve(GaugeElement* needle) { return needleSource(needle) / 2; }

constexpr CalibrationPoint scale[] = {{{10, 90}, 0.0}, {{50, 10}, 5.0}, {{90, 90}, 10.0}};
constexpr FailureBinding failures[] = {{20, FailZero}, {2, FailNone}, {7, FailFreeze}};
constexpr DialParts parts = {.face = 11, .needle = 12, .bezel = 13, .needlePosition = {50, 60}, .needleOffset = {4, 3}};

constinit NeedleDial textDial{{.gauge = &owner,
                               .parts = parts,
                               .variable = 625,
                               .update = halve,
                               .failures = failures,
                               .tooltip = "Value (%1!d!)",
                               .tooltipValue = printStored<shown>,
                               .maxDegreesPerTick = 7},
                              scale};

constinit NeedleDial plainTextDial{{.gauge = &owner, .parts = parts, .tooltip = "Plain 100%%1 words"}, scale};
constinit NeedleDial hostHelpDial{{.gauge = &owner, .parts = parts, .variable = 567, .helpId = 12513}, scale};

TEST(NeedleDial, DrawsFaceThenNeedleThenBezelEachTheChildOfTheOneBefore)
{
    ASSERT_EQ(textDial.elements.roots()[0], &textDial.face().common);
    EXPECT_EQ(textDial.elements.roots()[1], nullptr);
    EXPECT_EQ(textDial.face().common.children[0], &textDial.needle().common);
    EXPECT_EQ(textDial.face().common.children[1], nullptr);
    EXPECT_EQ(textDial.needle().common.children[0], &textDial.bezel().common);
    EXPECT_EQ(textDial.needle().common.children[1], nullptr);
    EXPECT_EQ(textDial.bezel().common.children, nullptr);
    for (const GaugeElement* e : {&textDial.face().common, &textDial.needle().common, &textDial.bezel().common})
        EXPECT_EQ(e->gauge, &owner);
}

TEST(NeedleDial, CarriesTheBitmapsFlagsAndPivotOfItsParts)
{
    EXPECT_EQ(textDial.face().common.kind, StaticImage);
    EXPECT_EQ(textDial.face().common.bitmap, 11);
    EXPECT_EQ(textDial.face().common.imageFlags, 0x4003u);
    EXPECT_EQ(textDial.needle().common.kind, Needle);
    EXPECT_EQ(textDial.needle().common.bitmap, 12);
    EXPECT_EQ(textDial.needle().common.imageFlags, 0x4083u);
    EXPECT_EQ(textDial.needle().common.position.x, 50);
    EXPECT_EQ(textDial.needle().common.position.y, 60);
    EXPECT_EQ(textDial.needle().common.offset.x, 4);
    EXPECT_EQ(textDial.needle().common.offset.y, 3);
    EXPECT_EQ(textDial.needle().maxDegreesPerTick, 7);
    EXPECT_EQ(textDial.bezel().common.bitmap, 13);
    EXPECT_EQ(textDial.bezel().common.imageFlags, 0x0003u);
    EXPECT_EQ(textDial.bezel().common.position.x, 0);
    EXPECT_EQ(textDial.bezel().common.position.y, 0);
}

TEST(NeedleDial, OwnsACopyOfItsScaleAndAClosedFailureList)
{
    EXPECT_EQ(textDial.needle().source.id, 625u);
    EXPECT_EQ(textDial.needle().update, &halve);
    ASSERT_EQ(textDial.needle().pointCount, 3u);
    EXPECT_EQ(textDial.needle().table, textDial.table);
    EXPECT_NE(textDial.needle().table, scale) << "the host writes into the table, so it is the dial's own";
    EXPECT_EQ(textDial.table[1].point.x, 50);
    EXPECT_EQ(textDial.table[2].value, 10.0);
    ASSERT_EQ(textDial.needle().common.failures, textDial.failures);
    EXPECT_EQ(textDial.failures[0].system, 20u);
    EXPECT_EQ(textDial.failures[0].action, uint32_t{FailZero});
    EXPECT_EQ(textDial.failures[2].system, 7u);
    EXPECT_EQ(textDial.failures[3].system, 0u) << "the list ends with system 0";
    EXPECT_EQ(hostHelpDial.needle().common.failures, nullptr) << "no failures, no list";
    EXPECT_EQ(hostHelpDial.needle().update, nullptr);
}

TEST(NeedleDial, ATextTooltipOverTheWholeGaugeWithItsOneArgument)
{
    const MouseArea* areas = textDial.mouseAreas;
    EXPECT_EQ(areas[0].type, Region);
    EXPECT_EQ(areas[0].box.width, 0);
    EXPECT_EQ(areas[0].helpId, 0u);
    EXPECT_EQ(areas[0].cursor, CursorNone);
    EXPECT_EQ(areas[1].type, Tooltip);
    EXPECT_STREQ(areas[1].tooltipText, "Value (%1!d!)");
    EXPECT_EQ(areas[1].keyEventOrArgCount, 1u);
    ASSERT_EQ(areas[1].tooltipArgs, &textDial.tooltipArg);
    shown = 42.0;
    EXPECT_EQ(areas[1].tooltipArgs->number(0, 0, nullptr, nullptr, nullptr), 42.0);
    EXPECT_EQ(areas[2].type, RegionEnd);
    EXPECT_EQ(areas[3].type, ListEnd);
}

TEST(NeedleDial, ATextWithoutInsertHasNoArgumentForTheHostToCall)
{
    const MouseArea& tip = plainTextDial.mouseAreas[1];
    EXPECT_STREQ(tip.tooltipText, "Plain 100%%1 words") << "a percent sign and a 1, no insert";
    EXPECT_EQ(tip.keyEventOrArgCount, 0u);
    EXPECT_EQ(tip.tooltipArgs, nullptr);
}

TEST(NeedleDial, AHostTooltipNamesOnlyItsHelpId)
{
    const MouseArea& tip = hostHelpDial.mouseAreas[1];
    EXPECT_EQ(tip.type, Tooltip);
    EXPECT_EQ(tip.helpId, 12513u);
    EXPECT_EQ(tip.cursor, CursorNone);
    EXPECT_EQ(tip.tooltipText, nullptr);
    EXPECT_EQ(tip.tooltipArgs, nullptr);
    EXPECT_EQ(tip.keyEventOrArgCount, 0u);
}

// A family of dials that show twice the host value and print what they showed.
double twice(double v) { return 2 * v; }
double firstShown = 0.0;
double secondShown = 0.0;

template <double& shown>
constexpr NeedleDialSpec doublingFamily = convertingDial<twice, shown>(parts, failures);

constinit auto firstOfFamily = familyDial(doublingFamily<firstShown>, scale, &owner, 630, "First (%1!d!)");
constinit auto secondOfFamily = familyDial(doublingFamily<secondShown>, scale, &owner, 649, "Second (%1!d!)");

TEST(FamilyDial, EachMemberHasItsOwnVariableTextAndShownValue)
{
    EXPECT_EQ(firstOfFamily.needle().source.id, 630u);
    EXPECT_EQ(secondOfFamily.needle().source.id, 649u);
    EXPECT_STREQ(firstOfFamily.mouseAreas[1].tooltipText, "First (%1!d!)");
    EXPECT_STREQ(secondOfFamily.mouseAreas[1].tooltipText, "Second (%1!d!)");
    EXPECT_EQ(firstOfFamily.needle().common.bitmap, 12) << "the family's parts";
    EXPECT_EQ(secondOfFamily.failures[1].system, 2u) << "the family's failures";

    firstOfFamily.needle().source.value.number = 3;
    secondOfFamily.needle().source.value.number = 5;
    EXPECT_EQ(firstOfFamily.needle().update(&firstOfFamily.needle().common), 6.0);
    EXPECT_EQ(secondOfFamily.needle().update(&secondOfFamily.needle().common), 10.0);
    const TooltipArg* firstArg = firstOfFamily.mouseAreas[1].tooltipArgs;
    const TooltipArg* secondArg = secondOfFamily.mouseAreas[1].tooltipArgs;
    EXPECT_EQ(firstArg->number(0, 0, nullptr, nullptr, nullptr), 6.0) << "what the first needle showed";
    EXPECT_EQ(secondArg->number(0, 0, nullptr, nullptr, nullptr), 10.0) << "what the second needle showed";
}

TEST(NeedleSource, ReadsTheValueTheHostFilledAndNothingElse)
{
    textDial.needle().source.value.number = 8.5;
    EXPECT_EQ(halve(&textDial.needle().common), 4.25);
    EXPECT_EQ(needleSource(nullptr), 0.0);
    EXPECT_EQ(needleSource(&textDial.face().common), 0.0) << "a face has no source";
}

TEST(FiniteOr, LetsOnlyFiniteNumbersThrough)
{
    EXPECT_EQ(finiteOr(-3.5, 0.0), -3.5);
    EXPECT_EQ(finiteOr(std::numeric_limits<double>::quiet_NaN(), 1.0), 1.0);
    EXPECT_EQ(finiteOr(std::numeric_limits<double>::infinity(), 2.0), 2.0);
    EXPECT_EQ(finiteOr(-std::numeric_limits<double>::infinity(), 3.0), 3.0);
}

}  // namespace
