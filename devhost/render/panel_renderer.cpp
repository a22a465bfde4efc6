#include "devhost/render/panel_renderer.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "devhost/core/bitmap_catalog.h"
#include "devhost/core/geometry.h"

namespace devhost {

namespace {

Box rectangleOf(const GaugeInstance& gauge)
{
    return {gauge.position().x, gauge.position().y, gauge.size().x, gauge.size().y};
}

// How many elements, from the first in drawing order, are static images:
// what they show changes only when the module hides or shows one.
size_t leadingStaticImages(const GaugeInstance& gauge)
{
    const auto& slots = gauge.elements();
    size_t count = 0;
    while (count < slots.size() && slots[count].element->kind == StaticImage)
        ++count;
    return count;
}

}  // namespace

PanelRenderer::PanelRenderer(const Host& host)
    : host_(host),
      images_(host.bitmaps()),
      backgrounds_([&host](int32_t window) -> std::span<const unsigned char> {
          const PanelWindowSpec* spec = host.panelWindow(window);
          if (!spec || !spec->background)
              return {};
          return panelBackgroundBytes(*spec->background->bytes);
      })
{
}

void PanelRenderer::setLighting(const Lighting& lighting)
{
    if (lighting == lighting_)
        return;
    lighting_ = lighting;
    placed_.clear();  // the bases and grounds were drawn in the old light
    canvases_.clear();
    windowBackings_.clear();
}

void PanelRenderer::invalidate()
{
    for (auto& [gauge, placed] : placed_)
        placed.drawn = false;
    for (auto& [window, canvas] : canvases_)
        canvas.drawn = false;
}

PanelRenderer::Damage PanelRenderer::refresh(const GaugeInstance& gauge)
{
    GaugeDisplay now = displayOf(gauge);
    const Box whole{0, 0, std::max(1, gauge.size().x), std::max(1, gauge.size().y)};
    Placed& placed = placed_[&gauge];

    // The base is drawn again only when one of the images it holds shows
    // something else; after invalidate() it is kept.
    Damage damage;
    if (!placed.drawn || placed.shown.size() != now.size()) {
        damage.area = whole;
        placed.bounds.assign(now.size(), std::nullopt);
        for (size_t i = 0; i < now.size(); ++i)
            placed.bounds[i] = elementBounds(gauge, i, images_);
        placed.leading = leadingStaticImages(gauge);
        damage.baseChanged =
            !std::equal(now.begin(), now.begin() + placed.leading, placed.baseShown.begin(), placed.baseShown.end()) ||
            (placed.leading > 0 && (!placed.base || cairo_image_surface_get_width(placed.base.get()) != whole.width ||
                                    cairo_image_surface_get_height(placed.base.get()) != whole.height));
    } else {
        for (size_t i = 0; i < now.size(); ++i) {
            if (now[i] == placed.shown[i])
                continue;
            std::optional<Box> bounds = elementBounds(gauge, i, images_);
            damage.area = unite(damage.area, placed.bounds[i]);
            damage.area = unite(damage.area, bounds);
            placed.bounds[i] = bounds;
            damage.baseChanged |= i < placed.leading;
        }
    }
    placed.shown = std::move(now);
    placed.drawn = true;
    if (damage.baseChanged)
        refreshBase(gauge, placed);
    if (damage.area)
        damage.area = intersection(*damage.area, whole);
    return damage;
}

void PanelRenderer::refreshBase(const GaugeInstance& gauge, Placed& placed)
{
    const auto leadingShown = placed.shown.begin();
    placed.baseShown.assign(leadingShown, leadingShown + placed.leading);
    placed.base.reset();
    if (placed.leading == 0)
        return;
    placed.base = newImage(std::max(1, gauge.size().x), std::max(1, gauge.size().y));
    ContextHandle cr = newContext(placed.base.get());
    const size_t leading = placed.leading;
    paintGauge(cr.get(), gauge, images_, placedScale(gauge), [leading](size_t i) { return i < leading; },
               lighting_);
    cairo_surface_flush(placed.base.get());
}

// The panel behind the gauges: dark grey-black paint, a little lighter at
// the top where the light falls in under the glare shield; no lamp lights
// it at night.
cairo_surface_t* PanelRenderer::backing(Point size)
{
    const Tint tint = lighting_.surface();
    auto& backing = backings_[{size.x, size.y, tint}];
    if (!backing) {
        // The paint changes only from top to bottom: one column is drawn,
        // and every row filled with its colour.
        SurfaceHandle column(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, size.y));
        ContextHandle b = newContext(column.get());
        cairo_pattern_t* paint = cairo_pattern_create_linear(0, 0, 0, size.y);
        auto stop = [&](double at, double r, double g, double b) {
            cairo_pattern_add_color_stop_rgb(paint, at, r * tint.r / 255, g * tint.g / 255, b * tint.b / 255);
        };
        stop(0, 0.20, 0.21, 0.21);
        stop(1, 0.11, 0.115, 0.12);
        cairo_set_source(b.get(), paint);
        cairo_paint(b.get());
        cairo_pattern_destroy(paint);
        cairo_surface_flush(column.get());
        backing = uninitialisedImage(CAIRO_FORMAT_RGB24, size.x, size.y);
        const unsigned char* colours = cairo_image_surface_get_data(column.get());
        unsigned char* rows = cairo_image_surface_get_data(backing.get());
        if (colours && rows) {
            const int from = cairo_image_surface_get_stride(column.get()), to = cairo_image_surface_get_stride(backing.get());
            for (int y = 0; y < size.y; ++y)
                std::fill_n(reinterpret_cast<uint32_t*>(rows + size_t(y) * to), size.x,
                            *reinterpret_cast<const uint32_t*>(colours + size_t(y) * from));
            cairo_surface_mark_dirty(backing.get());
        }
    }
    return backing.get();
}

