// Key events as the aircraft's radios and systems answer them.
#include "devhost/core/key_events.h"

#include <gtest/gtest.h>

#include <set>

namespace devhost {
namespace {

constexpr uint32_t ComFineUp = 66435, ComFineDown = 66434, ComWholeUp = 65637, ComWholeDown = 65636;
constexpr uint32_t NavFineUp = 66446, NavFineDown = 66445, NavWholeUp = 65641, NavWholeDown = 65640;
constexpr uint32_t AdfTenthUp = 66462, AdfTenthDown = 66461, AdfKhzUp = 66542, AdfKhzDown = 66543, AdfSet = 66122;

class Cockpit : public ::testing::Test {
protected:
    void send(uint32_t id, uint32_t value = 0, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            engine.apply(id, value);
    }
    uint32_t reg(uint32_t id) const { return variables.getInteger(id); }
    // From `start`, one step up lands on `landsOn` and one step down returns.
    void expectStepAndBack(uint32_t variable, uint32_t start, uint32_t up, uint32_t down, uint32_t landsOn)
    {
        variables.setInteger(variable, start);
        send(up);
        EXPECT_EQ(reg(variable), landsOn) << std::hex << "from 0x" << start;
        send(down);
        EXPECT_EQ(reg(variable), start) << std::hex << "back to 0x" << start;
    }
    double adfKhz() const
    {
        uint32_t low = reg(16), ext = reg(18);
        int whole = (ext >= 0x100 ? 1000 : 0) + int(low >> 8 & 0xF) * 100 + int(low >> 4 & 0xF) * 10 + int(low & 0xF);
        return whole + (ext & 0xFF) / 10.0;
    }

