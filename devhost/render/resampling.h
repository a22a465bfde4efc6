// A picture scaled the way Cairo scales an image surface painted through a
// scale (pixman underneath, CAIRO_EXTEND_PAD), without Cairo: the same
// sample positions in 16.16 fixed point, the same kernel weights, applied
// in two passes (along the rows, then down the columns) instead of pixman's
// every tap for every pixel, and reading the picture a row at a time, so
// that a bitmap need not be held whole to be scaled. Exactly half with the
// bilinear filter, the usual case, is the same sum taken as a mean of
// squares of four pixels.
//
// The bilinear filter comes out exactly as Cairo's; the good filter (a box
// as wide as an output pixel) within one level per channel, because pixman
// rounds each product of the two axes' weights where the two passes do not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "framework/gauge_model.h"

namespace devhost {

enum class ScaleFilter { Bilinear, Good };

// Row y (from the top) of a picture, as premultiplied 0xAARRGGBB pixels;
// the pointer need stay valid only until the next call.
using PictureRows = std::function<const uint32_t*(int y)>;

// Writes the picture (from.x by from.y pixels, read through rows) scaled
// to `to` into out, `stride` pixels from one row to the next.
void scalePicture(const PictureRows& rows, Point from, Point to, ScaleFilter filter, uint32_t* out, size_t stride);

}  // namespace devhost
