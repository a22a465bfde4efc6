// One definition, any engine: the host numbers its per-engine variables, key
// events and help ids in consecutive blocks, one block per engine, so a gauge
// defined for engine 1 becomes the gauge of engine n by moving each of its
// identifiers that has per-engine copies (n - 1) block widths up.
//
// Exhaust_Gas_Temp and Oil_Pressure use engineTranslationCallback as their
// gauge callback; the panel file names the engine in the placed gauge's
// parameter text ("2", "3" or "4"; anything else is engine 1).
#pragma once

#include <cstdint>

#include "framework/gauge_model.h"

// Block width of an identifier of each kind: 0 for identifiers that have no
// per-engine copies (and never move).
uint32_t variableBlockWidth(uint32_t id);
uint32_t keyEventBlockWidth(uint32_t id);
uint32_t helpIdBlockWidth(uint32_t id);

// id + (engine - 1) x width; engine 1 (and anything outside 1..4) leaves the id as it is.
uint32_t forEngine(uint32_t id, uint32_t width, int engine);

// The engine a parameter text names: a "1" before the first comment marker
// wins, then the first of "2", "3", "4" found; otherwise (and for no text) 1.
int engineFromParameter(const char* parameter);

// Rewrites, in place, the help ids of the gauge's tooltips, the key events
// of its click areas and the variables of every element of its tree.
// Engine 1 changes nothing. A malformed definition is walked only so far:
// see the limits in the source.
void translateForEngine(GaugeDefinition& gauge, int engine);

// The gauge callback: on installation (service code 2) only, translates the
// definition it is handed for the engine of its parameter text. The host
// installs every placed gauge once, with a definition of its own.
void VARDEX_HOSTAPI engineTranslationCallback(GaugeDefinition* gauge, int32_t serviceCode, uint32_t extra);
