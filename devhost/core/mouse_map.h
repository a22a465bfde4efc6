// A gauge's mouse-area list as the host reads it: nested regions whose
// entries' boxes are relative to the enclosing region's origin, resolved to
// boxes in gauge pixels. The empty box (0,0,0,0) stands for the enclosing
// region as a whole (for the outermost region, the whole gauge).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "framework/gauge_model.h"

namespace devhost {

class MouseMap {
public:
    MouseMap(std::span<MouseArea> areas, Point gaugePixels);

    // The first ClickArea in list order whose box holds the point and whose
    // click-flag word reacts to one of the buttons in clickFlags; null if none.
    struct Hit {
        MouseArea* area = nullptr;
        Box box{};  // in gauge pixels
    };
    Hit clickAt(Point point, uint32_t clickFlags) const;
    std::span<const Hit> clickAreas() const { return clicks_; }  // every ClickArea, in list order

    // The regions that hold the point, innermost first.
    struct RegionHit {
        MouseArea* region;
        MouseArea* tooltip;  // the region's first Tooltip entry, or null
    };
    std::vector<RegionHit> regionsAt(Point point) const;

    // Every region with its tooltip entry and every click area, in list
    // order, with their boxes in gauge pixels.
    struct Listed {
        MouseArea* area;
        MouseArea* tooltip;  // a region's first Tooltip entry, or null
        Box box;
        int depth;           // regions around it
    };
    std::vector<Listed> listed() const;

private:
    struct RegionBox {
        MouseArea* region;
        MouseArea* tooltip = nullptr;
        Box box;
        int depth;
        size_t order;
    };
    std::vector<RegionBox> regions_;
    std::vector<Hit> clicks_;
    std::vector<Listed> listed_;
};

// Whether the box holds the point, without overflow for any box and point.
bool contains(Box box, Point point);

// The whole number nearest v within int's range (NaN: 0): coordinates
// computed in double come back to int through here.
int32_t saturatedInt(double v);

}  // namespace devhost
