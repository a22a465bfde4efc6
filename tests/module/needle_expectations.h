// What a pilot sees of a needle, told independently of the development
// host's geometry: the direction from the needle's pivot to a point of its
// face, and whether the needle points that way.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "framework/gauge_model.h"

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
    if (std::abs(off) < 1e-6)
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
