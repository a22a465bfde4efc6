// The four host services the module uses, called through the one services
// reference that the host writes into ImportTable before it runs any routine
// of the module. Until the host has filled it every call does nothing, and a
// lookup leaves the value 0, so a callback run too early cannot crash.
#pragma once

#include <cstdint>

#include "framework/gauge_model.h"

// Host service 40: fills var.value for var.id.
void lookupVar(SourceVar& var);

// Host service 36: the host applies the event at once, so the next lookup of
// an affected variable returns the new state.
void triggerKeyEvent(uint32_t keyEvent, uint32_t value = 0);

// Host service 35: shows or hides a panel window.
void togglePanelWindow(uint32_t panelWindow);

// Host service 69.
void executeCalculatorCode(const char* expression, double* number, int32_t* integer, const char** text);

// A fresh record with only the id set, refreshed by the host: the way a
// callback reads a host value other than its element's own.
double readHostNumber(uint32_t id);

// The same, for variables the host delivers as an integer in the low 32 bits
// of the value slot (BCD frequencies, codes, flag words).
uint32_t readHostInteger(uint32_t id);
