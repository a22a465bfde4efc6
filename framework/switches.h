// Shared mechanics of the module's switches and alternative presentations.
//
// A two-state switch is a 32-bit integer that a click flips (1 if it was 0,
// else 0). Alternative presentations of one instrument (metric or British
// dial, a sight shown or hidden) are siblings that their update callbacks
// show or hide every frame through the hidden image-flag bit, or, for a
// one-frame icon, by selecting no frame.
#pragma once

#include <cstdint>

#include "framework/gauge_dsl.h"
#include "framework/gauge_model.h"

// An icon callback's answer for "draw no frame".
inline constexpr double NoFrame = -1.0;

// 1 if the switch was 0, else 0: any non-zero value counts as on.
constexpr int32_t toggled(int32_t state) { return state == 0 ? 1 : 0; }
inline void toggleSwitch(int32_t& state) { state = toggled(state); }

// Shows the element when `shown`, hides it otherwise.
inline void showWhen(GaugeElement* element, bool shown)
{
    if (!element)
        return;
    if (shown)
        element->imageFlags &= ~ImageHidden;
    else
        element->imageFlags |= ImageHidden;
}

// A one-frame icon drawn only when `shown`.
constexpr double frameWhen(bool shown) { return shown ? 0.0 : NoFrame; }

// A needle of one presentation: shown with its reading while its
// presentation is in use, otherwise hidden and held at 0 so that it starts
// from rest when it comes back.
inline double needleWhen(GaugeElement* element, bool shown, double reading)
{
    showWhen(element, shown);
    return shown ? reading : 0.0;
}

// The words a switch's tooltip prints for its state.
constexpr const char* onOffWord(int32_t state) { return state != 0 ? "on" : "off"; }

// ---------------------------------------------------------------- callbacks of a switch's state

// A two-state switch drawn as an icon: frame 1 while on, frame 0 while off.
constexpr double switchFrame(int32_t state) { return state != 0 ? 1.0 : 0.0; }

template <const int32_t& state>
double VARDEX_HOSTAPI switchIcon(GaugeElement*)
{
    return switchFrame(state);
}

// A two-position switch over its mouse box: frame 0 off, 1 on, as `update`
// says.
constexpr IconElement twoStateSwitch(int32_t bitmap, Box box, UpdateCallback update)
{
    return {.common = {.kind = Icon, .bitmap = bitmap, .position = cornerOf(box), .imageFlags = PlainImage},
            .scale = 1.0,
            .frames = 2,
            .update = update};
}

// A pilot lamp: its one frame lit while the switch is on, nothing drawn
// while it is off.
template <const int32_t& state>
double VARDEX_HOSTAPI lampWhileOn(GaugeElement*)
{
    return frameWhen(state != 0);
}

// A tooltip argument printing the switch's position as "on" or "off".
template <const int32_t& state>
const char* VARDEX_HOSTAPI printOnOff(double, uint32_t, const char*, SourceVar*, GaugeDefinition*)
{
    return onOffWord(state);
}
