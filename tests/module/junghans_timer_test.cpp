// The clock: hour and minute hands on the host's time of day, a stopwatch
// on simulation time worked by the knob and the reset button, and a bezel
// ring stepped a minute at a time from its edges.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "devhost/core/host.h"
#include "tests/module/dial_fixture.h"
#include "precision.h"

namespace {

using devhost::GaugeInstance;
using devhost::Host;

constexpr uint32_t TimeOfDay = 557;
constexpr uint32_t SimulationTime = 604;
// Drawing order: face, ring, hour, minute, sub-dial, seconds, case.
constexpr int Ring = 1, HourHand = 2, MinuteHand = 3, SubDialHand = 4, SecondsHand = 5;
constexpr Point DialCentre = {138, 139};

// Gauge pixels of the controls (the gauge is placed at its own size).
constexpr Point Knob = {132, 284};
constexpr Point ResetButton = {212, 293};
constexpr Point RingLeftEdge = {37, 135};
constexpr Point RingRightEdge = {238, 135};

class JunghansTimer : public testing::Test {
protected:
    Host host{devhost::moduleUnderTest()};
    GaugeInstance& clock = host.place("Junghans_Timer");

    // One frame at simulation time t; the stopwatch's whole seconds then,
    // which both hands must agree on.
    double stopwatchAt(double t)
    {
        host.variables().set(SimulationTime, t);
        host.frame();
        const devhost::GaugeSnapshot shown = host.probe(clock);
        EXPECT_EQ(shown.elements[SubDialHand].value, shown.elements[SecondsHand].value) << "at t = " << t;
        return shown.elements[SecondsHand].value;
    }

    void press(Point control) { ASSERT_TRUE(host.clickGaugePixel(clock, control).handled); }

    // A frame at t, then the knob: the stopwatch runs from t on.
    void startAt(double t)
    {
        stopwatchAt(t);
        press(Knob);
    }

