#include "devhost/render/panel_renderer.h"

#include <algorithm>
#include <stdexcept>

#include "devhost/core/bitmap_catalog.h"

namespace devhost {

namespace {

Box rectangleOf(const GaugeInstance& gauge)
{
    return {gauge.position().x, gauge.position().y, gauge.size().x, gauge.size().y};
}

bool overlaps(const Box& a, const Box& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

std::optional<Box> unite(const std::optional<Box>& a, const std::optional<Box>& b)
{
    if (!a || !b)
        return a ? a : b;
    const int32_t left = std::min(a->x, b->x), top = std::min(a->y, b->y);
    const int32_t right = std::max(a->x + a->width, b->x + b->width);
    const int32_t bottom = std::max(a->y + a->height, b->y + b->height);
    return Box{left, top, right - left, bottom - top};
}

std::optional<Box> intersect(const Box& a, const Box& b)
{
    if (!overlaps(a, b))
        return std::nullopt;
    const int32_t left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    const int32_t right = std::min(a.x + a.width, b.x + b.width), bottom = std::min(a.y + a.height, b.y + b.height);
    return Box{left, top, right - left, bottom - top};
}

}  // namespace

PanelRenderer::PanelRenderer(const Host& host) : host_(host), images_(host.bitmaps()) {}

void PanelRenderer::setLighting(const Lighting& lighting)
{
    if (lighting == lighting_)
        return;
    lighting_ = lighting;
    invalidate();
}

void PanelRenderer::invalidate()
{
    layers_.clear();
    canvases_.clear();
}

std::optional<Box> PanelRenderer::refreshLayer(const GaugeInstance& gauge)
{
    GaugeDisplay now = displayOf(gauge);
    const GaugeScale scale = placedScale(gauge);
    const Box whole{0, 0, std::max(1, gauge.size().x), std::max(1, gauge.size().y)};
    auto [entry, fresh] = layers_.try_emplace(&gauge);
    Layer& layer = entry->second;
    const auto& slots = gauge.elements();

    std::optional<Box> damaged;
    if (fresh || layer.shown.size() != now.size()) {
        damaged = whole;
        layer.bounds.assign(now.size(), std::nullopt);
        for (size_t i = 0; i < now.size(); ++i)
            layer.bounds[i] = elementBounds(*slots[i].element, slots[i].shown, images_, scale);
    } else {
        for (size_t i = 0; i < now.size(); ++i) {
            if (now[i] == layer.shown[i])
                continue;
            std::optional<Box> bounds = elementBounds(*slots[i].element, slots[i].shown, images_, scale);
            damaged = unite(damaged, layer.bounds[i]);
            damaged = unite(damaged, bounds);
            layer.bounds[i] = bounds;
        }
    }
    layer.shown = std::move(now);
    if (damaged)
        damaged = intersect(*damaged, whole);
    if (!damaged)
        return std::nullopt;

    if (!layer.surface)
        layer.surface = newImage(whole.width, whole.height);
    ContextHandle cr = newContext(layer.surface.get());
    cairo_rectangle(cr.get(), damaged->x, damaged->y, damaged->width, damaged->height);
    cairo_clip(cr.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
    paintGauge(cr.get(), gauge, images_, scale, {}, lighting_);
    return damaged;
}

// The panel behind the gauges: dark grey-black paint, a little lighter at
// the top where the light falls in under the glare shield; no lamp lights
// it at night.
cairo_surface_t* PanelRenderer::backing(Point size)
{
    const Tint tint = lighting_.surface();
    auto& backing = backings_[{size.x, size.y, tint}];
    if (!backing) {
        backing.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.x, size.y));
        ContextHandle b = newContext(backing.get());
        cairo_pattern_t* paint = cairo_pattern_create_linear(0, 0, 0, size.y);
        auto stop = [&](double at, double r, double g, double b) {
            cairo_pattern_add_color_stop_rgb(paint, at, r * tint.r / 255, g * tint.g / 255, b * tint.b / 255);
        };
        stop(0, 0.20, 0.21, 0.21);
        stop(1, 0.11, 0.115, 0.12);
        cairo_set_source(b.get(), paint);
        cairo_paint(b.get());
        cairo_pattern_destroy(paint);
    }
    return backing.get();
}

void PanelRenderer::paintBacking(cairo_t* cr, Point size)
{
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, backing(size), 0, 0);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

void PanelRenderer::compose(Canvas& canvas, const std::vector<const GaugeInstance*>& gauges,
                            const std::vector<Box>& dirty)
{
    ContextHandle cr = newContext(canvas.picture.get());
    for (const Box& area : dirty) {
        cairo_save(cr.get());
        cairo_rectangle(cr.get(), area.x, area.y, area.width, area.height);
        cairo_clip(cr.get());
        paintBacking(cr.get(), canvas.size);
        for (const GaugeInstance* gauge : gauges) {
            const Box placed = rectangleOf(*gauge);
            if (!overlaps(placed, area))
                continue;
            cairo_set_source_surface(cr.get(), layers_.at(gauge).surface.get(), placed.x, placed.y);
            cairo_paint(cr.get());
        }
        cairo_restore(cr.get());
    }
}

cairo_surface_t* PanelRenderer::render(int window, Point size)
{
    size.x = std::max(1, size.x);
    size.y = std::max(1, size.y);
    std::vector<const GaugeInstance*> gauges;
    for (const auto& gauge : host_.gauges())
        if (gauge->window() == window)
            gauges.push_back(gauge.get());

    // Layers of gauges that are gone are let go.
    std::erase_if(layers_, [&](const auto& entry) {
        return std::none_of(host_.gauges().begin(), host_.gauges().end(),
                            [&](const auto& g) { return g.get() == entry.first; });
    });

    Canvas& canvas = canvases_[window];
    bool whole = !canvas.picture || canvas.size.x != size.x || canvas.size.y != size.y || canvas.gauges != gauges;
    if (!canvas.picture || canvas.size.x != size.x || canvas.size.y != size.y) {
        canvas.picture.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, size.x, size.y));
        canvas.size = size;
    }
    std::vector<Box> dirty;
    redrawn_ = 0;
    for (const GaugeInstance* gauge : gauges)
        if (std::optional<Box> redrawn = refreshLayer(*gauge)) {
            ++redrawn_;
            dirty.push_back({gauge->position().x + redrawn->x, gauge->position().y + redrawn->y, redrawn->width,
                             redrawn->height});
        }
    if (whole)
        dirty = {Box{0, 0, size.x, size.y}};
    canvas.gauges = std::move(gauges);
    redrawnAreas_ = dirty;
    compose(canvas, canvas.gauges, dirty);
    cairo_surface_flush(canvas.picture.get());
    return canvas.picture.get();
}

}  // namespace devhost