namespace {

// Another module's gauge: a box of its placed size, outlined, its name
// written in it, so that the window shows where it stands.
void drawPlaceholder(cairo_t* cr, const ForeignGauge& gauge)
{
    const Box& b = gauge.box;
    cairo_save(cr);
    cairo_rectangle(cr, b.x, b.y, b.width, b.height);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, 0.55, 0.6, 0.65, 0.35);
    cairo_paint(cr);
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgb(cr, 0.9, 0.85, 0.3);
    cairo_rectangle(cr, b.x + 1, b.y + 1, b.width - 2, b.height - 2);
    cairo_stroke(cr);
    // The name on one line, or at the '!' on two, in the largest of the
    // sizes that fits the box's width.
    cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    const std::string& label = gauge.label;
    const size_t bang = label.find('!');
    const std::vector<std::string> oneLine{label};
    const std::vector<std::string> twoLines{label.substr(0, bang + 1), label.substr(bang + 1)};
    const double room = std::max(1, b.width - 6);
    auto widest = [&](const std::vector<std::string>& lines) {
        double widest = 0;
        for (const std::string& line : lines) {
            cairo_text_extents_t extents;
            cairo_text_extents(cr, line.c_str(), &extents);
            widest = std::max(widest, extents.x_advance);
        }
        return widest;
    };
    double size = std::clamp(b.height / 6.0, 7.0, 14.0);
    cairo_set_font_size(cr, size);
    const bool split = widest(oneLine) > room && bang != std::string::npos;
    const auto& lines = split ? twoLines : oneLine;
    if (const double wide = widest(lines); wide > room)
        cairo_set_font_size(cr, size = std::max(5.0, size * room / wide));
    const double lineHeight = size * 1.2;
    double y = b.y + (b.height - lineHeight * lines.size()) / 2 + size;
    for (const std::string& line : lines) {
        cairo_text_extents_t extents;
        cairo_text_extents(cr, line.c_str(), &extents);
        cairo_move_to(cr, b.x + std::max(3.0, (b.width - extents.x_advance) / 2), y);
        cairo_show_text(cr, line.c_str());
        y += lineHeight;
    }
    cairo_restore(cr);
}

}  // namespace

