// How closely a needle value must match. A Direct3D host may leave the x87
// unit rounding every result to a float's 24-bit significand while gauges
// run; the Windows test program runs every case once more so
// (windows_tests.exe --x87-precision 24). Texts, frames, counters, events and
// flags must not change; a needle's value or angle may, by what rounding a
// chain of calculations to 24 bits explains: 2^-16 of the value's size (256
// float steps), and at least 1e-4 for values near zero, the size at which a
// step of a few float units of a typical operand lands.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#if defined(_WIN32)
#include <float.h>
#endif

namespace moduletest {

// Whether the x87 unit is set to round to 24 bits now.
inline bool reducedPrecision()
{
#if defined(_WIN32) && defined(__i386__)
    return (_controlfp(0, 0) & _MCW_PC) == _PC_24;
#else
    return false;
#endif
}

// The tolerance for a needle value expected near `expected`: `tolerance` as
// the case states it, widened when the x87 unit rounds to 24 bits.
inline double needleTolerance(double expected, double tolerance)
{
    if (!reducedPrecision())
        return tolerance;
    constexpr double relative = 1.0 / 65536;
    constexpr double nearZero = 1e-4;
    return std::max({tolerance, std::abs(expected) * relative, nearZero});
}

// A needle value expected to be exactly `expected` (to four double units,
// as EXPECT_DOUBLE_EQ), or within the 24-bit tolerance in that run.
inline testing::AssertionResult needleEqual(const char* actualText, const char* expectedText, double actual,
                                            double expected)
{
    if (!reducedPrecision())
        return testing::internal::CmpHelperFloatingPointEQ<double>(expectedText, actualText, expected, actual);
    return testing::internal::DoubleNearPredFormat(actualText, expectedText, "the 24-bit tolerance", actual, expected,
                                                   needleTolerance(expected, 0));
}

}  // namespace moduletest

// A needle's value, rotation or offset within the case's tolerance.
#define EXPECT_NEEDLE_NEAR(actual, expected, tolerance) \
    EXPECT_NEAR(actual, expected, moduletest::needleTolerance(expected, tolerance))
#define EXPECT_NEEDLE_EQ(actual, expected) EXPECT_PRED_FORMAT2(moduletest::needleEqual, actual, expected)
// The difference in degrees between a needle's angle and the expected one:
// a whole turn's size sets the 24-bit tolerance.
#define EXPECT_NEEDLE_TURN_NEAR(difference, tolerance) \
    EXPECT_NEAR(difference, 0.0, moduletest::needleTolerance(360.0, tolerance))
