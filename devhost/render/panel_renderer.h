// A panel window as the pilot sees it: the window's backing, then every
// gauge placed in it, each drawn at its placed size.
//
// Drawing a frame costs little because nothing is drawn twice that did not
// change: the bitmaps are prepared once per placed size (BitmapImages), each
// gauge keeps its own layer that is redrawn only when what it shows changed
// (GaugeDisplay), and then only within the rectangle that the changed
// elements covered before and cover now; only those rectangles are put
// together again on the window's picture.
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

    // Forgets every gauge's layer and every window's picture: the next
    // render draws everything anew (the prepared bitmaps are kept).
    void invalidate();

    // Gauges redrawn by the latest render, and the rectangles of the
    // window's picture that it put together again (window pixels): what a
    // viewer that already holds the previous picture needs to be sent.
    size_t redrawn() const { return redrawn_; }
    const std::vector<Box>& redrawnAreas() const { return redrawnAreas_; }

    // The panel behind the gauges of a window this size, in the current light.
    cairo_surface_t* backing(Point size);
    BitmapImages& images() { return images_; }

private:
    struct Layer {
        SurfaceHandle surface;
        GaugeDisplay shown;
        std::vector<std::optional<Box>> bounds;   // per element, where it was drawn
    };
    struct Canvas {
        SurfaceHandle picture;
        Point size{};
        std::vector<const GaugeInstance*> gauges;   // as last put together
    };

    // Redraws what changed; returns the rectangle redrawn, in the layer's pixels.
    std::optional<Box> refreshLayer(const GaugeInstance& gauge);
    void paintBacking(cairo_t* cr, Point size);
    void compose(Canvas& canvas, const std::vector<const GaugeInstance*>& gauges, const std::vector<Box>& dirty);

    const Host& host_;
    BitmapImages images_;
    std::map<const GaugeInstance*, Layer> layers_;
    std::map<int, Canvas> canvases_;
    std::map<std::tuple<int, int, Tint>, SurfaceHandle> backings_;
    Lighting lighting_;
    size_t redrawn_ = 0;
    std::vector<Box> redrawnAreas_;
};

}  // namespace devhost