cairo_surface_t* PanelRenderer::backing(int window, Point size)
{
    const PanelWindowSpec* spec = host_.panelWindow(window);
    const bool placeholders = std::any_of(host_.foreignGauges().begin(), host_.foreignGauges().end(),
                                          [&](const ForeignGauge& g) { return g.window == window; });
    if (!spec || (!spec->backgroundColour && !spec->background && !placeholders))
        return backing(size);
    const Tint tint = lighting_.surface();
    auto& made = windowBackings_[{window, size.x, size.y, tint}];
    if (made)
        return made.get();
    made = uninitialisedImage(CAIRO_FORMAT_RGB24, size.x, size.y);
    ContextHandle cr = newContext(made.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    if (const auto& c = spec->backgroundColour) {
        cairo_set_source_rgb(cr.get(), c->r * tint.r / 65025.0, c->g * tint.g / 65025.0, c->b * tint.b / 65025.0);
        cairo_paint(cr.get());
    } else {
        cairo_set_source_surface(cr.get(), backing(size), 0, 0);
        cairo_paint(cr.get());
    }
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
    if (spec->background) {
        // Read and checked with the panel file; scaled to the window.
        const PanelBackground& art = *spec->background;
        const PreparedBitmap bitmap =
            backgrounds_.get(window, true, double(size.x) / art.width, double(size.y) / art.height, tint);
        if (bitmap) {
            cairo_set_source_surface(cr.get(), bitmap.surface, 0, 0);
            cairo_paint(cr.get());
        }
    }
    for (const ForeignGauge& gauge : host_.foreignGauges())
        if (gauge.window == window)
            drawPlaceholder(cr.get(), gauge);
    cairo_surface_flush(made.get());
    return made.get();
}

// The ground under an area of the window: the backing, and on it the
// bases of the gauges that no earlier gauge overlaps.
void PanelRenderer::layGround(Canvas& canvas, const Box& area, bool backingLaid)
{
    ContextHandle cr = newContext(canvas.ground.get());
    cairo_rectangle(cr.get(), area.x, area.y, area.width, area.height);
    cairo_clip(cr.get());
    if (!backingLaid) {
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr.get(), backing(canvas.window, canvas.size), 0, 0);
        cairo_paint(cr.get());
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
    }
    for (size_t g = 0; g < canvas.gauges.size(); ++g) {
        const Placed& placed = placed_.at(canvas.gauges[g]);
        const Box placedAt = rectangleOf(*canvas.gauges[g]);
        if (!canvas.onGround[g] || !placed.base || !overlaps(placedAt, area))
            continue;
        cairo_set_source_surface(cr.get(), placed.base.get(), placedAt.x, placedAt.y);
        cairo_paint(cr.get());
    }
    cairo_surface_flush(canvas.ground.get());
}

// Each dirty area anew: the ground, then gauge by gauge (each within its
// own rectangle) the base if the ground lacks it, and the elements that
// reach into the area; the others would draw nothing inside it.
void PanelRenderer::draw(Canvas& canvas, const std::vector<Box>& dirty)
{
    ContextHandle cr = newContext(canvas.picture.get());
    for (const Box& area : dirty) {
        cairo_save(cr.get());
        cairo_rectangle(cr.get(), area.x, area.y, area.width, area.height);
        cairo_clip(cr.get());
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(cr.get(), canvas.ground.get(), 0, 0);
        cairo_paint(cr.get());
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
        for (size_t g = 0; g < canvas.gauges.size(); ++g) {
            const GaugeInstance& gauge = *canvas.gauges[g];
            const Box placedAt = rectangleOf(gauge);
            if (!overlaps(placedAt, area))
                continue;
            Placed& placed = placed_.at(&gauge);
            const Box local = moved(area, {-placedAt.x, -placedAt.y});
            cairo_save(cr.get());
            cairo_rectangle(cr.get(), placedAt.x, placedAt.y, placedAt.width, placedAt.height);
            cairo_clip(cr.get());
            cairo_translate(cr.get(), placedAt.x, placedAt.y);
            if (!canvas.onGround[g] && placed.base) {
                cairo_set_source_surface(cr.get(), placed.base.get(), 0, 0);
                cairo_paint(cr.get());
            }
            paintGauge(
                cr.get(), gauge, images_, placedScale(gauge),
                [&](size_t i) { return i >= placed.leading && placed.bounds[i] && overlaps(*placed.bounds[i], local); },
                lighting_, &placed.turned);
            cairo_restore(cr.get());
        }
        cairo_restore(cr.get());
    }
    cairo_surface_flush(canvas.picture.get());
}

