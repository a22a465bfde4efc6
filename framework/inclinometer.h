// The inclinometer ball of the horizon and of the turn indicator: a slider
// whose x and y axes both read the host's ball deflection. The x scale
// moves the ball sideways in proportion to the deflection; the y axis
// returns the deflection squared, and a small negative y scale lifts the
// ball by that, so it follows the curve of its tube on either side.
#pragma once

#include "framework/element_sources.h"
#include "framework/needle_dial.h"

// Slider y callback. A deflection that is no number, or so large that its
// square is not, leaves the ball at the bottom of the tube.
inline double VARDEX_HOSTAPI inclinometerBallLift(GaugeElement* slider)
{
    const double deflection = sliderYSource(slider);
    return finiteOr(deflection * deflection, 0.0);
}
