// A panel window as the pilot sees it: the window's backing (its colour,
// background art and the other modules' gauges as placeholders), then every
// gauge placed in it, each drawn at its placed size.
//
// Drawing a frame costs little because nothing is drawn twice that did not
// change. The bitmaps are prepared once per placed size (BitmapImages). The
// static images a gauge begins with (its face, mostly) are put together
// once into its base, and the bases lie on the window's ground, the backing
// with every base that no earlier gauge overlaps. A frame redraws only the
// rectangles that the elements whose display changed (GaugeDisplay) covered
// before and cover now: the ground is copied there, and over it go, gauge by
// gauge, the elements that reach into the rectangle.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <map>
#include <optional>
#include <tuple>
#include <vector>

#include "devhost/core/host.h"
#include "devhost/render/bitmap_images.h"
#include "devhost/render/cairo_handles.h"
#include "devhost/render/gauge_painter.h"
#include "devhost/render/lighting.h"
#include "devhost/render/png_writer.h"

namespace devhost {

class PanelRenderer {
public:
    explicit PanelRenderer(const Host& host);

    // The window's picture (width x height pixels) as the gauges show it
    // after the latest frame. The surface belongs to the renderer and stays
    // valid until the next call for any window.
    cairo_surface_t* render(int window, Point size);

    // The light the next pictures are drawn in (daylight to begin with);
    // a change redraws everything.
    void setLighting(const Lighting& lighting);
    const Lighting& lighting() const { return lighting_; }

    // Forgets what every window's picture shows: the next render draws
    // everything anew (the prepared bitmaps, the gauges' bases and the
    // windows' grounds are kept, as are the surfaces to draw on).
    void invalidate();

    // Gauges redrawn by the latest render, and the rectangles of the
    // window's picture that it put together again (window pixels): what a
    // viewer that already holds the previous picture needs to be sent.
    size_t redrawn() const { return redrawn_; }
    const std::vector<Box>& redrawnAreas() const { return redrawnAreas_; }

    // The panel behind the gauges of a window this size, in the current light.
    cairo_surface_t* backing(Point size);
    // The same for a window of the panel placed on the host: its
    // background_color or the panel paint, its background bitmap (pure black
    // transparent) scaled to the window, and the other modules' gauges as
    // labelled outlines.
    cairo_surface_t* backing(int window, Point size);
    BitmapImages& images() { return images_; }

private:
    // What the renderer keeps of a placed gauge.
    struct Placed {
        GaugeDisplay shown;                        // as last drawn
        bool drawn = false;
        std::vector<std::optional<Box>> bounds;   // per element, where it drew (gauge pixels)
        TurnedPictures turned;
        size_t leading = 0;                        // the static images the base holds
        SurfaceHandle base;
        GaugeDisplay baseShown;                    // what they showed when it was put together
    };
    struct Canvas {
        SurfaceHandle picture, ground;
        Point size{};
        int window = 0;
        std::vector<const GaugeInstance*> gauges;   // as last drawn
        std::vector<bool> onGround;                 // per gauge: its base lies on the ground
        bool grounded = false;                      // the ground is laid for `gauges`
        bool drawn = false;                         // the picture needs only what changed since
    };

    // The rectangle of the gauge that must be drawn again (gauge pixels),
    // and whether its base changed.
    struct Damage {
        std::optional<Box> area;
        bool baseChanged = false;
    };
    Damage refresh(const GaugeInstance& gauge);
    void refreshBase(const GaugeInstance& gauge, Placed& placed);
    void layGround(Canvas& canvas, const Box& area, bool backingLaid = false);
    void draw(Canvas& canvas, const std::vector<Box>& dirty);

    const Host& host_;
    BitmapImages images_;
    std::map<const GaugeInstance*, Placed> placed_;
    std::map<int, Canvas> canvases_;
    std::map<std::tuple<int, int, Tint>, SurfaceHandle> backings_;
    std::map<std::tuple<int, int, int, Tint>, SurfaceHandle> windowBackings_;
    BitmapImages backgrounds_;   // the windows' background bitmaps, by window number
    Lighting lighting_;
    size_t redrawn_ = 0;
    std::vector<Box> redrawnAreas_;
};

}  // namespace devhost
