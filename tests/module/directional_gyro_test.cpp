// The directional gyro as the pilot works it: the card turning with the
// heading, the course disc holding its line on the selected course, and the
// two halves beside the centre knob stepping the host's course by 1 degree
// (left click) or 10 (right click), round the circle at 0 and 359.
#include <gtest/gtest.h>

#include <limits>

#include "devhost/core/gauge_instance.h"
#include "devhost/core/host.h"
#include "devhost/core/tooltip_format.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t Heading = 84, Course = 855;
constexpr uint32_t SetCourse = 66042;
constexpr int Card = 1, CourseDisc = 2;
constexpr Point DownHalf = {130, 150}, UpHalf = {170, 150};
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();

class DirectionalGyro : public testing::Test {
protected:
    // The course the click sent, from a course the host held before it.
    uint32_t sentFrom(double course, Point half, uint32_t clickFlags)
    {
        host.variables().set(Course, course);
        host.clearEvents();
        auto click = host.clickGaugePixel(gyro, half, clickFlags);
        EXPECT_TRUE(click.handled);
        if (host.events().size() != 1u) {
            ADD_FAILURE() << host.events().size() << " events sent";
            return 9999;
        }
        EXPECT_EQ(host.events()[0].id, SetCourse);
        return host.events()[0].value;
    }

    uint32_t down(double course, uint32_t flags = ClickLeft) { return sentFrom(course, DownHalf, flags); }
    uint32_t up(double course, uint32_t flags = ClickLeft) { return sentFrom(course, UpHalf, flags); }

    devhost::GaugeSnapshot at(double heading, double course)
    {
        host.variables().set(Heading, heading);
        host.variables().set(Course, course);
        host.frame();
        return host.probe(gyro);
    }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& gyro = host.place("Directionnal_Gyro", {}, 300, 300);
};

TEST_F(DirectionalGyro, TheInstrumentIsFaceCardDiscAndBezel)
{
    auto shown = at(0, 0);
    ASSERT_EQ(shown.elements.size(), 4u);
    const int bitmaps[] = {250, 260, 280, 270};
    const uint32_t flags[] = {0x0003, 0x4083, 0x4083, 0x0003};
    const ElementKind kinds[] = {StaticImage, Sprite, Needle, StaticImage};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(shown.elements[i].depth, i);
        EXPECT_EQ(shown.elements[i].bitmap, bitmaps[i]);
        EXPECT_EQ(shown.elements[i].imageFlags, flags[i]);
        EXPECT_EQ(shown.elements[i].kind, kinds[i]);
    }
}

TEST_F(DirectionalGyro, TheCardTurnsWithTheHeadingAndTheDiscByCourseLessHeading)
{
    auto shown = at(90, 120);
    EXPECT_EQ(shown.elements[Card].rotation, 90.0);
    EXPECT_EQ(shown.elements[CourseDisc].value, 30.0);
    EXPECT_EQ(shown.elements[CourseDisc].angle, 30.0) << "no table: the host turns the disc by the value";
    EXPECT_EQ(at(350, 10).elements[CourseDisc].value, -340.0) << "the same direction as 20 degrees";
}

TEST_F(DirectionalGyro, AHeadingOrCourseThatIsNoNumberCountsAsZero)
{
    EXPECT_EQ(at(NaN, 120).elements[CourseDisc].value, 120.0);
    EXPECT_EQ(at(90, Infinity).elements[CourseDisc].value, -90.0);
    EXPECT_EQ(at(-Infinity, NaN).elements[CourseDisc].value, 0.0);
    EXPECT_EQ(at(-1.7e308, 1.7e308).elements[CourseDisc].value, 0.0) << "a difference beyond any number";
    double huge = at(0, 1e300).elements[CourseDisc].value;
    EXPECT_GT(huge, -360.0);
    EXPECT_LT(huge, 360.0) << "kept within one turn";
}

TEST_F(DirectionalGyro, ALeftClickStepsOneDegreeRoundTheCircle)
{
    EXPECT_EQ(down(0), 359u);
    EXPECT_EQ(down(1), 0u);
    EXPECT_EQ(down(180), 179u);
    EXPECT_EQ(up(359), 0u);
    EXPECT_EQ(up(358), 359u);
    EXPECT_EQ(up(0), 1u);
}

TEST_F(DirectionalGyro, ARightClickStepsTenDegreesRoundTheCircle)
{
    EXPECT_EQ(down(5, ClickRight), 355u);
    EXPECT_EQ(down(10, ClickRight), 0u);
    EXPECT_EQ(down(0, ClickRight), 350u);
    EXPECT_EQ(up(355, ClickRight), 5u);
    EXPECT_EQ(up(349, ClickRight), 359u);
    EXPECT_EQ(up(350, ClickRight), 0u);
}

TEST_F(DirectionalGyro, TheCourseIsCutToWholeDegreesBeforeTheStep)
{
    EXPECT_EQ(up(359.9), 0u) << "359.9 is 359";
    EXPECT_EQ(down(0.9), 359u) << "0.9 is 0";
    EXPECT_EQ(up(44.99, ClickRight), 54u);
}

TEST_F(DirectionalGyro, AClickWithBothButtonsStepsOneDegree)
{
    EXPECT_EQ(up(100, ClickLeft | ClickRight), 101u);
    EXPECT_EQ(down(100, ClickLeft | ClickRight), 99u);
}

TEST_F(DirectionalGyro, TheHostSetsTheCourseThatTheDiscThenShows)
{
    at(90, 120);
    host.clickGaugePixel(gyro, UpHalf, ClickRight);
    EXPECT_EQ(host.variables().get(Course), 130.0);
    host.frame();
    EXPECT_EQ(host.probe(gyro).elements[CourseDisc].value, 40.0);
}

TEST_F(DirectionalGyro, ACourseTheHostCouldNotHoldStillStepsWithinTheCircle)
{
    for (double nonsense : {NaN, Infinity, -Infinity}) {
        EXPECT_EQ(up(nonsense), 1u) << nonsense << " counts as 0";
        EXPECT_EQ(down(nonsense), 359u) << nonsense;
    }
    EXPECT_EQ(up(-5), 356u) << "-5 is 355 round the circle";
    EXPECT_EQ(up(725), 6u) << "725 is 5";
    for (double huge : {1e300, -1e300, 3e9}) {
        EXPECT_LT(up(huge, ClickRight), 360u) << huge;
        EXPECT_LT(down(huge, ClickRight), 360u) << huge;
    }
}

TEST_F(DirectionalGyro, AMiddleClickOrAMissSendsNothing)
{
    host.variables().set(Course, 100);
    EXPECT_FALSE(host.clickGaugePixel(gyro, UpHalf, ClickMiddle).hit);
    EXPECT_FALSE(host.clickGaugePixel(gyro, {20, 20}).hit);
    EXPECT_TRUE(host.events().empty());
}

TEST_F(DirectionalGyro, TheHostSuppliesTheTooltip)
{
    EXPECT_EQ(host.hoverGaugePixel(gyro, {150, 40}), devhost::hostHelpText(12808));
}

}  // namespace
