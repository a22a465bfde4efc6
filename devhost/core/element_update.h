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
inline double sourceValue(const SourceVar& var, const VariableStore::Binding* binding = nullptr)
{
    if (var.id == 0)
        return 0;
    bool integer = false;
    if (binding && binding->value && binding->id == var.id) {
        integer = binding->integer;
    } else {
        const VariableInfo* info = findVariable(var.id);
        integer = info && info->delivery == Delivery::Integer;
    }
    return integer ? var.value.integer : var.value.number;
}

// Refreshes var from the store (id 0: no variable, left alone), through
// binding when there is one.
inline void refreshSource(SourceVar& var, VariableStore& variables, VariableStore::Binding* binding = nullptr)
{
    if (var.id == 0)
        return;
    var.previous = var.value;
    if (binding)
        variables.fill(var, *binding);
    else
        variables.fill(var);
}

// What a placed element keeps from one frame to the next, so that work
// that depends only on its records is done once: a needle's sweeps (its
// calibration taken as the simulator takes it, when the needle is first
// drawn, and again only when the module hands it other table records or
// moves it), where its sources are in the store, a moving image's lengths.
struct ElementMemory {
    static constexpr size_t MaxSources = 3;  // a sprite's x, y and rotation, a string's three
    std::optional<NeedleSweep> sweep;
    std::array<VariableStore::Binding, MaxSources> sources{};
    // The strip's and its window's lengths, across and down, for the strip
    // bitmap named; measured again when the module names another.
    struct StripLengths {
        int32_t strip = 0;
        Point stripSize{}, windowSize{};
    };
    std::optional<StripLengths> strip;
};

// Updates the element and records in shown what it displays, by the kind
// shown names (the kind the record was copied as). bitmaps may be null
// (moving-image offsets then stay 0). A static image has nothing to work
// out: the host's frame passes it by.
void updateElement(GaugeElement& element, ElementSnapshot& shown, ElementMemory& memory, VariableStore& variables,
                   const BitmapCatalog* bitmaps);

}  // namespace devhost
