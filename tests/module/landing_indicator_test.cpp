// The ILS cross-pointer: both needles rest at the centre unless the NAV
// receiver is on and its station offers an approach; then they show the
// host's deviations, pointing where the dial's marks are.
#include <gtest/gtest.h>

#include <limits>

#include "tests/module/dial_fixture.h"
#include "tests/module/switch_support.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t CourseDeviation = 40, GlideDeviation = 41, StationFlags = 46, CourseAngle = 48;
constexpr uint32_t ApproachSignal = 0x80;
constexpr uint32_t SetLandingCourse = 65716;

constexpr size_t CourseNeedle = 1, GlideNeedle = 2;  // face 0, bezel 3
constexpr Point CoursePivot = {98, 52}, GlidePivot = {148, 101};
constexpr Point CourseCentre = {98, 150}, GlideCentre = {44, 101};

constexpr Point NavMainSwitch = {129, 238};

class LandingIndicator : public testing::Test {
protected:
    void SetUp() override { moduletest::playIntoNothing(); }

    void switchReceiverOn() { ASSERT_TRUE(host.clickGaugePixel(nav, NavMainSwitch).handled); }

    // The host's signal for one frame; what the two needles then show.
    std::pair<devhost::ElementSnapshot, devhost::ElementSnapshot> signal(uint32_t flags, double course, double glide)
    {
        host.variables().setInteger(StationFlags, flags);
        host.variables().set(CourseDeviation, course);
        host.variables().set(GlideDeviation, glide);
        host.frame();
        auto probe = host.probe(indicator);
        return {probe.elements.at(CourseNeedle), probe.elements.at(GlideNeedle)};
    }

    void expectCentred(uint32_t flags, double course, double glide)
    {
        auto [courseNeedle, glideNeedle] = signal(flags, course, glide);
        EXPECT_EQ(courseNeedle.value, 0.0);
        EXPECT_EQ(glideNeedle.value, 0.0);
        EXPECT_TRUE(pointsAt(courseNeedle.angle, CoursePivot, CourseCentre));
        EXPECT_TRUE(pointsAt(glideNeedle.angle, GlidePivot, GlideCentre));
    }

    size_t courseEventsIn(int frames)
    {
        host.clearEvents();
        host.frame(frames);
        size_t sent = 0;
        for (const devhost::EventRecord& event : host.events())
            if (event.id == SetLandingCourse) {
                EXPECT_EQ(event.value, 0u);
                sent += event.count;
            }
        return sent;
    }

    Host host{devhost::moduleUnderTest()};
    GaugeInstance& indicator = host.place("Landing_Indicator");
    GaugeInstance& nav = host.place("Radio_NAV_E10K");
};

TEST_F(LandingIndicator, WithTheReceiverOffBothNeedlesRestAtTheCentre)
{
    expectCentred(ApproachSignal, 127, -120);
    expectCentred(0xFFFFFFFF, -80, 60);
}

TEST_F(LandingIndicator, WithoutAnApproachSignalBothNeedlesRestAtTheCentre)
{
    switchReceiverOn();
    expectCentred(0, 127, -120);
    expectCentred(0x7F, 127, -120);
    expectCentred(0xFFFFFF7F, -50, 90);
}

TEST_F(LandingIndicator, OnTheApproachTheNeedlesPointAtTheirMarks)
{
    switchReceiverOn();
    auto [right, up] = signal(ApproachSignal, 127, -120);
    EXPECT_EQ(right.value, 127.0);
    EXPECT_TRUE(pointsAt(right.angle, CoursePivot, {129, 150}));
    EXPECT_EQ(up.value, -120.0);
    EXPECT_TRUE(pointsAt(up.angle, GlidePivot, {44, 68}));

    auto [left, down] = signal(ApproachSignal | 0x01, -127, 120);
    EXPECT_TRUE(pointsAt(left.angle, CoursePivot, {67, 150}));
    EXPECT_TRUE(pointsAt(down.angle, GlidePivot, {44, 134}));

    auto [onCourse, onGlidePath] = signal(ApproachSignal, 0, 0);
    EXPECT_TRUE(pointsAt(onCourse.angle, CoursePivot, CourseCentre));
    EXPECT_TRUE(pointsAt(onGlidePath.angle, GlidePivot, GlideCentre));
}

TEST_F(LandingIndicator, SwitchingTheReceiverOffCentresTheNeedlesInTheNextFrame)
{
    switchReceiverOn();
    signal(ApproachSignal, 100, 100);
    switchReceiverOn();  // a second click: off
    expectCentred(ApproachSignal, 100, 100);
}

TEST_F(LandingIndicator, ADeviationThatIsNoNumberCentresItsNeedleAndSparesTheOther)
{
    switchReceiverOn();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    auto [course, glide] = signal(ApproachSignal, nan, -120);
    EXPECT_EQ(course.value, 0.0);
    EXPECT_TRUE(pointsAt(course.angle, CoursePivot, CourseCentre));
    EXPECT_TRUE(pointsAt(glide.angle, GlidePivot, {44, 68}));
    auto [course2, glide2] = signal(ApproachSignal, 127, -infinity);
    EXPECT_EQ(glide2.value, 0.0);
    EXPECT_TRUE(pointsAt(course2.angle, CoursePivot, {129, 150}));
}

TEST_F(LandingIndicator, WhileTheReceiverIsOnACourseOfExactlyZeroIsHandedBackToTheHost)
{
    EXPECT_EQ(courseEventsIn(3), 0u) << "receiver off";
    switchReceiverOn();
    host.variables().set(CourseAngle, 0);
    EXPECT_GE(courseEventsIn(3), 3u) << "at least once a frame";
    host.variables().set(CourseAngle, 8192);  // 45 degrees
    EXPECT_EQ(courseEventsIn(3), 0u);
    host.variables().set(CourseAngle, 1);  // a fraction of a degree is no course of 0
    EXPECT_EQ(courseEventsIn(3), 0u);
    host.variables().set(CourseAngle, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(courseEventsIn(3), 0u);
}

TEST_F(LandingIndicator, TheWholeDialNamesItself)
{
    EXPECT_EQ(host.hoverGaugePixel(indicator, {100, 100}), "Landing Indicator NAV1");
    EXPECT_FALSE(host.clickGaugePixel(indicator, {100, 100}).hit);
}

}  // namespace
