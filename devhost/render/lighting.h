// The light the panel is seen in, as the simulator lights a panel: by day
// every element is drawn in the panel's day colour; as the light fades,
// elements the module marks luminous (faces and needles painted to glow,
// the radios' scales) turn to the panel lights' colour while the rest sink
// towards the night colour. Elements marked bright (the radios' power
// lamps) are lights themselves and keep their own colours.
#pragma once

#include <compare>
#include <cstdint>

#include "devhost/core/panel_file.h"

namespace devhost {

// What an element's pixels are multiplied by, per channel (255 keeps them).
struct Tint {
    uint8_t r = 255, g = 255, b = 255;
    bool none() const { return r == 255 && g == 255 && b == 255; }
    auto operator<=>(const Tint&) const = default;
};

struct Lighting {
    PanelColours colours;
    double level = DaylightLevel;   // DaylightLevel by day, NightLevel at night, between at dusk

    static constexpr double DaylightLevel = 1.0, NightLevel = 0.0;

    // The tint of an element with these image flags (as they are now: the
    // transponder lights its wheels only while it is on).
    Tint tintFor(uint32_t imageFlags) const;
    // The panel's own surface, which no lamp lights.
    Tint surface() const { return tintFor(0); }
    bool operator==(const Lighting&) const = default;
};

// A light level from outside (an option, a request): DaylightLevel to
// NightLevel, or an error naming where it came from and what is accepted.
double checkedLightLevel(double level, const char* source);

}  // namespace devhost
