// A drawing surface for one bitmap and its 24-bit BMP encoding, where pure
// black is the host's transparent colour.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <vector>

namespace assetgen {

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The bitmap as the host reads it: pixels less than half covered become
    // pure black (transparent); covered pixels keep their own colour, and a
    // colour that would come out pure black is lifted to near-black so that
    // it still shows.
    std::vector<uint8_t> bmp() const;

private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

}  // namespace assetgen
