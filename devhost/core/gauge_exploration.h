// One gauge placed alone and explored as a user would: its mouse areas as
// they stand once it has settled, its bitmaps, then every area pressed
// with every button it takes until nothing new comes, and last the host's
// shut-down notice. What `devhost describe` and the reference pages tell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devhost/core/host.h"

namespace devhost {

struct DescribedArea {
    MouseAreaType type;      // Region or ClickArea
    Box box;                 // in gauge pixels
    int depth;               // regions around it
    int32_t cursor;
    uint32_t helpId;
    std::string tooltip;     // a region's, as shown before any click, in UTF-8
    uint32_t clickFlags;     // a click area's buttons
    uint32_t keyEvent;       // what a click area without a handler of its own sends; 0: none
};

struct LitElement {
    size_t element;          // drawing order
    ElementKind kind;
    int32_t bitmap;          // as it is once the exploration is done
};

struct GaugeExploration {
    uint32_t defaultSize = 0;            // mm, 0 when the module does not list the gauge
    Point pixels{};
    std::vector<DescribedArea> areas;    // regions and click areas in list order
    std::vector<int32_t> bitmaps;        // every bitmap the elements draw with, first use first
    std::vector<uint32_t> reads;         // host variables, in the order first read
    std::vector<uint32_t> sends;         // key events, first sent first (panel-window toggles aside)
    std::vector<LitElement> lit;         // elements seen luminous at any moment, in drawing order
};

// Places the gauge on host with the parameter text and explores it. The
// host should hold no other gauge: what is read and sent is the host's.
GaugeExploration exploreGauge(Host& host, std::string_view name, std::string_view parameter);

}  // namespace devhost