    VariableStore variables;
    WindowState windows;
    KeyEventEngine engine{variables, windows};
};

TEST_F(Cockpit, ComFineStepsWalkThe25KhzChannelsAndShowThemTruncatedTo10Khz)
{
    send(ComFineUp);
    EXPECT_EQ(reg(23), 0x1802u) << "118.025";
    EXPECT_EQ(engine.com1Khz(), 118025);
    send(ComFineUp);
    EXPECT_EQ(reg(23), 0x1805u) << "118.050";
    send(ComFineUp);
    EXPECT_EQ(reg(23), 0x1807u) << "118.075";
    send(ComFineUp);
    EXPECT_EQ(reg(23), 0x1810u) << "118.100";
    send(ComFineDown, 0, 2);
    EXPECT_EQ(reg(23), 0x1805u);
}

TEST_F(Cockpit, ComFineStepCarriesIntoTheMegahertz)
{
    expectStepAndBack(23, 0x2097, ComFineUp, ComFineDown, 0x2100);  // 120.975 to 121.000
    EXPECT_EQ(engine.com1Khz(), 120975);
}

TEST_F(Cockpit, ComFineStepUpFrom135975Reaches136000AndTheTopWrapsToTheBottom)
{
    variables.setInteger(23, 0x3597);
    send(ComFineUp);
    EXPECT_EQ(reg(23), 0x3600u);
    variables.setInteger(23, 0x3697);  // 136.975, the top channel
    send(ComFineUp);
    EXPECT_EQ(reg(23), 0x1800u);
}

TEST_F(Cockpit, ComFineStepDownFrom118000WrapsToTheTop)
{
    send(ComFineDown);
    EXPECT_EQ(reg(23), 0x3697u);
    EXPECT_EQ(engine.com1Khz(), 136975);
}

TEST_F(Cockpit, ComWholeStepsKeepTheChannelAndWrapAcrossTheBand)
{
    variables.setInteger(23, 0x3452);  // 134.525
    send(ComWholeUp);
    EXPECT_EQ(reg(23), 0x3552u);
    EXPECT_EQ(engine.com1Khz(), 135525);
    send(ComWholeUp, 0, 2);
    EXPECT_EQ(reg(23), 0x1852u) << "136.525 up wraps to 118.525";
    send(ComWholeDown);
    EXPECT_EQ(reg(23), 0x3652u);
}

TEST_F(Cockpit, NavFineStepFrom11795WrapsTo10800AndBack)
{
    expectStepAndBack(24, 0x1795, NavFineUp, NavFineDown, 0x0800);
}

TEST_F(Cockpit, NavStepsCarryBetweenFractionAndMegahertz)
{
    variables.setInteger(24, 0x1095);  // 110.95
    send(NavFineUp);
    EXPECT_EQ(reg(24), 0x1100u);
    send(NavWholeUp);
    EXPECT_EQ(reg(24), 0x1200u);
    variables.setInteger(24, 0x0850);
    send(NavWholeDown);
    EXPECT_EQ(reg(24), 0x1750u) << "108.50 down wraps to 117.50";
}

TEST_F(Cockpit, AdfTenthsCarryIntoTheThousandsDigit)
{
    variables.setInteger(16, 0x0999);
    variables.setInteger(18, 0x0009);  // 999.9 kHz
    send(AdfTenthUp);
    EXPECT_EQ(reg(16), 0x0000u);
    EXPECT_EQ(reg(18), 0x0100u);
    EXPECT_DOUBLE_EQ(adfKhz(), 1000.0);
    send(AdfTenthDown);
    EXPECT_EQ(reg(16), 0x0999u);
    EXPECT_EQ(reg(18), 0x0009u);
}

TEST_F(Cockpit, AdfTopOfTheBandWrapsToTheBottom)
{
    variables.setInteger(16, 0x0799);
    variables.setInteger(18, 0x0109);  // 1799.9 kHz
    send(AdfTenthUp);
    EXPECT_DOUBLE_EQ(adfKhz(), 100.0);
    send(AdfTenthDown);
    EXPECT_DOUBLE_EQ(adfKhz(), 1799.9);
    send(AdfKhzUp);
    EXPECT_DOUBLE_EQ(adfKhz(), 100.9);
}

TEST_F(Cockpit, AdfReceiverFiveClicksOfTheKnobMoveHalfAKilohertzOrFive)
{
    send(AdfTenthUp, 0, 5);
    EXPECT_DOUBLE_EQ(adfKhz(), 345.5);
    EXPECT_EQ(reg(18), 0x0005u);
    send(AdfKhzUp, 0, 5);
    EXPECT_DOUBLE_EQ(adfKhz(), 350.5);
    EXPECT_EQ(reg(16), 0x0350u);
    send(AdfKhzDown, 0, 5);
    send(AdfTenthDown, 0, 5);
    EXPECT_DOUBLE_EQ(adfKhz(), 345.0);
}

TEST_F(Cockpit, AdfFrequencySetTakesBcdWithTheTenthsLast)
{
    send(AdfSet, 0x4100);
    EXPECT_EQ(reg(16), 0x0410u);
    EXPECT_EQ(reg(18), 0x0000u);
    send(AdfSet, 0x8500);
    EXPECT_DOUBLE_EQ(adfKhz(), 850.0);
    send(AdfSet, 0x12345);
    EXPECT_EQ(reg(16), 0x0234u);
    EXPECT_EQ(reg(18), 0x0105u);
}

TEST_F(Cockpit, AdfFrequencySetIgnoresValuesThatAreNotBcdOrOutsideTheBand)
{
    send(AdfSet, 0x41A0);
    send(AdfSet, 0x0500);    // 50.0 kHz
    send(AdfSet, 0x18000);   // 1800.0 kHz
    EXPECT_DOUBLE_EQ(adfKhz(), 345.0);
}

TEST_F(Cockpit, TransponderDigitsStepZeroToSevenAndWrapOnTheirOwn)
{
    variables.setInteger(38, 0x7777);
    send(65651);  // thousands up
    EXPECT_EQ(reg(38), 0x0777u);
    send(65654);  // units up
    EXPECT_EQ(reg(38), 0x0770u) << "the units wrap without carrying into the tens";
    send(66458);  // units down
    EXPECT_EQ(reg(38), 0x0777u);
    variables.setInteger(38, 0x0000);
    send(66455);  // thousands down
    send(66456);
    send(66457);
    EXPECT_EQ(reg(38), 0x7770u);
    send(65652);
    send(65653);
    EXPECT_EQ(reg(38), 0x7000u);
}

TEST_F(Cockpit, TransponderDigitSetOutsideOctalStepsAsFromSeven)
{
    variables.setInteger(38, 0x1209);
    send(65654);
    EXPECT_EQ(reg(38), 0x1200u);
    variables.setInteger(38, 0x1209);
    send(66458);
    EXPECT_EQ(reg(38), 0x1207u);
}

TEST_F(Cockpit, PressureKnobStepsOneMillibarAndKeepsTheInchesInStep)
{
    send(65883);
    EXPECT_DOUBLE_EQ(variables.get(75), 1014.25);
    EXPECT_NEAR(variables.get(76), 29.951, 0.001);
    send(65884, 0, 2);
    EXPECT_DOUBLE_EQ(variables.get(75), 1012.25);
    send(65883, 0, 100);
    EXPECT_DOUBLE_EQ(variables.get(75), 1067.0) << "the knob stops at the top of the scales";
    send(65884, 0, 200);
    EXPECT_DOUBLE_EQ(variables.get(75), 930.0);
}

TEST_F(Cockpit, HeadingBugTakesTheDegreesSent)
{
    send(66042, 359);
    EXPECT_EQ(variables.get(855), 359.0);
    send(66042, 360);
    EXPECT_EQ(variables.get(855), 0.0);
}

TEST_F(Cockpit, CagingAndTheNavGpsSourceToggle)
{
    send(66373);
    EXPECT_EQ(variables.get(825), 1.0);
    send(66373);
    EXPECT_EQ(variables.get(825), 0.0);
    send(66375);
    EXPECT_EQ(variables.get(848), 1.0);
    send(66375);
    EXPECT_EQ(variables.get(848), 0.0);
}

TEST_F(Cockpit, IdentifierAudioFollowsTheToneEvents)
{
    send(65841);
    EXPECT_TRUE(engine.identAudio().adf);
    EXPECT_EQ(variables.get(880), 1.0);
    send(65836);
    EXPECT_FALSE(engine.identAudio().adf);
    EXPECT_EQ(variables.get(880), 0.0);
    send(65837);
    EXPECT_TRUE(engine.identAudio().nav1);
    send(65832);
    send(65833);
    EXPECT_FALSE(engine.identAudio().nav1);
    EXPECT_FALSE(engine.identAudio().nav2);
}

TEST_F(Cockpit, PanelWindowsOpenCloseAndToggleByIdentifier)
{
    send(66507, 50);
    EXPECT_TRUE(windows.visible[50]);
    send(66508, 50);
    EXPECT_FALSE(windows.visible[50]);
    send(66506, 75);
    EXPECT_TRUE(windows.visible[75]);
    send(66506, 75);
    EXPECT_FALSE(windows.visible[75]);
}

TEST_F(Cockpit, HostServiceToggleTurnsTheWindow)
{
    windows.visible[0] = true;
    engine.togglePanelWindow(0);
    EXPECT_FALSE(windows.visible[0]);
}

TEST_F(Cockpit, ViewStepsAndTheFixedButtonsAreCounted)
{
    send(65734, 0, 3);
    send(65735);
    EXPECT_EQ(windows.viewStep, 2);
    send(65875);
    EXPECT_TRUE(windows.landingView);
    send(65876);
    send(65564);
    send(66432, 0, 2);
    EXPECT_EQ(windows.kneeboardToggles, 1);
    EXPECT_EQ(windows.atcToggles, 1);
    EXPECT_EQ(windows.mapToggles, 2);
}

TEST_F(Cockpit, UnknownEventsChangeNothing)
{
    send(66042, 90);
    send(99999, 7);
    send(65716, 12);
    EXPECT_EQ(reg(23), 0x1800u);
    EXPECT_EQ(variables.get(855), 90.0);
}

TEST(KeyEventCatalog, NamesEveryEventTheGaugesSendOnce)
{
    const uint32_t sent[] = {65564, 65636, 65637, 65640, 65641, 65651, 65652, 65653, 65654, 65716, 65734,
                             65735, 65832, 65833, 65836, 65837, 65841, 65875, 65876, 65883, 65884, 66042,
                             66122, 66373, 66375, 66432, 66434, 66435, 66445, 66446, 66455, 66456, 66457,
                             66458, 66461, 66462, 66506, 66507, 66508, 66542, 66543};
    for (uint32_t id : sent) {
        const KeyEventInfo* info = findKeyEvent(id);
        ASSERT_NE(info, nullptr) << id;
        EXPECT_FALSE(info->name.empty());
    }
    std::set<uint32_t> ids;
    std::set<std::string_view> names;
    for (const KeyEventInfo& e : knownKeyEvents()) {
        EXPECT_TRUE(ids.insert(e.id).second) << e.id;
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
    }
    EXPECT_EQ(findKeyEvent(12345), nullptr);
}

}  // namespace
}  // namespace devhost
