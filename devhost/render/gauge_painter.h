// Draws one placed gauge the way the simulator draws it from the records:
// the elements in drawing order (root first, every child over its parent,
// later children over earlier ones), hidden elements and icons without a
// frame skipped, each moved or turned by what it showed in the latest
// frame.
//
// How the kinds are placed (positions are on the gauge's face, its root
// bitmap):
// - static image, icon (frame k is bitmap + k), slider (moved by value x
//   scale): the bitmap's top left at the position;
// - needle: its bitmap, drawn pointing to +x, turned clockwise by the
//   calibrated angle about its offset, which lies on the position;
// - moving image: the window (bitmap + 1) at the position, open where it is
//   pure black, and behind it the strip shifted so that the window looks at
//   the offset the value takes in its range;
// - sprite: the window (bitmap + 1) at the position, and behind it the
//   texture with its centre on the offset, shifted by the x and y values
//   times their scales (in the texture's own axes) and turned by the
//   rotation value times its scale, a positive turn counter-clockwise: the
//   COM radio's MHz disc, numbered clockwise, brings the next number under
//   its index by turning back, and the gyro's card turns left as the heading
//   grows;
// - string: its text in its box, in the named font, weight and colour, with
//   the Windows text-drawing flags for alignment.
#pragma once

#include <cairo.h>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devhost/core/gauge_instance.h"
#include "devhost/render/bitmap_images.h"

namespace devhost {

// Device pixels per gauge pixel, per axis.
struct GaugeScale {
    double x = 1.0, y = 1.0;
};

// The scale a placed gauge is drawn at: its placed size over its own pixels.
GaugeScale placedScale(const GaugeInstance& gauge);

// Which elements to draw, by drawing-order index; empty draws all.
using ElementFilter = std::function<bool(size_t index)>;

// A turned bitmap (a needle, a sprite's texture) as last drawn for one
// element, kept so that drawing it again unchanged, after invalidate() or
// because a neighbour's change reaches over it, copies it rather than
// sampling every pixel again. The same picture either way.
struct TurnedPicture {
    cairo_surface_t* bitmap = nullptr;  // the prepared bitmap it was turned from
    cairo_matrix_t toDevice{};
    Box at{};                           // where it lies, device pixels of the gauge
    SurfaceHandle picture;
};
using TurnedPictures = std::vector<TurnedPicture>;  // by drawing-order index

// Draws the gauge with its face's top left at cr's origin, in the light
// given (daylight unless told); with kept given, its turned pictures are
// reused and updated there.
void paintGauge(cairo_t* cr, const GaugeInstance& gauge, BitmapImages& images, GaugeScale scale,
                const ElementFilter& only = {}, const Lighting& lighting = {}, TurnedPictures* kept = nullptr);

// The gauge alone on a transparent surface of its own size times scale.
SurfaceHandle renderGauge(const GaugeInstance& gauge, BitmapImages& images, GaugeScale scale,
                          const ElementFilter& only = {}, const Lighting& lighting = {});

// Where an element of the gauge draws with what it shows now, in device
// pixels of the gauge drawn at its placed scale (rounded outwards); none
// when it draws nothing.
std::optional<Box> elementBounds(const GaugeInstance& gauge, size_t index, BitmapImages& images);

// What an element shows, as far as its picture depends on it: the hidden
// and luminous bits, bitmap, angle, frame, offsets, rotation, text, colours
// and font. Two equal displays draw the same picture in the same light.
struct ElementDisplay {
    std::array<double, 5> numbers{};
    std::string text;
    bool operator==(const ElementDisplay&) const = default;
};
using GaugeDisplay = std::vector<ElementDisplay>;
GaugeDisplay displayOf(const GaugeInstance& gauge);

}  // namespace devhost
