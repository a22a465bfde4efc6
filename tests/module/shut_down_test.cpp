// The invisible shut-down area: on the host's notice, with the host's
// condition set, every radio goes off together and the tone audio is told so.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "devhost/core/host.h"
#include "tests/module/switch_support.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t ConditionVar = 60;
constexpr int32_t ShutDownNotice = 14;
const std::vector<uint32_t> toneOffEvents = {65836, 65832, 65833};

std::vector<uint32_t> keyEvents(const Host& host)
{
    std::vector<uint32_t> ids;
    for (const devhost::EventRecord& event : host.events())
        if (!event.windowToggle)
            ids.push_back(event.id);
    return ids;
}

class ShutDown : public testing::Test {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& area = host.place("Shut_Down");
};

TEST_F(ShutDown, WithTheConditionSetSendsTheThreeToneEventsInOrderEvenWithEveryRadioOff)
{
    host.variables().set(ConditionVar, 1);
    host.clearEvents();
    host.notify(area, ShutDownNotice);
    EXPECT_EQ(keyEvents(host), toneOffEvents);
    for (const devhost::EventRecord& event : host.events())
        EXPECT_EQ(event.value, 0u);
}

TEST_F(ShutDown, DoesNothingUnlessTheConditionIsPositive)
{
    for (double condition : {0.0, -1.0, std::numeric_limits<double>::quiet_NaN()}) {
        host.variables().set(ConditionVar, condition);
        host.clearEvents();
        host.notify(area, ShutDownNotice);
        EXPECT_TRUE(keyEvents(host).empty()) << "condition " << condition;
    }
}

TEST_F(ShutDown, IgnoresEveryOtherServiceCode)
{
    host.variables().set(ConditionVar, 1);
    host.clearEvents();
    for (int32_t code : {0, 2, 6, 12, 13, 15})
        host.notify(area, code);
    host.frame();
    EXPECT_TRUE(keyEvents(host).empty());
}

TEST_F(ShutDown, SwitchesEveryRadioOffAtTheNextFrame)
{
    GaugeInstance& com = host.place("Radio_COM_SK10");
    GaugeInstance& nav = host.place("Radio_NAV_E10K");
    GaugeInstance& adf = host.place("Radio_ADF_EZ6");
    GaugeInstance& xpdr = host.place("Radio_XPDR_FUG25A6");
    host.frame();
    // Main switches on, and both tone switches.
    host.clickGaugePixel(com, {45, 46});
    host.clickGaugePixel(nav, {129, 238});
    host.clickGaugePixel(nav, {53, 238});
    host.clickGaugePixel(adf, {535, 393});
    host.clickGaugePixel(adf, {78, 403});
    host.clickGaugePixel(xpdr, {113, 145});
    host.frame();
    ASSERT_EQ(host.hoverGaugePixel(com, {45, 46}), "COM1 main switch (on)");
    ASSERT_EQ(host.hoverGaugePixel(nav, {129, 238}), "NAV1 main switch (on)");
    ASSERT_EQ(host.hoverGaugePixel(nav, {53, 238}), "Tone switch (on)");
    ASSERT_EQ(host.hoverGaugePixel(adf, {535, 393}), "ADF main switch (on)");
    ASSERT_EQ(host.hoverGaugePixel(adf, {78, 403}), "Tone switch (on)");
    ASSERT_EQ(host.hoverGaugePixel(xpdr, {101, 145}), "Transponder (IFF) main switch (on)");
    uint32_t comFrequency = host.variables().getInteger(23);

    host.variables().set(ConditionVar, 2.5);
    host.clearEvents();
    host.notify(area, ShutDownNotice);
    EXPECT_EQ(keyEvents(host), toneOffEvents);
    host.frame();

    EXPECT_EQ(host.hoverGaugePixel(com, {45, 46}), "COM1 main switch (off)");
    EXPECT_EQ(host.hoverGaugePixel(nav, {129, 238}), "NAV1 main switch (off)");
    EXPECT_EQ(host.hoverGaugePixel(nav, {53, 238}), "Tone switch (off)");
    EXPECT_EQ(host.hoverGaugePixel(adf, {535, 393}), "ADF main switch (off)");
    EXPECT_EQ(host.hoverGaugePixel(adf, {78, 403}), "Tone switch (off)");
    EXPECT_EQ(host.hoverGaugePixel(xpdr, {101, 145}), "Transponder (IFF) main switch (off)");
    EXPECT_EQ(host.variables().getInteger(23), comFrequency) << "frequencies stay as they are";
}

}  // namespace
