// What the ten panel buttons share: their shape (a 19 mm square face with one
// click spot) and, for the seven command buttons, the behaviour that their
// parameter text spells out.
//
// A command button's parameter text is a string of lowercase command letters,
// each followed directly by its argument:
//   o, c, t  window  every click: open, close, toggle that panel window
//   p        n       every click: n > 0 steps the view n times forward, n < 0
//                    back, n = 0 switches between the normal and landing view
//   a        window  first set-up only: close that panel window
//   b        n       every set-up: the button's face becomes bitmap n (100..160)
//   h        name/n  every set-up: the host help shown over the button
// A window is a name of the panel-window table or a number. Everything behind
// a "/", "#" or "'" is a comment. Without a parameter text a click toggles the
// main panel window.
//
// Host variables read: none. Key events sent: 66506, 66507, 66508 (panel
// windows), 65734, 65735 (view steps), 65875 (landing view). State owned:
// each definition's first-set-up mark (its user-data word).
#pragma once

#include <cstdint>

#include "framework/gauge_dsl.h"

inline constexpr uint32_t ButtonSize = 19;   // mm
inline constexpr Box ButtonSpot = {3, 3, 13, 13};
inline constexpr uint32_t ButtonFaceFlags = PlainImage;

// The one element of every button: its face, placed at the gauge's origin.
constexpr StaticImageElement buttonFace(int32_t bitmap)
{
    return {.common = {.kind = StaticImage, .bitmap = bitmap, .imageFlags = ButtonFaceFlags}};
}

// The spot of a button on which the host sends a fixed key event itself.
constexpr MouseArea keyEventSpot(uint32_t keyEvent) { return keyArea(ButtonSpot, CursorHand, ClickLeft, keyEvent); }

// The panel-window identifier that text begins with: a name of the table, or
// else its leading whole number (0 without digits); -1 for an absent or
// empty text.
int32_t panelWindowId(const char* text);

// The host help id that text begins with: a tooltip name of the table, or
// else its leading whole number when that is a help id (40960 or more);
// 0 (no help) otherwise.
uint32_t tooltipId(const char* text);

// The p command's repetitions: how many view-step events a click sends for
// the number n, bounded (see toggle_commands.cpp).
int32_t viewStepsPerClick(int32_t n);

// The command buttons' gauge callback: the b and h commands at every
// installation, the a command at the definition's first.
void VARDEX_HOSTAPI commandButtonSetUp(GaugeDefinition* gauge, int32_t serviceCode, uint32_t extra);

// The command buttons' click handler: the o, c, t and p commands.
int32_t VARDEX_HOSTAPI commandButtonClick(ClickRecord* click, uint32_t clickFlags);

// The spot of a command button.
constexpr MouseArea commandSpot() { return clickArea(ButtonSpot, CursorHand, ClickLeft, commandButtonClick); }