    double bezelDegrees()
    {
        host.frame();
        return host.probe(clock).elements[Ring].rotation;
    }
};

// ---------------------------------------------------------------- stopwatch

TEST_F(JunghansTimer, TheStopwatchStandsAtZeroUntilStarted)
{
    EXPECT_EQ(stopwatchAt(5000.0), 0.0);
    EXPECT_EQ(stopwatchAt(9000.0), 0.0);
}

TEST_F(JunghansTimer, StartedItCountsSimulationTimeInWholeSeconds)
{
    startAt(1000.0);
    EXPECT_EQ(stopwatchAt(1000.4), 0.0);
    EXPECT_EQ(stopwatchAt(1001.2), 1.0) << "1.2 s counted";
}

TEST_F(JunghansTimer, StoppedItHoldsAndRestartedItResumesWithoutTheStoppedTime)
{
    startAt(100.0);
    EXPECT_EQ(stopwatchAt(165.7), 65.0);
    press(Knob);
    EXPECT_EQ(stopwatchAt(400.0), 65.0) << "stopped";
    press(Knob);
    EXPECT_EQ(stopwatchAt(400.0), 65.0) << "resumed at 65.7 s";
    EXPECT_EQ(host.probe(clock).elements[SubDialHand].value, 65.0) << "65 of the sub-dial's 900 seconds";
    EXPECT_EQ(stopwatchAt(401.0), 66.0);
}

TEST_F(JunghansTimer, ResetWhileRunningStartsAgainFromZero)
{
    startAt(10.0);
    EXPECT_EQ(stopwatchAt(40.0), 30.0);
    press(ResetButton);
    EXPECT_EQ(stopwatchAt(40.5), 0.0);
    EXPECT_EQ(stopwatchAt(42.5), 2.0) << "still running";
}

TEST_F(JunghansTimer, ResetWhileStoppedClearsTheCount)
{
    startAt(10.0);
    EXPECT_EQ(stopwatchAt(20.0), 10.0);
    press(Knob);
    press(ResetButton);
    EXPECT_EQ(stopwatchAt(30.0), 0.0);
}

TEST_F(JunghansTimer, AnUnreadableHostTimeIsPassedOverNotCounted)
{
    startAt(1000.0);
    EXPECT_EQ(stopwatchAt(1002.0), 2.0);
    EXPECT_EQ(stopwatchAt(std::numeric_limits<double>::quiet_NaN()), 2.0);
    EXPECT_EQ(stopwatchAt(std::numeric_limits<double>::infinity()), 2.0);
    EXPECT_EQ(stopwatchAt(-std::numeric_limits<double>::infinity()), 2.0);
    EXPECT_EQ(stopwatchAt(1005.0), 5.0) << "counting goes on from the last readable time";
}

TEST_F(JunghansTimer, AnEnormousTimeIsShownAndAStepBeyondEveryDoubleIsNotCounted)
{
    constexpr double largest = std::numeric_limits<double>::max();
    startAt(0.0);
    EXPECT_NEEDLE_EQ(stopwatchAt(1e300), 1e300) << "whole seconds of any size";
    press(ResetButton);
    EXPECT_EQ(stopwatchAt(-largest), 0.0) << "back by more than any double";
    EXPECT_EQ(stopwatchAt(largest), 0.0) << "forward by twice the largest double";
    EXPECT_EQ(stopwatchAt(largest), 0.0) << "that time was kept: no step now";
}

// ---------------------------------------------------------------- bezel

TEST_F(JunghansTimer, TheBezelStepsAMinuteAtATimeAndComesRoundToZero)
{
    EXPECT_EQ(bezelDegrees(), 0.0);
    press(RingLeftEdge);
    EXPECT_EQ(bezelDegrees(), 6.0);
    for (int i = 0; i < 58; ++i)
        press(RingLeftEdge);
    EXPECT_EQ(bezelDegrees(), 354.0) << "59 minutes";
    press(RingLeftEdge);
    EXPECT_EQ(bezelDegrees(), 0.0) << "59 forward gives 0";
}

TEST_F(JunghansTimer, BackFromZeroTheBezelGoesNegativeAndComesRoundFromMinus59)
{
    press(RingRightEdge);
    EXPECT_EQ(bezelDegrees(), -6.0) << "-1 minute, where 59 would be";
    press(RingLeftEdge);
    EXPECT_EQ(bezelDegrees(), 0.0);
    for (int i = 0; i < 59; ++i)
        press(RingRightEdge);
    EXPECT_EQ(bezelDegrees(), -354.0);
    press(RingRightEdge);
    EXPECT_EQ(bezelDegrees(), 0.0) << "-59 back gives 0";
}

// ---------------------------------------------------------------- hands

TEST_F(JunghansTimer, TheHourAndMinuteHandsShowTheTimeOfDay)
{
    struct {
        double seconds;
        Point hour, minute;  // points of the dial they point at
    } times[] = {
        {0.0, {138, 39}, {138, 39}},                      // midnight: both at 12
        {3 * 3600.0, {238, 139}, {138, 39}},              // 03:00
        {14 * 3600.0 + 15 * 60, {230, 101}, {238, 139}},  // 14:15: hour between 2 and 3, minute at 3
        {18 * 3600.0 + 45 * 60, {100, 231}, {38, 139}},   // 18:45: hour between 6 and 7, minute at 9
    };
    for (const auto& time : times) {
        host.variables().set(TimeOfDay, time.seconds);
        host.frame();
        const devhost::GaugeSnapshot shown = host.probe(clock);
        EXPECT_EQ(shown.elements[HourHand].value, time.seconds);
        EXPECT_NEEDLE_TURN_NEAR(angleBetween(shown.elements[HourHand].angle, directionTo(DialCentre, time.hour)), 1.0)
            << time.seconds;
        EXPECT_TRUE(pointsAt(shown.elements[MinuteHand].angle, DialCentre, time.minute)) << time.seconds;
    }
}

TEST_F(JunghansTimer, TheClockCarriesTheHostsHelpOverTheWholeGauge)
{
    EXPECT_EQ(host.probe(clock).helpIdOfFirstRegion, 43798u);
    EXPECT_TRUE(host.events().empty());
    EXPECT_FALSE(host.clickGaugePixel(clock, {138, 139}).hit) << "the dial itself takes no click";
}

}  // namespace
