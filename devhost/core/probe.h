// What the panel shows, as data: the snapshot that tests assert on and that
// `devhost run --json` prints.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "framework/gauge_model.h"

namespace devhost {

struct ElementSnapshot {
    size_t index = 0;                 // drawing order within the gauge (depth-first, root 0)
    int depth = 0;                    // 0 for the root
    ElementKind kind = StaticImage;
    int bitmap = -1;                  // the element's bitmap number as the records now say
    uint32_t imageFlags = 0;
    bool hidden = false;              // image-flag bit 0x40000000

    // What the element shows this frame (callback result, or source value
    // where the element has no callback):
    double value = 0;                 // needle value, icon value
    double angle = 0;                 // needle: degrees clockwise from +x (geometry.h)
    std::optional<int> frame;         // icon: selected frame; none when not drawn
    double xValue = 0, yValue = 0, rotationValue = 0;  // slider / moving image / sprite axes
    double xOffset = 0, yOffset = 0;  // pixels: slider value x scale; moving image offset in the strip; sprite
    double rotation = 0;              // sprite: degrees = rotationValue x scale
    std::string text;                 // string element: its buffer
    uint32_t textColour = 0;          // string element
    std::string font;                 // string element
};

struct GaugeSnapshot {
    std::string name;                 // gauge name
    std::string parameter;            // the placed gauge's parameter text as the module now sees it
    int window = 0;                   // panel window number
    int x = 0, y = 0, width = 0, height = 0;  // placement on the panel, pixels
    uint32_t helpIdOfFirstRegion = 0;
    uint32_t userData = 0;
    std::vector<ElementSnapshot> elements;
    // What it reads in words (its tooltips, needles with their face's unit),
    // UTF-8; filled only where a report asks for it.
    std::vector<std::string> readings;
};

// One event, or a run of the same event sent in consecutive frames (or
// several times in one): from frame to lastFrame, count times in all.
struct EventRecord {
    uint64_t frame = 0;
    uint32_t id = 0;                  // key event id; for a panel-window toggle, the window id
    uint32_t value = 0;
    bool windowToggle = false;        // host service 35 rather than a key event
    bool known = true;
    uint64_t lastFrame = 0;
    uint64_t count = 1;
};

// How far a reader of the host's event log has read.
struct EventMark {
    uint64_t next = 0;                // serial number of the next entry to read
    uint64_t missed = 0;              // entries forgotten by the log before this reader saw them
};

struct Snapshot {
    uint64_t frame = 0;
    double simulationTime = 0;        // host variable 604
    double timeOfDay = 0;             // host variable 557
    std::vector<GaugeSnapshot> gauges;
    std::vector<EventRecord> events;  // the log as the host keeps it, or the entries since a reader's mark
    uint64_t eventsForgotten = 0;     // entries the log let go before this reader saw them
    std::vector<int> trapsCalled;     // host-service slots the module called that the devhost does not offer
    std::vector<uint32_t> unknownVariables;
};

}  // namespace devhost
