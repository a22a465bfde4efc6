#include "devhost/core/mouse_map.h"

#include <algorithm>
#include <cstdint>

namespace devhost {

namespace {

constexpr uint32_t buttonBits = ClickLeft | ClickMiddle | ClickRight;

bool isWhole(Box box) { return box.x == 0 && box.y == 0 && box.width == 0 && box.height == 0; }

Box within(Box outer, Box inner)
{
    if (isWhole(inner))
        return outer;
    return {saturatedInt(double(outer.x) + inner.x), saturatedInt(double(outer.y) + inner.y), inner.width, inner.height};
}

}  // namespace

bool contains(Box box, Point point)
{
    const int64_t dx = int64_t{point.x} - box.x, dy = int64_t{point.y} - box.y;
    return dx >= 0 && dy >= 0 && dx < box.width && dy < box.height;
}

int32_t saturatedInt(double v)
{
    if (!(v == v))
        return 0;
    return static_cast<int32_t>(std::clamp(v, double(INT32_MIN), double(INT32_MAX)));
}

MouseMap::MouseMap(std::span<MouseArea> areas, Point gaugePixels)
{
    const Box gauge{0, 0, gaugePixels.x, gaugePixels.y};
    std::vector<size_t> open;  // indices into regions_
    auto enclosing = [&] { return open.empty() ? gauge : regions_[open.back()].box; };

    for (MouseArea& area : areas) {
        switch (area.type) {
        case Region:
            regions_.push_back({&area, nullptr, within(enclosing(), area.box), static_cast<int>(open.size()),
                                regions_.size()});
            listed_.push_back({&area, nullptr, regions_.back().box, static_cast<int>(open.size())});
            open.push_back(regions_.size() - 1);
            break;
        case RegionEnd:
            // An unmatched end closes nothing rather than the gauge itself.
            if (!open.empty())
                open.pop_back();
            break;
        case ClickArea:
            clicks_.push_back({&area, within(enclosing(), area.box)});
            listed_.push_back({&area, nullptr, clicks_.back().box, static_cast<int>(open.size())});
            break;
        case Tooltip:
            if (!open.empty() && !regions_[open.back()].tooltip)
                regions_[open.back()].tooltip = &area;
            break;
        default:
            break;
        }
    }
}

MouseMap::Hit MouseMap::clickAt(Point point, uint32_t clickFlags) const
{
    for (const Hit& hit : clicks_)
        if (contains(hit.box, point) && (hit.area->clickFlags & clickFlags & buttonBits) != 0)
            return hit;
    return {};
}

std::vector<MouseMap::Listed> MouseMap::listed() const
{
    std::vector<Listed> all = listed_;
    for (Listed& entry : all)
        for (const RegionBox& region : regions_)
            if (region.region == entry.area)
                entry.tooltip = region.tooltip;
    return all;
}

std::vector<MouseMap::RegionHit> MouseMap::regionsAt(Point point) const
{
    std::vector<const RegionBox*> holding;
    for (const RegionBox& region : regions_)
        if (contains(region.box, point))
            holding.push_back(&region);
    // Innermost first; among regions of one depth the later one lies on top.
    std::stable_sort(holding.begin(), holding.end(), [](const RegionBox* a, const RegionBox* b) {
        return a->depth != b->depth ? a->depth > b->depth : a->order > b->order;
    });
    std::vector<RegionHit> result;
    for (const RegionBox* region : holding)
        result.push_back({region->region, region->tooltip});
    return result;
}

}  // namespace devhost
