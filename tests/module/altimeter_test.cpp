// The altimeter as the pilot reads it: metres on the metric face with the
// kilometre counter and the millibar tape, feet on the three British
// needles with the inches disc, the presentation following the units switch
// in the next frame, and the knob stepping the host's pressure setting.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "devhost/core/gauge_instance.h"
#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"
#include "tests/module/dial_fixture.h"
#include "tests/module/switch_support.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t Altitude = 74, Millibars = 75, Inches = 76;
constexpr int BritishFace = 1, InchesDisc = 2, MillibarTape = 3, TenThousands = 4, Thousands = 5,
              Hundreds = 6, KilometreCounter = 7, MetreNeedle = 8;
constexpr Point Centre = {150, 150};
constexpr Point Top = {150, 100}, Bottom = {150, 260};
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

double metres(double feet) { return feet * 0.3047693 / 1.009205; }

class Altimeter : public testing::Test {
protected:
    void SetUp() override
    {
        moduletest::playIntoNothing();
        host = std::make_unique<Host>(devhost::moduleUnderTest());
        dial = &host->place("Altimeter", {}, 300, 330);
    }

    devhost::GaugeSnapshot at(uint32_t var, double value)
    {
        host->variables().set(var, value);
        host->frame();
        return host->probe(*dial);
    }

    void throwUnitsLever() { moduletest::throwUnitsLever(*host); }

    void goBritish()
    {
        throwUnitsLever();
        host->frame();
    }

    std::unique_ptr<Host> host;
    GaugeInstance* dial = nullptr;
};

// The metre needle turns once per 1000 m clockwise from the bottom.
double metreNeedleDirection(double m) { return directionTo(Centre, Bottom) + 360.0 * m / 1000.0; }

TEST_F(Altimeter, TheDialIsAChainOfTenElements)
{
    auto shown = at(Altitude, 0);
    ASSERT_EQ(shown.elements.size(), 10u);
    const int bitmaps[] = {430, 370, 380, 360, 420, 410, 400, 350, 340, 390};
    const uint32_t flags[] = {0x4003, 0x4003, 0x4083, 0x4083, 0x4083, 0x4083, 0x4083, 0x4083, 0x4083, 0x0003};
    const ElementKind kinds[] = {StaticImage, Icon, Sprite, MovingImage, Needle, Needle, Needle, MovingImage,
                                 Needle, StaticImage};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(shown.elements[i].depth, i) << "each element is the child of the one before";
        EXPECT_EQ(shown.elements[i].bitmap, bitmaps[i]);
        EXPECT_EQ(shown.elements[i].imageFlags & ~ImageHidden, flags[i]);
        EXPECT_EQ(shown.elements[i].kind, kinds[i]);
    }
}

// ---------------------------------------------------------------- metric

TEST_F(Altimeter, At3281FeetTheMetreNeedleStandsJustBeforeTheBottomAfterNearlyATurn)
{
    auto shown = at(Altitude, 3281);
    EXPECT_NEEDLE_NEAR(shown.elements[MetreNeedle].value, 990.83, 0.005);
    EXPECT_NEEDLE_EQ(shown.elements[MetreNeedle].value, 3281 * 0.3047693 / 1.009205) << "multiplied first";
    EXPECT_TRUE(pointsBetween(shown.elements[MetreNeedle].angle, Centre, {150, 40}, Bottom))
        << "past the 0.5 km mark at the top, coming down the right side, short of the 0 at the bottom";
    EXPECT_NEEDLE_TURN_NEAR(angleBetween(shown.elements[MetreNeedle].angle, metreNeedleDirection(990.83)), 0.01);
    EXPECT_EQ(shown.elements[KilometreCounter].xValue, 0.0) << "still under one kilometre";
    EXPECT_FALSE(shown.elements[MetreNeedle].hidden);
    EXPECT_FALSE(shown.elements[KilometreCounter].hidden);
}

TEST_F(Altimeter, At65617FeetTheCounterShows19Kilometres)
{
    auto shown = at(Altitude, 65617);
    EXPECT_NEEDLE_NEAR(shown.elements[MetreNeedle].value, 19815.64, 0.01) << "about 19816 m";
    EXPECT_EQ(shown.elements[KilometreCounter].xValue, 19.0);
    EXPECT_NEEDLE_TURN_NEAR(angleBetween(shown.elements[MetreNeedle].angle, metreNeedleDirection(metres(65617))), 1e-6)
        << "the needle has turned as often as the altitude demands";
}

