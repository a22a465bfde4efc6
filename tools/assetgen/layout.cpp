#include "tools/assetgen/layout.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

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
            info.table.push_back({double(n->table[i].point.x), double(n->table[i].point.y), n->table[i].value});
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
    const auto& t = needle.table;
    if (t.empty())
        return value;  // no table: the host turns the needle by the value itself
    auto direction = [&](const TablePoint& p) {
        return std::atan2(p.y - needle.position.y, p.x - needle.position.x) * 180.0 / std::numbers::pi;
    };
    // Cumulative clockwise angles of the points.
    std::vector<double> angle(t.size());
    angle[0] = direction(t[0]);
    for (size_t i = 1; i < t.size(); ++i) {
        double step = std::fmod(direction(t[i]) - direction(t[i - 1]) + 720.0, 360.0);
        if (t[i].x == t[i - 1].x && t[i].y == t[i - 1].y)
            step = 0.0;
        angle[i] = angle[i - 1] + step;
    }
    if (t.size() == 1)
        return angle[0];
    bool ascending = t.back().value >= t.front().value;
    auto before = [&](double a, double b) { return ascending ? a < b : a > b; };
    // The segment holding the value, or the nearest end segment with a value span.
    size_t seg = 0;
    if (!before(value, t.front().value)) {
        seg = t.size() - 2;
        for (size_t i = 0; i + 1 < t.size(); ++i)
            if (!before(t[i + 1].value, value) && t[i + 1].value != t[i].value) {
                seg = i;
                break;
            }
    }
    while (seg + 2 < t.size() && t[seg + 1].value == t[seg].value)
        ++seg;
    while (seg > 0 && t[seg + 1].value == t[seg].value)
        --seg;
    double span = t[seg + 1].value - t[seg].value;
    if (span == 0.0)
        return angle[seg];
    return angle[seg] + (value - t[seg].value) / span * (angle[seg + 1] - angle[seg]);
}

}  // namespace assetgen
