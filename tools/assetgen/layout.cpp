#include "tools/assetgen/layout.h"

#include <stdexcept>

#include "devhost/core/geometry.h"

namespace assetgen {

namespace {

void collect(GaugeElement* element, const char* gauge, std::vector<ElementInfo>& out, int depth)
{
    if (!element || depth > 64)
        return;
    ElementInfo info;
    info.gauge = gauge;
    info.kind = element->kind;
    info.bitmap = element->bitmap;
    info.position = element->position;
    info.offset = element->offset;
    switch (element->kind) {
    case Needle: {
        auto* n = reinterpret_cast<NeedleElement*>(element);
        for (uint32_t i = 0; n->table && i < n->pointCount && i < 64; ++i)
            info.table.push_back(n->table[i]);
        break;
    }
    case Sprite: {
        auto* sprite = reinterpret_cast<SpriteElement*>(element);
        info.rotationScale = sprite->rotationScale;
        info.xScale = sprite->xScale;
        info.yScale = sprite->yScale;
        break;
    }
    case Slider: {
        auto* slider = reinterpret_cast<SliderElement*>(element);
        info.xScale = slider->xScale;
        info.yScale = slider->yScale;
        break;
    }
    case MovingImage: {
        auto* m = reinterpret_cast<MovingImageElement*>(element);
        bool vertical = m->ySource.id != 0 || m->yUpdate;
        info.rangeStart = vertical ? m->yMin : m->xMin;
        info.rangeEnd = vertical ? m->yMax : m->xMax;
        break;
    }
    default:
        break;
    }
    out.push_back(std::move(info));
    for (GaugeElement** child = element->children; child && *child; ++child)
        collect(*child, gauge, out, depth + 1);
}

}  // namespace

Layout::Layout(const LinkageRecord* linkage)
{
    if (!linkage)
        return;
    for (size_t g = 0; g < GaugeCount && linkage->gauges[g]; ++g) {
        GaugeDefinition* gauge = linkage->gauges[g];
        for (GaugeElement** root = gauge->elements; root && *root; ++root)
            collect(*root, gauge->name ? gauge->name : "", module_, 0);
    }
}

const ElementInfo& Layout::element(std::string_view gauge, ElementKind kind, int bitmap, int ordinal) const
{
    auto find = [&](const std::vector<ElementInfo>& list) -> const ElementInfo* {
        int seen = 0;
        for (const auto& e : list)
            if (e.gauge == gauge && e.kind == kind && e.bitmap == bitmap && seen++ == ordinal)
                return &e;
        return nullptr;
    };
    if (const ElementInfo* e = find(module_)) {
        fromModule_.insert(e->gauge);
        return *e;
    }
    throw std::runtime_error("no element of kind " + std::to_string(kind) + " with bitmap " + std::to_string(bitmap) +
                             " in gauge " + std::string(gauge));
}

double needleAngle(const ElementInfo& needle, double value)
{
    return devhost::NeedleSweep(needle.table, needle.position).unwound(value);
}

}  // namespace assetgen
