// What a pilot sees of a needle dial placed in the development host. The
// needle's direction is told independently of the host's geometry: the
// direction from the needle's pivot to a point of its face, and whether the
// needle points that way.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "devhost/core/host.h"
#include "framework/gauge_model.h"
#include "precision.h"

// Degrees clockwise on the screen (y grows downwards) from +x, the way a
// needle bitmap drawn pointing to +x is turned.
inline double directionTo(Point pivot, Point mark)
{
    return std::atan2(double(mark.y - pivot.y), double(mark.x - pivot.x)) * 180.0 / std::numbers::pi;
}

// The signed difference a - b folded into (-180, 180].
inline double angleBetween(double a, double b)
{
    double d = std::fmod(a - b, 360.0);
    if (d <= -180.0)
        d += 360.0;
    if (d > 180.0)
        d -= 360.0;
    return d;
}

inline testing::AssertionResult pointsAt(double needleAngle, Point pivot, Point mark)
{
    double off = angleBetween(needleAngle, directionTo(pivot, mark));
    if (std::abs(off) < moduletest::needleTolerance(360.0, 1e-6))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the needle at " << needleAngle << " degrees misses the mark ("
                                       << mark.x << "," << mark.y << ") by " << off << " degrees";
}

// Strictly between two marks, going clockwise from the first.
inline testing::AssertionResult pointsBetween(double needleAngle, Point pivot, Point from, Point to)
{
    double span = angleBetween(directionTo(pivot, to), directionTo(pivot, from));
    double along = angleBetween(needleAngle, directionTo(pivot, from));
    if (span > 0 && along > 0 && along < span)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the needle at " << needleAngle << " degrees is not between ("
                                       << from.x << "," << from.y << ") and (" << to.x << "," << to.y << ")";
}

// A value on a dial's scale: the host's value that puts the needle there,
// the needle value it shows, and the face point it then points at.
struct Mark {
    double source;
    double value;
    Point point;
};

class DialTest : public testing::Test {
protected:
    static constexpr size_t needle = 1;  // drawing order: face 0, needle 1, bezel 2

    // One frame with the variable at value; what the needle then shows.
    devhost::ElementSnapshot show(devhost::GaugeInstance& gauge, uint32_t var, double value)
    {
        host.variables().set(var, value);
        return nextFrame(gauge);
    }

    devhost::ElementSnapshot nextFrame(devhost::GaugeInstance& gauge)
    {
        host.frame();
        return shown(gauge);
    }

    devhost::ElementSnapshot shown(const devhost::GaugeInstance& gauge) const
    {
        return host.probe(gauge).elements.at(needle);
    }

    // For each mark: the host value held for `frames` frames puts the needle
    // on the mark's value, pointing at the mark.
    void expectLandsOnEachMark(devhost::GaugeInstance& gauge, uint32_t var, Point pivot,
                               const std::vector<Mark>& marks, int frames = 1)
    {
        for (const Mark& mark : marks) {
            SCOPED_TRACE("at " + std::to_string(mark.value));
            host.variables().set(var, mark.source);
            host.frame(frames);
            devhost::ElementSnapshot needleNow = shown(gauge);
            EXPECT_NEEDLE_NEAR(needleNow.value, mark.value, 1e-9);
            EXPECT_TRUE(pointsAt(needleNow.angle, pivot, mark.point));
        }
    }

    // Two gauges of one kind side by side, each given its own engine's value
    // in the same frame, print each their own.
    struct Side {
        const char* gauge;
        uint32_t var;
        double source;
        std::string tooltip;
    };
    void expectEachReadsItsOwn(const Side& left, const Side& right)
    {
        auto& leftGauge = host.place(left.gauge);
        auto& rightGauge = host.place(right.gauge);
        host.variables().set(left.var, left.source);
        host.variables().set(right.var, right.source);
        host.frame();
        EXPECT_EQ(tooltip(leftGauge), left.tooltip);
        EXPECT_EQ(tooltip(rightGauge), right.tooltip);
    }

    // The whole-gauge tooltip, as the pointer over the dial shows it.
    std::string tooltip(devhost::GaugeInstance& gauge) { return host.hover(gauge, 60, 60); }

    devhost::Host host{devhost::moduleUnderTest()};
};
