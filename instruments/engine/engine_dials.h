// What the engine dials have in common beyond the needle-dial pattern.
#pragma once

#include "framework/gauge_model.h"

// The failures that the fuel-pressure, oil-pressure, tachometer and
// exhaust-gas dials declare on their needles, in this order.
inline constexpr FailureBinding EngineNeedleFailures[] = {{2, FailNone}, {20, FailZero}};
