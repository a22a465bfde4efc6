// The engine pressure dials: compressor-turbine pressure difference, fuel
// pressure and oil pressure of the two engines, always in kg/cm2. Each is a
// needle dial (face, one needle about the dial centre, bezel, whole-gauge
// tooltip); what the dials of one kind share is told here once, and each
// gauge's file adds its engine's variable, module-wide value and tooltip.
#pragma once

#include "framework/host_services.h"
#include "framework/needle_dial.h"
#include "instruments/engine/engine_dials.h"

// The one factor by which the host's fuel and oil pressure values become
// kg/cm2.
inline constexpr double HostPressurePerKgCm2 = 2050.82;

inline constexpr Point PressureDialCentre = {100, 100};

// ---------------------------------------------------------------- pressure difference

// Scale 0 to 1 from lower left over the top to lower right; the first and
// last points repeat the end marks so that values beyond rest on the stops.
inline constexpr CalibrationPoint PressureDifferenceScale[] = {
    {{67, 157}, -1.0}, {{67, 157}, 0.0}, {{100, 39}, 0.5}, {{133, 157}, 1.0}, {{133, 157}, 1.5},
};

inline constexpr FailureBinding PressureDifferenceFailures[] = {{20, FailZero}, {2, FailNone}};

// The host's pressure ratio (1.0: no difference) as kg/cm2 of difference.
// A ratio below 1 shows 0, and so does a ratio that is no finite number.
inline double pressureDifference(double ratio)
{
    double difference = (ratio - 1.0) / 2.14;
    return std::isfinite(difference) && difference >= 0.0 ? difference : 0.0;
}

// The tooltip prints the needle's value of the latest frame, clamped as the
// needle showed it.
template <double& shown>
inline constexpr NeedleDialSpec PressureDifferenceFamily = convertingDial<pressureDifference, shown>(
    {.face = 1210, .needle = 1220, .bezel = 1230, .needlePosition = PressureDialCentre, .needleOffset = {32, 9}},
    PressureDifferenceFailures);

// ---------------------------------------------------------------- fuel pressure

inline constexpr CalibrationPoint FuelPressureScale[] = {
    {{51, 150}, -1.0}, {{51, 150}, 0.0}, {{100, 33}, 30.0}, {{150, 150}, 60.0}, {{150, 150}, 70.0},
};

// Not clamped: a negative pressure rests the needle on the lower stop and
// the tooltip prints it as it is. A value that is no finite number shows 0.
inline double fuelPressure(double hostValue) { return finiteOr(hostValue / HostPressurePerKgCm2, 0.0); }

template <double& shown>
inline constexpr NeedleDialSpec FuelPressureFamily = convertingDial<fuelPressure, shown>(
    {.face = 1240, .needle = 1250, .bezel = 1260, .needlePosition = PressureDialCentre, .needleOffset = {27, 8}},
    EngineNeedleFailures);

// ---------------------------------------------------------------- oil pressure

// The needle shows the raw host value; the scale carries the unit factor:
// -1, 0, 5, 10 and 15 kg/cm2.
inline constexpr CalibrationPoint OilPressureScale[] = {
    {{52, 155}, -1 * HostPressurePerKgCm2},  {{52, 155}, 0.0},
    {{100, 33}, 5 * HostPressurePerKgCm2},   {{148, 154}, 10 * HostPressurePerKgCm2},
    {{148, 154}, 15 * HostPressurePerKgCm2},
};

// The tooltip reads the host itself, from a variable fixed here: placing
// Oil_Pressure for another engine moves its needle, not its tooltip.
template <uint32_t pressureVar>
double VARDEX_HOSTAPI printOilPressure(double, uint32_t, const char*, SourceVar*, GaugeDefinition*)
{
    return finiteOr(readHostNumber(pressureVar) / HostPressurePerKgCm2, 0.0);
}

template <uint32_t pressureVar>
inline constexpr NeedleDialSpec OilPressureFamily = {
    .parts =
        {.face = 1270, .needle = 1280, .bezel = 1290, .needlePosition = PressureDialCentre, .needleOffset = {27, 8}},
    .failures = EngineNeedleFailures,
    .tooltipValue = printOilPressure<pressureVar>,
};

// Oil_Pressure_1 and Oil_Pressure are one dial; Oil_Pressure's gauge
// callback can turn its needle to another engine at installation.
inline constexpr uint32_t Engine1OilPressure = 562;

constexpr NeedleDial<std::size(OilPressureScale)> engine1OilPressureDial(GaugeDefinition* gauge)
{
    return familyDial(OilPressureFamily<Engine1OilPressure>, OilPressureScale, gauge, Engine1OilPressure,
                      "Engine 1 oil pressure (%1!4.2f! kg/cm2)");
}