TEST_F(Altimeter, BelowSeaLevelTheCounterRoundsDownAndTheNeedleTurnsBackPastZero)
{
    auto shown = at(Altitude, -1000);
    EXPECT_EQ(shown.elements[KilometreCounter].xValue, -1.0) << "floor, not truncation";
    EXPECT_NEEDLE_NEAR(shown.elements[MetreNeedle].value, metres(-1000), 1e-9);
    EXPECT_NEEDLE_TURN_NEAR(angleBetween(shown.elements[MetreNeedle].angle, metreNeedleDirection(metres(-1000))), 1e-6);
    EXPECT_LT(angleBetween(shown.elements[MetreNeedle].angle, directionTo(Centre, Bottom)), 0.0)
        << "counter-clockwise of the 0 mark";
}

TEST_F(Altimeter, TheMillibarTapeShowsTheHostsSettingWithinItsEnds)
{
    auto shown = at(Millibars, 1013);
    EXPECT_EQ(shown.elements[MillibarTape].xValue, 1013.0);
    EXPECT_FALSE(shown.elements[MillibarTape].hidden);
    EXPECT_TRUE(shown.elements[InchesDisc].hidden);
    EXPECT_FALSE(shown.elements[BritishFace].frame);
    EXPECT_EQ(at(Millibars, 1067).elements[MillibarTape].xValue, 1050.0) << "the tape's left end";
}

TEST_F(Altimeter, AnAltitudeThatIsNoNumberOrBoundlessReadsSafely)
{
    for (double nonsense : {NaN, Infinity, -Infinity}) {
        auto shown = at(Altitude, nonsense);
        EXPECT_EQ(shown.elements[MetreNeedle].value, 0.0) << nonsense;
        EXPECT_EQ(shown.elements[KilometreCounter].xValue, 0.0) << nonsense;
    }
    for (double huge : {1e300, -1e300, 4e12}) {
        auto shown = at(Altitude, huge);
        double counter = shown.elements[KilometreCounter].xValue;
        EXPECT_TRUE(std::isfinite(counter)) << huge;
        EXPECT_LE(std::abs(counter), 1000.0) << "within what any host turns into an integer";
        EXPECT_EQ(counter > 0, huge > 0);
    }
    goBritish();
    for (double nonsense : {NaN, Infinity}) {
        auto shown = at(Altitude, nonsense);
        for (int needle : {TenThousands, Thousands, Hundreds})
            EXPECT_EQ(shown.elements[needle].value, 0.0) << nonsense;
    }
}

// ---------------------------------------------------------------- British

TEST_F(Altimeter, BritishTheDiscTurnsNinetyDegreesPerInchFrom29Point9)
{
    goBritish();
    EXPECT_NEEDLE_NEAR(at(Inches, 29.92).elements[InchesDisc].rotation, 1.8, 1e-9);
    EXPECT_NEEDLE_NEAR(at(Inches, 29.9).elements[InchesDisc].rotation, 0.0, 1e-9);
    EXPECT_NEEDLE_NEAR(at(Inches, 27.0).elements[InchesDisc].rotation, -180.0, 1e-9) << "rests at 27.9";
    EXPECT_NEEDLE_NEAR(at(Inches, 27.9).elements[InchesDisc].rotation, -180.0, 1e-9);
    EXPECT_NEEDLE_NEAR(at(Inches, 32.0).elements[InchesDisc].rotation, 144.0, 1e-9) << "rests at 31.5";
    EXPECT_NEEDLE_NEAR(at(Inches, -Infinity).elements[InchesDisc].rotation, -180.0, 1e-9);
    EXPECT_FALSE(at(Inches, 30).elements[InchesDisc].hidden);
}

TEST_F(Altimeter, BritishASettingThatIsNoNumberShowsStandardPressure)
{
    goBritish();
    EXPECT_NEEDLE_NEAR(at(Inches, NaN).elements[InchesDisc].rotation, 0.02 * 90, 1e-9) << "29.92 inches";
    throwUnitsLever();
    EXPECT_EQ(at(Millibars, NaN).elements[MillibarTape].xValue, 1013.25);
}

TEST_F(Altimeter, BritishAt5500FeetEachNeedleReadsItsOwnTurn)
{
    goBritish();
    auto shown = at(Altitude, 5500);
    // One turn per 1000, 10000 and 100000 ft, clockwise from the top.
    const double up = directionTo(Centre, Top);
    EXPECT_NEEDLE_TURN_NEAR(angleBetween(shown.elements[Hundreds].angle, up + 360.0 * 5500 / 1000), 1e-6);
    EXPECT_NEEDLE_TURN_NEAR(angleBetween(shown.elements[Thousands].angle, up + 360.0 * 5500 / 10000), 1e-6);
    EXPECT_NEEDLE_TURN_NEAR(angleBetween(shown.elements[TenThousands].angle, up + 360.0 * 5500 / 100000), 1e-6);
    for (int needle : {TenThousands, Thousands, Hundreds}) {
        EXPECT_EQ(shown.elements[needle].value, 5500.0) << "the whole altitude, not a remainder";
        EXPECT_FALSE(shown.elements[needle].hidden);
    }
}

