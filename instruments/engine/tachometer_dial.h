// The tachometer of either engine: a needle dial on the host's engine speed
// value, face marked in thousands of rpm (2 to 14, red arcs at both ends).
// The needle shows the host value as it is; the tooltip prints rpm.
#pragma once

#include "framework/host_services.h"
#include "framework/needle_dial.h"
#include "instruments/engine/engine_dials.h"

// The host's engine speed value times this is rpm; each scale point sits on
// the face mark of its value times this, rounded to the thousand.
inline constexpr double RpmPerHostSpeedUnit = 91.0;

inline constexpr CalibrationPoint TachometerScale[] = {
    {{118, 241}, 0},  // lower stop
    {{81, 224}, 21},  // 2000
    {{63, 205}, 32},  // 3000
    {{44, 154}, 54},  // 5000
    {{47, 120}, 65},  // 6000
    {{150, 42}, 98},  // 9000
    {{188, 56}, 109},  // 10000
    {{225, 73}, 120},  // 11000
    {{252, 148}, 142},  // 13000
    {{245, 182}, 153},  // 14000
    {{233, 205}, 164},  // 15000
    {{233, 205}, 175},  // upper stop
};

// The tooltip reads the host itself; the placeholder prints a whole number.
template <uint32_t speedVar>
double VARDEX_HOSTAPI printRpm(double, uint32_t, const char*, SourceVar*, GaugeDefinition*)
{
    return finiteOr(readHostNumber(speedVar) * RpmPerHostSpeedUnit, 0.0);
}

template <uint32_t speedVar>
inline constexpr NeedleDialSpec TachometerFamily = {
    .parts = {.face = 1150, .needle = 1160, .bezel = 1170, .needlePosition = {150, 148}, .needleOffset = {9, 9}},
    .failures = EngineNeedleFailures,
    .tooltipValue = printRpm<speedVar>,
};
