// The fuel quantity dial of either main tank, in litres (0, 3, 6, 9 hundred
// on a yellow ring). The host reports the tank's level as a scaled fraction
// of its capacity and the capacity in gallons; the gauge reads the capacity
// once, when it is installed, and from then on shows level times capacity.
#pragma once

#include "framework/host_services.h"
#include "framework/needle_dial.h"

// A level variable holds the fraction of the tank that is full times 2^23.
inline constexpr double FullTankLevel = 8388608.0;
inline constexpr double LitresPerGallon = 3.785;

inline constexpr CalibrationPoint FuelQuantityScale[] = {
    {{35, 76}, -1},   {{35, 76}, 0},    {{45, 75}, 100},  {{71, 61}, 300},
    {{116, 60}, 600}, {{160, 74}, 900}, {{168, 78}, 950}, {{168, 78}, 1000},
};

inline constexpr FailureBinding FuelQuantityFailures[] = {{20, FailFreeze}, {2, FailNone}};

// The capacity in litres that the host's gallons give; a reading that is not
// a positive finite number keeps the capacity the gauge had.
inline double capacityFromGallons(double kept, double gallons)
{
    double litres = gallons * LitresPerGallon;
    return std::isfinite(litres) && litres > 0.0 ? litres : kept;
}

// Litres in the tank (capacity times level first, then the scaling); a level
// that gives no finite number shows an empty tank.
inline double tankContents(double capacity, double level) { return finiteOr(capacity * level / FullTankLevel, 0.0); }

// The gauge callback: the capacity is captured at each installation only.
template <uint32_t capacityVar, double& capacity>
void VARDEX_HOSTAPI captureCapacity(GaugeDefinition*, int32_t serviceCode, uint32_t)
{
    if (serviceCode == ServiceInstall)
        capacity = capacityFromGallons(capacity, readHostNumber(capacityVar));
}

template <const double& capacity, double& contents>
double VARDEX_HOSTAPI showContents(GaugeElement* needle)
{
    return contents = tankContents(capacity, needleSource(needle));
}

// The tooltip prints the contents the needle showed in the latest frame.
template <const double& capacity, double& contents>
inline constexpr NeedleDialSpec FuelQuantityFamily = {
    .parts = {.face = 1390, .needle = 1400, .bezel = 1410, .needlePosition = {100, 150}, .needleOffset = {0, 3}},
    .update = showContents<capacity, contents>,
    .failures = FuelQuantityFailures,
    .tooltipValue = printStored<contents>,
};