TEST_F(Altimeter, BritishBelowSeaLevelTheHundredsNeedleStaysAtZero)
{
    goBritish();
    auto shown = at(Altitude, -50);
    EXPECT_TRUE(pointsAt(shown.elements[Hundreds].angle, Centre, Top)) << "held by its -1 point";
    for (int needle : {Thousands, TenThousands}) {
        double back = angleBetween(shown.elements[needle].angle, directionTo(Centre, Top));
        EXPECT_LT(back, 0.0) << "turned slightly back";
        EXPECT_GT(back, -2.0);
    }
}

TEST_F(Altimeter, SwitchingUnitsChangesThePresentationInTheNextFrame)
{
    auto metric = at(Altitude, 3000);
    for (int element : {MillibarTape, KilometreCounter, MetreNeedle})
        EXPECT_FALSE(metric.elements[element].hidden) << element;
    for (int element : {InchesDisc, TenThousands, Thousands, Hundreds}) {
        EXPECT_TRUE(metric.elements[element].hidden) << element;
        EXPECT_EQ(metric.elements[element].kind == Needle ? metric.elements[element].value
                                                          : metric.elements[element].rotationValue,
                  0.0)
            << element;
    }

    throwUnitsLever();
    EXPECT_FALSE(host->probe(*dial).elements[MetreNeedle].hidden) << "nothing changes before the frame";
    host->frame();
    auto british = host->probe(*dial);
    EXPECT_EQ(british.elements[BritishFace].frame, 0);
    for (int element : {InchesDisc, TenThousands, Thousands, Hundreds})
        EXPECT_FALSE(british.elements[element].hidden) << element;
    for (int element : {MillibarTape, KilometreCounter, MetreNeedle}) {
        EXPECT_TRUE(british.elements[element].hidden) << element;
    }
    EXPECT_EQ(british.elements[MetreNeedle].value, 0.0);
    EXPECT_EQ(british.elements[KilometreCounter].xValue, 0.0);
    EXPECT_EQ(british.elements[MillibarTape].xValue, 0.0);

    throwUnitsLever();
    host->frame();
    auto back = host->probe(*dial);
    EXPECT_FALSE(back.elements[BritishFace].frame);
    EXPECT_FALSE(back.elements[MetreNeedle].hidden);
    EXPECT_TRUE(back.elements[Hundreds].hidden);
}

// ---------------------------------------------------------------- knob and tooltips

TEST_F(Altimeter, TheKnobsHalvesStepThePressureSettingAtTheHost)
{
    host->variables().set(Millibars, 1013);
    auto down = host->clickGaugePixel(*dial, {130, 300});
    EXPECT_TRUE(down.hit);
    EXPECT_FALSE(down.handled) << "the host sends the event itself";
    EXPECT_EQ(down.keyEvent, 65884u);
    EXPECT_EQ(host->variables().get(Millibars), 1012.0);

    auto up = host->clickGaugePixel(*dial, {170, 300});
    EXPECT_EQ(up.keyEvent, 65883u);
    up = host->clickGaugePixel(*dial, {176, 329});
    EXPECT_EQ(up.keyEvent, 65883u) << "the knob's lower right corner";
    EXPECT_EQ(host->variables().get(Millibars), 1014.0);

    ASSERT_EQ(host->events().size(), 3u);
    EXPECT_EQ(host->events()[0].id, 65884u);
    EXPECT_EQ(at(Altitude, 0).elements[MillibarTape].xValue, 1014.0) << "the tape follows in the next frame";
}

TEST_F(Altimeter, TheKnobsAreasLieWithinTheKnobNotAtTheGaugesCorner)
{
    for (Point corner : {Point{10, 10}, Point{40, 30}, Point{122, 300}, Point{150, 275}}) {
        auto click = host->clickGaugePixel(*dial, corner);
        EXPECT_FALSE(click.hit) << corner.x << "," << corner.y;
    }
    EXPECT_TRUE(host->events().empty());
}

TEST_F(Altimeter, AKnobRightClickSendsNothing)
{
    EXPECT_FALSE(host->clickGaugePixel(*dial, {130, 300}, ClickRight).hit);
    EXPECT_TRUE(host->events().empty());
}

TEST_F(Altimeter, TheHostSuppliesTheTooltipsOfBothHalvesAndTheStripBelow)
{
    EXPECT_EQ(host->hoverGaugePixel(*dial, {60, 150}), devhost::hostHelpText(12369));
    EXPECT_EQ(host->hoverGaugePixel(*dial, {240, 150}), devhost::hostHelpText(12368));
    EXPECT_EQ(host->hoverGaugePixel(*dial, {30, 300}), devhost::hostHelpText(12372));
}

}  // namespace
