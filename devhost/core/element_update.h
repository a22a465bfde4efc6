// One element's update as the host does it every frame: its source
// variables refreshed, its update callbacks called (an element or axis
// without one shows its source value), and what it now shows worked out.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "devhost/core/geometry.h"
#include "devhost/core/probe.h"
#include "devhost/core/variables.h"
#include "framework/gauge_model.h"

namespace devhost {

class BitmapCatalog;

// The value a source variable carries as the host delivered it: the integer
// in the low 32 bits for integer-delivered variables, else the double.
// A binding for var (VariableStore::fill) spares looking up how it is delivered.
double sourceValue(const SourceVar& var, const VariableStore::Binding* binding = nullptr);

// Refreshes var from the store (id 0: no variable, left alone), through
// binding when there is one.
void refreshSource(SourceVar& var, VariableStore& variables, VariableStore::Binding* binding = nullptr);

// What a placed element keeps from one frame to the next, so that work
// that depends only on its records is done once: a needle's sweeps, where
// its sources are in the store.
struct ElementMemory {
    static constexpr size_t MaxSources = 3;  // a sprite's x, y and rotation, a string's three
    std::optional<NeedleSweep> sweep;
    std::array<VariableStore::Binding, MaxSources> sources{};
};

// Updates the element and records in shown what it displays. bitmaps may be
// null (moving-image offsets then stay 0).
void updateElement(GaugeElement& element, ElementSnapshot& shown, ElementMemory& memory, VariableStore& variables,
                   const BitmapCatalog* bitmaps);

}  // namespace devhost
