// The ADF bearing indicator's arithmetic, free of the host: where each of
// its two needles stands for the relative bearing of the received station.
// ADF_Indicator (adf_indicator.cpp) calls these with the host's bearing.
#pragma once

#include <cmath>

// Where both needles rest while there is no bearing to show: the full-circle
// needle at 90 degrees (right), the homing needle straight up.
inline constexpr double FullCircleRest = 90.0;
inline constexpr double HomingRest = 0.0;

// The ends of the homing arc, 20 degrees either side of straight ahead.
inline constexpr double HomingArcLeft = 340.0;
inline constexpr double HomingArcRight = 20.0;

// The full-circle needle shows the bearing as the host gives it; one that is
// not a finite number shows as no bearing.
inline double fullCircleBearing(double bearing)
{
    return std::isfinite(bearing) ? bearing : FullCircleRest;
}

// A negative bearing brought to its place in [0, 360), as adding 360 until
// it is no longer negative does, in one step: a huge negative bearing then
// costs no more than a small one. Bearings from 0 up are left as they are
// (370 stays 370 and points like 10).
inline double nonNegativeBearing(double bearing)
{
    if (!(bearing < 0.0))
        return bearing;
    double folded = std::fmod(bearing, 360.0);
    return folded < 0.0 ? folded + 360.0 : folded + 0.0;  // + 0.0: -360 gives 0, not -0
}

// The homing needle: straight ahead within 20 degrees either side, resting
// at the arc's left or right end when the station lies further that way
// (180 counts as right, anything past it as left). A bearing that is not a
// finite number shows as no bearing, straight up.
inline double homingBearing(double bearing)
{
    double a = nonNegativeBearing(bearing);
    if (!std::isfinite(a))
        return HomingRest;
    if (a < HomingArcLeft && a > 180.0)
        a = HomingArcLeft;
    if (a > HomingArcRight && a <= 180.0)
        a = HomingArcRight;
    return a;
}
