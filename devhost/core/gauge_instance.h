// One placed gauge: its own deep copy of the gauge's records, so that what
// the module writes into one placed gauge (identifiers rewritten at
// installation, flags, bitmap numbers, text) never reaches another, and the
// host's fields filled in as the simulator fills them.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/element_update.h"
#include "devhost/core/probe.h"
#include "framework/gauge_model.h"

namespace devhost {

struct Placement {
    std::string_view parameter;  // empty: the module sees a null parameter text
    int window = 0;              // panel window number
    Point position{};            // on the panel, pixels
    Point size{};                // placed size, pixels
    Point gaugePixels{};         // the gauge's own pixel grid (its root bitmap's size)
};

class GaugeInstance {
public:
    // Copies every record the gauge reaches. Throws HostError for records
    // that cannot be a gauge (unknown element kind, a list without its end).
    GaugeInstance(const GaugeDefinition& original, const Placement& placement);
    GaugeInstance(const GaugeInstance&) = delete;
    GaugeInstance& operator=(const GaugeInstance&) = delete;

    const std::string& name() const { return name_; }
    GaugeDefinition* definition() { return definition_; }  // the copy the module is handed
    const GaugeDefinition* definition() const { return definition_; }
    const GaugeDefinition* original() const { return original_; }  // the module's static record

    int window() const { return window_; }
    Point position() const { return position_; }
    Point size() const { return size_; }
    Point gaugePixels() const { return gaugePixels_; }
    // Placed anew on the panel (a layout edit); its state stays.
    void moveTo(int window, Point position, Point size);

    // Every element in drawing order: root, then its children in list order,
    // depth-first. shown holds what the latest frame computed for it.
    struct Slot {
        GaugeElement* element;
        int depth;
        ElementSnapshot shown;
        ElementMemory memory;
    };
    std::vector<Slot>& elements() { return elements_; }
    const std::vector<Slot>& elements() const { return elements_; }

    // The mouse-area entries up to, not including, the ListEnd.
    std::span<MouseArea> mouseAreas() { return {areas_, areaCount_}; }

private:
    template <typename T>
    T* allocate(size_t count);
    GaugeElement* copyElement(const GaugeElement* source, int depth);
    void copyMouseAreas(const MouseArea* source);
    void listInDrawingOrder(GaugeElement* element, int depth);

    std::string name_;
    const GaugeDefinition* original_;
    GaugeDefinition* definition_ = nullptr;
    int window_;
    Point position_, size_, gaugePixels_;
    MouseArea* areas_ = nullptr;
    size_t areaCount_ = 0;
    std::vector<Slot> elements_;
    std::map<const void*, void*> copied_;  // original record -> its copy, so shared records stay shared
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
};

// The size of an element record of this kind, 0 for a kind the host does not know.
size_t elementRecordSize(ElementKind kind);

}  // namespace devhost
