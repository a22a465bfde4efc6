// One element's update as the host does it every frame: its source
// variables refreshed, its update callbacks called (an element or axis
// without one shows its source value), and what it now shows worked out.
#pragma once

#include "devhost/core/probe.h"
#include "devhost/core/variables.h"
#include "framework/gauge_model.h"

namespace devhost {

class BitmapCatalog;

// The value a source variable carries as the host delivered it: the integer
// in the low 32 bits for integer-delivered variables, else the double.
double sourceValue(const SourceVar& var);

// Refreshes var from the store (id 0: no variable, left alone).
void refreshSource(SourceVar& var, VariableStore& variables);

// Updates the element and records in shown what it displays. bitmaps may be
// null (moving-image offsets then stay 0).
void updateElement(GaugeElement& element, ElementSnapshot& shown, VariableStore& variables,
                   const BitmapCatalog* bitmaps);

}  // namespace devhost