cairo_surface_t* PanelRenderer::render(int window, Point size)
{
    size.x = std::max(1, size.x);
    size.y = std::max(1, size.y);
    const Box all{0, 0, size.x, size.y};
    // A gauge wholly outside the window shows nothing: none of its bitmaps
    // is prepared, nor its base.
    std::vector<const GaugeInstance*> gauges;
    for (const auto& gauge : host_.gauges())
        if (gauge->window() == window && overlaps(rectangleOf(*gauge), all))
            gauges.push_back(gauge.get());

    // What was kept of gauges that are gone is let go.
    std::erase_if(placed_, [&](const auto& entry) {
        return std::none_of(host_.gauges().begin(), host_.gauges().end(),
                            [&](const auto& g) { return g.get() == entry.first; });
    });

    Canvas& canvas = canvases_[window];
    if (!canvas.picture || canvas.size.x != size.x || canvas.size.y != size.y) {
        // Both are wholly drawn before they are shown.
        canvas.picture = uninitialisedImage(CAIRO_FORMAT_RGB24, size.x, size.y);
        canvas.ground = uninitialisedImage(CAIRO_FORMAT_RGB24, size.x, size.y);
        canvas.size = size;
        canvas.window = window;
        canvas.grounded = false;
        canvas.drawn = false;
    }
    const bool newGround = !canvas.grounded || canvas.gauges != gauges;
    // A window drawn for the first time needs most of its bitmaps at once:
    // they are prepared together, on every core, before any is drawn.
    // Meanwhile its backing is drawn and laid on its surfaces, which are
    // wholly drawn over anyway: their memory, new to the process, is
    // touched first where the other threads' work hides the cost.
    if (newGround)
        images_.prepareAhead(
            [&] {
                for (const GaugeInstance* gauge : gauges)
                    for (size_t i = 0; i < gauge->elements().size(); ++i)
                        elementBounds(*gauge, i, images_);
            },
            [&] {
                for (cairo_surface_t* surface : {canvas.ground.get(), canvas.picture.get()}) {
                    ContextHandle cr = newContext(surface);
                    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
                    cairo_set_source_surface(cr.get(), backing(window, size), 0, 0);
                    cairo_paint(cr.get());
                }
            });
    std::vector<Box> dirty;
    redrawn_ = 0;
    for (const GaugeInstance* gauge : gauges) {
        const Damage damage = refresh(*gauge);
        const Box placedAt = rectangleOf(*gauge);
        if (damage.area) {
            ++redrawn_;
            if (auto inWindow = intersection(moved(*damage.area, {placedAt.x, placedAt.y}), all))
                dirty.push_back(*inWindow);
        }
        if (damage.baseChanged && !newGround)
            if (auto inWindow = intersection(placedAt, all)) {
                layGround(canvas, *inWindow);
                dirty.push_back(*inWindow);
            }
    }
    if (newGround) {
        canvas.gauges = std::move(gauges);
        canvas.onGround.assign(canvas.gauges.size(), true);
        for (size_t later = 0; later < canvas.gauges.size(); ++later)
            for (size_t earlier = 0; earlier < later; ++earlier)
                if (overlaps(rectangleOf(*canvas.gauges[earlier]), rectangleOf(*canvas.gauges[later])))
                    canvas.onGround[later] = false;
        layGround(canvas, all, /*backingLaid=*/true);  // while the bitmaps were prepared
        canvas.grounded = true;
    }
    if (newGround || !canvas.drawn)
        dirty = {all};
    canvas.drawn = true;
    redrawnAreas_ = dirty;
    draw(canvas, dirty);
    return canvas.picture.get();
}

}  // namespace devhost
