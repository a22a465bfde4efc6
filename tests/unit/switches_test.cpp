// The switch mechanics every gauge shares: flipping a two-state switch,
// showing one presentation and hiding the other, the tooltip words.
#include "framework/switches.h"

#include <gtest/gtest.h>

namespace {

TEST(TwoStateSwitch, AClickTurnsOffIntoOnAndAnyOnIntoOff)
{
    int32_t state = 0;
    toggleSwitch(state);
    EXPECT_EQ(state, 1);
    toggleSwitch(state);
    EXPECT_EQ(state, 0);
    for (int32_t on : {2, -1, INT32_MIN, INT32_MAX}) {
        state = on;
        toggleSwitch(state);
        EXPECT_EQ(state, 0) << on;
    }
}

TEST(ShowWhen, HidesAndShowsThroughTheHiddenBitAloneKeepingEveryOtherFlag)
{
    GaugeElement element{.imageFlags = 0x4083 | ImageOnScreen};
    showWhen(&element, false);
    EXPECT_EQ(element.imageFlags, 0x4083 | ImageOnScreen | ImageHidden);
    showWhen(&element, false);
    EXPECT_EQ(element.imageFlags, 0x4083 | ImageOnScreen | ImageHidden) << "hiding twice changes nothing";
    showWhen(&element, true);
    EXPECT_EQ(element.imageFlags, 0x4083 | ImageOnScreen);
    showWhen(nullptr, true);  // a host that passes no element gets nothing done, and no crash
}

TEST(ShowWhen, AOneFrameIconIsDrawnOnlyWhenShown)
{
    EXPECT_EQ(frameWhen(true), 0.0);
    EXPECT_EQ(frameWhen(false), NoFrame);
    EXPECT_EQ(NoFrame, -1.0);
}

TEST(ShowWhen, AHiddenNeedleRestsAtZero)
{
    GaugeElement needle{.imageFlags = 0x4083};
    EXPECT_EQ(needleWhen(&needle, true, 185.0), 185.0);
    EXPECT_EQ(needle.imageFlags & ImageHidden, 0u);
    EXPECT_EQ(needleWhen(&needle, false, 185.0), 0.0);
    EXPECT_EQ(needle.imageFlags & ImageHidden, ImageHidden);
}

TEST(TooltipWords, OnForAnyNonZeroStateOffForZero)
{
    EXPECT_STREQ(onOffWord(0), "off");
    EXPECT_STREQ(onOffWord(1), "on");
    EXPECT_STREQ(onOffWord(-7), "on");
}

}  // namespace
